# Installation as a desktop game: the programs in bin/, the data folder the
# build makes in share/prismveldt/ (where the game moves when started from a
# folder holding no game data), a .desktop entry, its icons and the metadata
# software centres read, all three named by the game's application id, and the
# manual pages.
include(GNUInstallDirs)

set(PRISMVELDT_APP_ID io.github.prismveldt.Prismveldt)

install(TARGETS prismveldt prismveldt-headless RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The game finds this folder from where its program lies (bin/../share/...),
# so the whole tree can move to any prefix.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/prismveldt
  PATTERN ".painted" EXCLUDE
  PATTERN ".copied" EXCLUDE
  PATTERN "scoretime.txt*" EXCLUDE)
# The shipped best times: the generator's placeholder table, never the
# developer's own file from build/data.
set(PRISMVELDT_SHIPPED_SCORES ${CMAKE_BINARY_DIR}/install/scoretime.txt)
add_custom_command(OUTPUT ${PRISMVELDT_SHIPPED_SCORES}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/install/fresh
  COMMAND gendata ${CMAKE_BINARY_DIR}/install/fresh scores
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/install/fresh/txt/scoretime.txt ${PRISMVELDT_SHIPPED_SCORES}
  DEPENDS gendata
  COMMENT "Making the shipped score file"
  VERBATIM)
install(FILES ${PRISMVELDT_SHIPPED_SCORES} DESTINATION ${CMAKE_INSTALL_DATADIR}/prismveldt/txt)

install(FILES ${CMAKE_SOURCE_DIR}/data/${PRISMVELDT_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/${PRISMVELDT_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/prismveldt)

# The icon: the character's first frame, drawn from the generated sprite sheet
# at the sizes desktops ask the hicolor theme for.
set(PRISMVELDT_ICON_SIZES 16 24 32 48 64 128 256)
set(PRISMVELDT_ICONS)
foreach(size ${PRISMVELDT_ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/install/icons/${size}/${PRISMVELDT_APP_ID}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/install/icons/${size}
    COMMAND makeicon ${CMAKE_BINARY_DIR}/data/bmp/character/kyara.bmp 80 ${size} ${icon}
    DEPENDS makeicon gamedata
    COMMENT "Drawing the ${size}x${size} icon"
    VERBATIM)
  list(APPEND PRISMVELDT_ICONS ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# The manual pages of the two programs, gzipped as man finds them.
set(PRISMVELDT_MANUALS)
foreach(page prismveldt prismveldt-headless)
  set(manual ${CMAKE_BINARY_DIR}/install/man/${page}.6.gz)
  add_custom_command(OUTPUT ${manual}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/install/man
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/data/man/${page}.6 > ${manual}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/man/${page}.6
    COMMENT "Compressing the manual page ${page}(6)")
  list(APPEND PRISMVELDT_MANUALS ${manual})
  install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
add_custom_target(installfiles ALL
  DEPENDS ${PRISMVELDT_ICONS} ${PRISMVELDT_SHIPPED_SCORES} ${PRISMVELDT_MANUALS})
