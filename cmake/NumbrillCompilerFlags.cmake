# Warning and sanitizer flags shared by every target of the project.
add_library(numbrill_flags INTERFACE)
if(NUMBRILL_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "NUMBRILL_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
endif()
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(numbrill_flags INTERFACE -Wall -Wextra -Wpedantic)
    if(NUMBRILL_WERROR)
        target_compile_options(numbrill_flags INTERFACE -Werror)
    endif()
    # For fuzzing, all of our code carries the fuzzer's coverage hooks and both
    # sanitizers; only the fuzz targets themselves link the fuzzer's main().
    if(NUMBRILL_FUZZ)
        target_compile_options(numbrill_flags INTERFACE
            -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
            -fno-sanitize-recover=all)
        target_link_options(numbrill_flags INTERFACE -fsanitize=address,undefined)
    elseif(NUMBRILL_TSAN)
        # -O1 keeps the instrumented tests fast enough while the reports still name
        # the lines.
        target_compile_options(numbrill_flags INTERFACE
            -fsanitize=thread -O1 -g -fno-omit-frame-pointer)
        target_link_options(numbrill_flags INTERFACE -fsanitize=thread)
    elseif(NUMBRILL_SANITIZE)
        target_compile_options(numbrill_flags INTERFACE
            -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
        target_link_options(numbrill_flags INTERFACE -fsanitize=address,undefined)
    endif()
elseif(MSVC)
    target_compile_options(numbrill_flags INTERFACE /W4 /utf-8)
    if(NUMBRILL_WERROR)
        target_compile_options(numbrill_flags INTERFACE /WX)
    endif()
endif()
target_compile_definitions(numbrill_flags INTERFACE QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
