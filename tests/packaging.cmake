# Checks of the installation and of the desktop files. They exist only when the build makes the
# data, which cmake/Install.cmake needs. The validators are installed by tools/setup.sh; without
# them their checks are skipped (exit code 77).
if(TARGET quellix_desktop_files)
  add_test(NAME Packaging.DesktopEntryValidates
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/validate-desktop-file.sh desktop
      ${quellix_desktop})
  add_test(NAME Packaging.MetainfoValidates
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/validate-desktop-file.sh metainfo ${quellix_metainfo})
  add_test(NAME Packaging.InstallPlacesTheGameLikeADebianGame
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-install.sh ${CMAKE_BINARY_DIR}
      ${QUELLIX_APP_ID}.metainfo.xml "${QUELLIX_LANGUAGES_TEXT}")
  set_tests_properties(Packaging.DesktopEntryValidates Packaging.MetainfoValidates
    PROPERTIES SKIP_RETURN_CODE 77)
endif()

# The build's check of every catalogue, given catalogues with a fault.
if(TARGET quellix_translations)
  add_test(NAME Translations.ACatalogueWithATextLeftOutUntranslatedFuzzyOrBrokenFailsTheBuild
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-catalogue.sh ${CMAKE_COMMAND} ${MSGCMP} ${MSGFMT}
      ${PROJECT_SOURCE_DIR}/cmake/CheckCatalogue.cmake ${QUELLIX_POT} ${QUELLIX_PO_DIR}/de.po)
endif()
