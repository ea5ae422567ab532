# The fuzz build: every target of the project compiled by clang with AddressSanitizer,
# UndefinedBehaviorSanitizer and libFuzzer's coverage hooks, in a build folder of its own
# (scripts/fuzz.sh configures it). The fuzz programs themselves live in fuzz/.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SONABEL_FUZZ needs clang (CC=clang CXX=clang++): libFuzzer is part of clang")
endif()
if(SONABEL_SANITIZE)
    message(FATAL_ERROR "SONABEL_FUZZ brings its own sanitizers; leave SONABEL_SANITIZE empty")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
