# Optional instrumentation, for the whole tree.
option(TRACEBAY_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Any report ends the program with an error, so that a test that provokes one fails.
if(TRACEBAY_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Instrumented code calls into the sanitizer runtime, which only executables carry.
set(TRACEBAY_INSTRUMENTED ${TRACEBAY_SANITIZE})
