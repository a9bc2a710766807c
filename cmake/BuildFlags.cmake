# Warnings and sanitizers as a target rather than global flags: every library of the program
# links tambrel_build_flags through common, so its own code (windows and tests included) is
# built with them, and code from elsewhere (GoogleTest as built for Windows) keeps its own.
add_library(tambrel_build_flags INTERFACE)
target_compile_options(tambrel_build_flags INTERFACE -Wall -Wextra -Wpedantic)
if(TAMBREL_SANITIZE STREQUAL "thread")
    target_compile_options(tambrel_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(tambrel_build_flags INTERFACE -fsanitize=thread)
elseif(TAMBREL_SANITIZE)
    target_compile_options(tambrel_build_flags INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(tambrel_build_flags INTERFACE -fsanitize=address,undefined)
endif()
if(TAMBREL_BUILD_FUZZERS)
    # Every library of a fuzzing build carries the fuzzer's coverage and the sanitizers, so each
    # fuzz target links the program's own libraries and cannot fall behind their sources.
    target_compile_options(tambrel_build_flags INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer
        -fsanitize-ignorelist=${CMAKE_CURRENT_LIST_DIR}/sanitizer_ignore.txt)
    target_link_options(tambrel_build_flags INTERFACE -fsanitize=address,undefined)
endif()
