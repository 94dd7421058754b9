# Builds checked by the compiler's run-time sanitizers.
#
# -DPRISMVELDT_SANITIZE=ON: everything (game, tools, tests) with
#   AddressSanitizer and UndefinedBehaviorSanitizer; any undefined behaviour
#   stops the program, so a test that trips one fails. tools/test-sanitized.sh
#   builds this into build-asan/ and runs every test there.
# -DPRISMVELDT_FUZZ=ON (with clang): the game's code instrumented for
#   libFuzzer, plus the fuzz targets of tests/fuzz/. tools/fuzz.sh builds this
#   into build-fuzz/ and runs each target for a bounded time.
# Included from CMakeLists.txt before any target is made, so the flags reach
# every target.

option(PRISMVELDT_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
option(PRISMVELDT_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(PRISMVELDT_SANITIZER_FLAGS
  -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

if(PRISMVELDT_SANITIZE OR PRISMVELDT_FUZZ)
  add_compile_options(${PRISMVELDT_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

if(PRISMVELDT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PRISMVELDT_FUZZ needs clang (libFuzzer): "
                        "-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  # The libraries get coverage hooks; only the fuzz targets link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
  # Made after CMakeLists.txt has defined game_core and the headless platform.
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL
    include ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz.cmake)
endif()
