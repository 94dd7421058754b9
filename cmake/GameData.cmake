# The game's data folder, build/data/: pictures and sounds painted and
# synthesized by tools/gendata, the stage files and the font configuration
# copied from data/, and a first score file (made only when there is none, so
# a rebuild never loses anyone's best times).
#
# Run as a script (cmake -DSRC=... -DDST=... -P GameData.cmake) it copies the
# hand-made files; included from CMakeLists.txt it sets up the build.

if(CMAKE_SCRIPT_MODE_FILE)
  file(GLOB stages "${SRC}/txt/dw_stage*.txt")
  if(stages)
    file(COPY ${stages} DESTINATION "${DST}/txt")
  endif()
  if(IS_DIRECTORY "${SRC}/fonts")
    file(COPY "${SRC}/fonts" DESTINATION "${DST}")
  endif()
  return()
endif()

pkg_check_modules(LAME QUIET IMPORTED_TARGET lame)
if(NOT LAME_FOUND)
  find_library(LAME_LIBRARY mp3lame REQUIRED)
  add_library(PkgConfig::LAME UNKNOWN IMPORTED)
  set_target_properties(PkgConfig::LAME PROPERTIES IMPORTED_LOCATION ${LAME_LIBRARY})
endif()

# The generator's own sources live in tools/gendata/ (every tools/*.cpp is a
# program of its own).
file(GLOB GENDATA_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/gendata/*.cpp)
target_sources(gendata PRIVATE ${GENDATA_SOURCES})
target_include_directories(gendata PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(gendata PRIVATE PkgConfig::LAME PkgConfig::FREETYPE PkgConfig::FONTCONFIG)

set(GAME_DATA_DIR ${CMAKE_BINARY_DIR}/data)
set(GAME_DATA_PAINTED ${GAME_DATA_DIR}/.painted)
set(GAME_DATA_COPIED ${GAME_DATA_DIR}/.copied)

# Pictures and sounds: remade only when the generator changes.
add_custom_command(OUTPUT ${GAME_DATA_PAINTED}
  COMMAND gendata ${GAME_DATA_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${GAME_DATA_PAINTED}
  DEPENDS gendata
  COMMENT "Painting the pictures and synthesizing the sounds into ${GAME_DATA_DIR}"
  VERBATIM)

file(GLOB GAME_DATA_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/data/txt/dw_stage*.txt ${CMAKE_SOURCE_DIR}/data/fonts/*)
add_custom_command(OUTPUT ${GAME_DATA_COPIED}
  COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/data -DDST=${GAME_DATA_DIR}
          -P ${CMAKE_CURRENT_LIST_FILE}
  COMMAND ${CMAKE_COMMAND} -E touch ${GAME_DATA_COPIED}
  DEPENDS ${GAME_DATA_SOURCES} ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Copying the stage files and the font configuration into ${GAME_DATA_DIR}"
  VERBATIM)

add_custom_target(gamedata ALL DEPENDS ${GAME_DATA_PAINTED} ${GAME_DATA_COPIED})

# The generator's test also calls the synthesis code directly, and both tests
# read the data folder; the test targets are made after this file is read,
# hence the deferred call.
function(gamedata_attach_tests)
  if(TARGET test_gendata)
    target_sources(test_gendata PRIVATE ${GENDATA_SOURCES})
    target_include_directories(test_gendata PRIVATE ${CMAKE_SOURCE_DIR}/tools)
    target_link_libraries(test_gendata PRIVATE
      PkgConfig::LAME PkgConfig::FREETYPE PkgConfig::FONTCONFIG)
    add_dependencies(test_gendata gendata gamedata)
  endif()
  if(TARGET test_gendata_assets)
    add_dependencies(test_gendata_assets gamedata)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL gamedata_attach_tests)
