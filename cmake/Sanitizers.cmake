# Optional instrumentation, for the whole tree.
option(TRACEBAY_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TRACEBAY_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)
option(TRACEBAY_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)

# Any report ends the program with an error, so that a test that provokes one fails.
if(TRACEBAY_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TRACEBAY_SANITIZE_THREAD)
    if(TRACEBAY_SANITIZE)
        message(FATAL_ERROR "ThreadSanitizer and AddressSanitizer cannot share a build")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# Coverage feedback for the fuzzers in everything they reach; only the fuzz targets link the
# fuzzing engine.
if(TRACEBAY_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TRACEBAY_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Instrumented code calls into the sanitizer runtime, which only executables carry.
if(TRACEBAY_SANITIZE OR TRACEBAY_SANITIZE_THREAD OR TRACEBAY_FUZZ)
    set(TRACEBAY_INSTRUMENTED ON)
else()
    set(TRACEBAY_INSTRUMENTED OFF)
endif()
