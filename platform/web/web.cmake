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
# system, the FreeType glyph source and the desktop's message-box picture.
# The test machinery (the harness's input script and frame hash) goes only
# into prismveldt-test.js, which the page loads when a test asks for a
# script, hashes or a trace; what players download has none of it.
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS platform/web/*.cpp)
list(FILTER WEB_SOURCES EXCLUDE REGEX "platform/web/machinery_[a-z]+\\.cpp$")
add_library(platform_web STATIC ${WEB_SOURCES}
  platform/posix/files.cpp platform/posix/replace_file.cpp
  platform/freetype/glyphs_freetype.cpp platform/boxes/box_picture.cpp)
target_include_directories(platform_web PUBLIC ${CMAKE_SOURCE_DIR})
target_include_directories(platform_web PRIVATE ${FREETYPE_WEB_PREFIX}/include/freetype2)
# The web writer wraps the POSIX one to write the saved files through to the
# browser's storage after each save, and after each change made under the lock.
set_property(SOURCE platform/posix/replace_file.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  PlatformReplaceFile=PosixReplaceFile PlatformUnlockFile=PosixUnlockFile)
target_link_libraries(platform_web PUBLIC ${FREETYPE_WEB_PREFIX}/lib/libfreetype.a)
add_library(platform_web_player STATIC platform/web/machinery_none.cpp)
add_library(platform_web_test STATIC platform/web/machinery_test.cpp
  platform/headless/script.cpp platform/headless/frame_hash.cpp)
foreach(part platform_web_player platform_web_test)
  target_include_directories(${part} PUBLIC ${CMAKE_SOURCE_DIR})
endforeach()

# The game and its platform call each other; wasm-ld resolves across the
# archives in any order. The page calls the frame loop once per display
# refresh, so nothing in the game waits (no ASYNCIFY). The game's pictures
# and the data's files need more than the default memory. The page starts
# main itself (noInitialRun) once the sounds are decoded and the saved files
# read in.
function(add_web_game name machinery)
  add_executable(${name} shell/main.cpp)
  set_target_properties(${name} PROPERTIES SUFFIX .js)
  target_link_libraries(${name} PRIVATE game_core platform_web ${machinery})
  target_link_options(${name} PRIVATE
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=268435456 -sMAXIMUM_MEMORY=2147483648
    -sTOTAL_STACK=1048576 -sFORCE_FILESYSTEM=1 -lidbfs.js
    -sENVIRONMENT=web -sEXIT_RUNTIME=0
    # The page reads the saved files and decodes the sounds through FS, and
    # starts the game with callMain.
    -sEXPORTED_RUNTIME_METHODS=FS,callMain)
endfunction()
add_web_game(prismveldt platform_web_player)
add_web_game(prismveldt-test platform_web_test)
