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

# numbrill_add_kill_trial(<writer> TEST <name> SCRIPT <script> [ARGS <arguments...>])
#
# Builds <writer>.cpp, a program that writes a data file until it is killed and checks
# the file afterwards (see tests/support/KillTrialWriter.h), and registers on Unix the
# trial that kills it: tests/<script> 5 <build folder> <arguments...>. CI runs more
# trials of each.
function(numbrill_add_kill_trial writer)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "TEST;SCRIPT" "ARGS")
    add_executable(${writer} ${writer}.cpp)
    target_link_libraries(${writer} PRIVATE numbrill_core numbrill_flags)
    target_include_directories(${writer} PRIVATE "${PROJECT_SOURCE_DIR}/tests/support")
    set_target_properties(${writer} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests/bin")
    if(UNIX)
        add_test(NAME ${arg_TEST}
            COMMAND "${PROJECT_SOURCE_DIR}/tests/${arg_SCRIPT}" 5 "${CMAKE_BINARY_DIR}" ${arg_ARGS})
        set_tests_properties(${arg_TEST} PROPERTIES LABELS process TIMEOUT 300)
    endif()
endfunction()
