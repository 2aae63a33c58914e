# The Debian package, made by CPack from the installation above (tools/make-deb.sh runs it on a
# build configured with the prefix /usr). Libraries the game links to are found by dpkg-shlibdeps;
# the data needs the menu fonts' package, which the installed game links to.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quellix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Quellix developers <quellix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tank platform game: climb a tower of tiles, scrap robot wolves")
set(CPACK_PACKAGE_DESCRIPTION "\
Quellix is a platform game for one player. You drive a small tank up a tall
tower of tiles while robot wolves walk out of coloured spawner blocks: bump
the block under a wolf from below to stun it, then drive into it to scrap it.
Power-ups fill four colour counters that pay for hits on the spawners; when
every spawner of a level is destroyed, the next, taller level begins.

The game has eight levels, music and sound effects, and remembers every
player by name.")
# The files go where the game looks for them.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackage.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUELLIX_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${quellix_font_package})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
