# numbrill_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [LABELS <labels...>])
#
# Builds one Qt Test executable and registers it with CTest. Every run starts with
# fresh, private configuration, data and runtime folders, so a test never sees the
# user's settings or files, nor those of an earlier run.
function(numbrill_add_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES;LABELS")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test numbrill_flags ${arg_LIBRARIES})
    target_include_directories(${name} PRIVATE "${CMAKE_BINARY_DIR}/tests/generated")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests/bin")

    set(home "${CMAKE_BINARY_DIR}/tests/home/${name}")
    add_test(NAME ${name}
        COMMAND ${CMAKE_COMMAND} -DTEST_EXE=$<TARGET_FILE:${name}> -DTEST_HOME=${home}
                -P "${PROJECT_SOURCE_DIR}/cmake/RunIsolatedTest.cmake")
    set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}" TIMEOUT 300)
    if(NUMBRILL_SANITIZE)
        # Any sanitizer report, a leak included, fails the test.
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
            "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1"
            "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
    endif()
    if(NUMBRILL_TSAN)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
            "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/.ci/tsan.supp halt_on_error=1 second_deadlock_stack=1 force_seq_cst_atomics=1")
    endif()
endfunction()
