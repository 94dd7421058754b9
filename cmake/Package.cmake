# The Debian package: `cpack -G DEB` in the build folder (or tools/package.sh)
# packs what `cmake --install` installs, under /usr with the programs in
# /usr/games, into
# prismveldt_<version>_<arch>.deb with its SHA-256 sum beside it.
#
# The libraries it needs come from the programs themselves (dpkg-shlibdeps);
# the fonts the game's aliases in fonts/fonts.conf point at are named here, as
# nothing in the binaries says so.

set(CPACK_PACKAGE_NAME prismveldt)
set(CPACK_PACKAGE_VENDOR "The Prismveldt team")
set(CPACK_PACKAGE_CONTACT "The Prismveldt team <maintainers@users.noreply.c-seed-6258bc04.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "action game steered by the recoil of a ray gun")
set(CPACK_PACKAGE_DESCRIPTION [=[
Your character stands in the middle of the screen holding a ray gun that
always points at the mouse. Holding the left button fires a beam whose
recoil pushes the character away from the mouse: the only way to move.
.
Four timed stages with deadly tiles, bees that home in on you and
checkpoints; the five best times of every stage are kept in the player's
own data folder.]=])
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/prismveldt/prismveldt)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-bebas-neue, fonts-ipafont-mincho")
# The programs go to /usr/games (cmake/PackageGames.cmake moves them there).
set(CPACK_PRISMVELDT_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageGames.cmake)
# The data is mostly uncompressed pictures and sounds; xz packs them far
# smaller than gzip and every dpkg unpacks it.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# Software centres show the newest release of the metadata as the version
# installed: it has to be the one packed.
set(PRISMVELDT_METAINFO_FILE ${CMAKE_SOURCE_DIR}/data/${PRISMVELDT_APP_ID}.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PRISMVELDT_METAINFO_FILE})
file(READ ${PRISMVELDT_METAINFO_FILE} PRISMVELDT_METAINFO)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${PRISMVELDT_METAINFO}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The newest release in data/${PRISMVELDT_APP_ID}.metainfo.xml is "
    "\"${CMAKE_MATCH_1}\", the project's version ${PROJECT_VERSION}: add a <release> for it.")
endif()

include(CPack)
