# The Windows build of the game (included by the top-level CMakeLists.txt when
# cross-compiling with cmake/mingw-w64.cmake): the game's own sources and the
# Windows backend, on the system's own libraries only. No SDL, FreeType,
# fontconfig, libpng, tests or tools: those belong to the Linux build.

# The same game sources as the Linux build, less its entry point.
file(GLOB GAME_SOURCES CONFIGURE_DEPENDS
  shell/*.cpp gfx/*.cpp input/*.cpp audio/*.cpp game/*.cpp)
list(FILTER GAME_SOURCES EXCLUDE REGEX "shell/main\\.cpp$")
add_library(game_core STATIC ${GAME_SOURCES})
target_include_directories(game_core PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB WINDOWS_SOURCES CONFIGURE_DEPENDS platform/windows/*.cpp)
# With the picture scaling the SDL backend uses too.
add_library(platform_windows STATIC ${WINDOWS_SOURCES} platform/scaling/scaling.cpp)
target_include_directories(platform_windows PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(platform_windows PRIVATE
  _WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE)
# shell32, ole32 and uuid for the settings folder (SHGetKnownFolderPath),
# dwmapi for waiting on the desktop's composition (vertical sync), winhttp for the
# records board.
target_link_libraries(platform_windows PUBLIC user32 gdi32 winmm shell32 ole32 uuid dwmapi winhttp)

# A GUI program (no console window); mingw's start-up code still calls main().
add_executable(prismveldt WIN32 shell/main.cpp)
set_target_properties(prismveldt PROPERTIES OUTPUT_NAME prismveldt SUFFIX .exe)
target_link_libraries(prismveldt PRIVATE
  "$<LINK_GROUP:RESCAN,game_core,platform_windows>")

# Checks of the backend itself, run under Wine by tools/windows-smoke.sh.
add_executable(prismveldt-selftest platform/windows/selftest/selftest.cpp)
target_compile_definitions(prismveldt-selftest PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(prismveldt-selftest PRIVATE
  "$<LINK_GROUP:RESCAN,game_core,platform_windows>")
