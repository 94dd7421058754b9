# Run by CPack on the staging tree of the Debian package, before it is packed:
# Debian keeps games' programs in /usr/games, so the programs that
# `cmake --install` puts in <prefix>/bin move there. The game finds its data
# the same way from either (<program's folder>/../share/prismveldt).
set(programs "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_PRISMVELDT_BINDIR}")
set(games "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/games")
if(CPACK_GENERATOR STREQUAL "DEB" AND IS_DIRECTORY "${programs}" AND NOT programs STREQUAL games)
  file(RENAME "${programs}" "${games}")
endif()
