# libFuzzer targets: each fuzz_<name>.cpp here becomes the program
# fuzz_<name>, linked with the game's code. Built only with
# -DPRISMVELDT_FUZZ=ON and clang (see cmake/Sanitize.cmake, tools/fuzz.sh).
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_*.cpp)
foreach(src ${FUZZ_SOURCES})
  get_filename_component(target ${src} NAME_WE)
  add_executable(${target} ${src})
  target_link_libraries(${target} PRIVATE
    "$<LINK_GROUP:RESCAN,game_core,platform_headless>")
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  # The recording target plays runs on the shipped stages.
  target_compile_definitions(${target} PRIVATE SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
