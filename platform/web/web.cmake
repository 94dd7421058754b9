# The browser build of the game (included by the top-level CMakeLists.txt when
# configured with emscripten's emcmake; tools/web-build.sh does it): the
# game's own sources and the web backend, FreeType built for wasm from
# Debian's source (FREETYPE_WEB_PREFIX, by tools/web-build.sh), the page's
# files beside the program. No SDL, fontconfig, libpng, tests or tools.

# Wasm's SIMD: the blits' SSE2 paths (which emscripten maps onto it) and the
# compiler's vectorising of the other pixel loops, as on the desktop; integer
# and unfused float operations give the same results either way. Bulk memory
# makes a large copy one wasm instruction rather than a call out to JS.
add_compile_options(-msimd128 -msse2 -mbulk-memory)

file(GLOB GAME_SOURCES CONFIGURE_DEPENDS
  shell/*.cpp gfx/*.cpp input/*.cpp audio/*.cpp game/*.cpp)
list(FILTER GAME_SOURCES EXCLUDE REGEX "shell/main\\.cpp$")
add_library(game_core STATIC ${GAME_SOURCES})
target_include_directories(game_core PUBLIC ${CMAKE_SOURCE_DIR})

if(NOT FREETYPE_WEB_PREFIX)
  message(FATAL_ERROR "FREETYPE_WEB_PREFIX must name FreeType built for wasm (tools/web-build.sh)")
endif()

# The web backend with what it shares: the POSIX files on emscripten's file
# system, the FreeType glyph source, the desktop's message-box picture, and
# the harness's input script and frame hash (for the browser test).
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS platform/web/*.cpp)
add_library(platform_web STATIC ${WEB_SOURCES}
  platform/posix/files.cpp platform/posix/replace_file.cpp
  platform/freetype/glyphs_freetype.cpp platform/boxes/box_picture.cpp
  platform/headless/script.cpp platform/headless/frame_hash.cpp)
target_include_directories(platform_web PUBLIC ${CMAKE_SOURCE_DIR})
target_include_directories(platform_web PRIVATE ${FREETYPE_WEB_PREFIX}/include/freetype2)
# The web writer wraps the POSIX one to write the saved files through to the
# browser's storage after each save, and after each change made under the lock.
set_property(SOURCE platform/posix/replace_file.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  PlatformReplaceFile=PosixReplaceFile PlatformUnlockFile=PosixUnlockFile)
target_link_libraries(platform_web PUBLIC ${FREETYPE_WEB_PREFIX}/lib/libfreetype.a)

add_executable(prismveldt shell/main.cpp)
set_target_properties(prismveldt PROPERTIES SUFFIX .js)
# The game and its platform call each other; wasm-ld resolves across the two
# archives in any order.
target_link_libraries(prismveldt PRIVATE game_core platform_web)
# ASYNCIFY lets the game's blocking loops wait in the browser; its stack must
# hold the deepest wait (a message box over a frame's text). The game's
# pictures and the data's files need more than the default memory.
target_link_options(prismveldt PRIVATE
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=131072
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=268435456 -sMAXIMUM_MEMORY=2147483648
  -sTOTAL_STACK=1048576 -sFORCE_FILESYSTEM=1 -lidbfs.js
  -sENVIRONMENT=web -sEXIT_RUNTIME=0
  # The browser test reads the saved files through the page.
  -sEXPORTED_RUNTIME_METHODS=FS)
