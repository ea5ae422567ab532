# Build options shared by every target of the project.
option(SONABEL_BUILD_TESTS "Build the test suite" ON)
option(SONABEL_BUILD_BENCH "Build the benchmarks" OFF)
option(SONABEL_WERROR "Treat warnings in our own code as errors" OFF)
set(SONABEL_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread")
option(SONABEL_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

if(SONABEL_SANITIZE)
    if(NOT SONABEL_SANITIZE MATCHES "^(address,undefined|undefined,address|address|undefined|thread)$")
        message(FATAL_ERROR "SONABEL_SANITIZE must be address,undefined or thread")
    endif()
    add_compile_options(-fsanitize=${SONABEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=${SONABEL_SANITIZE})
endif()
if(SONABEL_FUZZ)
    include(SonabelFuzz)
endif()

# Applied to our own targets only, never to third-party code.
function(sonabel_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
                           -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
    if(SONABEL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII
                               QT_STRICT_ITERATORS QT_NO_FOREACH)
endfunction()

function(sonabel_feature_summary)
    message(STATUS "Corvane Sonabel ${PROJECT_VERSION} (${CMAKE_BUILD_TYPE})")
    message(STATUS "  tests:      ${SONABEL_BUILD_TESTS}")
    message(STATUS "  benchmarks: ${SONABEL_BUILD_BENCH}")
    message(STATUS "  -Werror:    ${SONABEL_WERROR}")
    message(STATUS "  sanitizers: ${SONABEL_SANITIZE}")
    message(STATUS "  fuzzing:    ${SONABEL_FUZZ}")
    message(STATUS "  ccache:     ${CCACHE_PROGRAM}")
endfunction()
