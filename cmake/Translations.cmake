# Translations (GNU gettext, tools/setup.sh installs it): xgettext collects every text of the game
# (the C++ sources' tr(), trPlural(), trIn(), trLater() and trInLater()), of the menu entry and of the metainfo into
# build/po/quellix.pot. Each language of po/LINGUAS must translate all of them: a text that
# po/<language>.po leaves out, untranslated or fuzzy, or a translation whose placeholders or header
# are wrong, fails the build (cmake/CheckCatalogue.cmake). The catalogues are compiled into
# data/Locale/<language>/LC_MESSAGES/quellix.mo, where the game reads them in a tree;
# cmake/Install.cmake installs them under share/locale.
find_program(XGETTEXT xgettext)
find_program(MSGCAT msgcat)
find_program(MSGCMP msgcmp)
find_program(MSGFMT msgfmt)
if(NOT XGETTEXT OR NOT MSGCAT OR NOT MSGCMP OR NOT MSGFMT)
  message(FATAL_ERROR "The translations need GNU gettext's programs. Install the Debian package "
    "gettext (tools/setup.sh does: apt-get install gettext) and run cmake again.")
endif()

set(quellix_po_build ${CMAKE_BINARY_DIR}/po)
set(QUELLIX_POT ${quellix_po_build}/${QUELLIX_TEXT_DOMAIN}.pot)
set(quellix_locale_dir ${QUELLIX_DATA_DIR}/Locale)
set(quellix_desktop_template ${PROJECT_SOURCE_DIR}/packaging/quellix.desktop)
set(quellix_metainfo_template ${PROJECT_SOURCE_DIR}/packaging/quellix.metainfo.xml.in)

# Relative names, so the template points translators at src/... whatever the build folder.
file(GLOB_RECURSE quellix_translated_sources CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.hpp)
list(SORT quellix_translated_sources)
set(quellix_xgettext ${XGETTEXT} --from-code=UTF-8 --add-comments=TRANSLATORS:
  --package-name=Quellix --package-version=${PROJECT_VERSION}
  --msgid-bugs-address=quellix@example.org "--copyright-holder=The Quellix developers")
add_custom_command(
  OUTPUT ${QUELLIX_POT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${quellix_po_build}
  COMMAND ${quellix_xgettext} --language=C++ -k -ktr -ktrIn:1c,2 -ktrLater -ktrInLater:1c,2 -ktrPlural:1,2
    -o ${quellix_po_build}/code.pot ${quellix_translated_sources}
  COMMAND ${quellix_xgettext} --language=Desktop -o ${quellix_po_build}/desktop.pot
    packaging/quellix.desktop
  COMMAND ${quellix_xgettext} -o ${quellix_po_build}/metainfo.pot
    packaging/quellix.metainfo.xml.in
  COMMAND ${MSGCAT} --use-first -o ${QUELLIX_POT} ${quellix_po_build}/code.pot
    ${quellix_po_build}/desktop.pot ${quellix_po_build}/metainfo.pot
  DEPENDS ${quellix_translated_sources} ${quellix_desktop_template} ${quellix_metainfo_template}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Collecting the texts to translate into ${QUELLIX_TEXT_DOMAIN}.pot"
  VERBATIM)

set(quellix_catalogues)
set(quellix_po_files)
foreach(language ${QUELLIX_LANGUAGES})
  set(po ${QUELLIX_PO_DIR}/${language}.po)
  if(NOT EXISTS ${po})
    message(FATAL_ERROR "po/LINGUAS names ${language}, but there is no po/${language}.po")
  endif()
  set(mo ${quellix_locale_dir}/${language}/LC_MESSAGES/${QUELLIX_TEXT_DOMAIN}.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -DMSGCMP=${MSGCMP} -DMSGFMT=${MSGFMT} -DPO=${po} -DPOT=${QUELLIX_POT}
      -DMO=${mo} -P ${CMAKE_CURRENT_LIST_DIR}/CheckCatalogue.cmake
    DEPENDS ${po} ${QUELLIX_POT} ${CMAKE_CURRENT_LIST_DIR}/CheckCatalogue.cmake
    COMMENT "Checking and compiling the ${language} translation"
    VERBATIM)
  list(APPEND quellix_catalogues ${mo})
  list(APPEND quellix_po_files ${po})
endforeach()

add_custom_target(quellix_translations DEPENDS ${quellix_catalogues})
add_dependencies(quellix_data quellix_translations)
