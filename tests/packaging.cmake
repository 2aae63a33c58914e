# Checks of the installation and of the desktop files. They exist only when the build makes the
# data, which cmake/Install.cmake needs. The validators are installed by tools/setup.sh; without
# them their checks are skipped (exit code 77).
if(TARGET quellix_desktop_files)
  add_test(NAME Packaging.DesktopEntryValidates
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/validate-desktop-file.sh desktop
      ${PROJECT_SOURCE_DIR}/packaging/quellix.desktop)
  add_test(NAME Packaging.MetainfoValidates
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/validate-desktop-file.sh metainfo ${quellix_metainfo})
  add_test(NAME Packaging.InstallPlacesTheGameLikeADebianGame
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-install.sh ${CMAKE_BINARY_DIR}
      ${QUELLIX_APP_ID}.metainfo.xml)
  set_tests_properties(Packaging.DesktopEntryValidates Packaging.MetainfoValidates
    PROPERTIES SKIP_RETURN_CODE 77)
endif()
