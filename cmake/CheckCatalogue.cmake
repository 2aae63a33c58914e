# Checks one language's catalogue against the game's texts and compiles it (cmake/Translations.cmake
# runs it for every language, the suite for broken ones):
#   cmake -DMSGCMP=msgcmp -DMSGFMT=msgfmt -DPO=po/de.po -DPOT=quellix.pot -DMO=de/quellix.mo
#         -P cmake/CheckCatalogue.cmake
# A text of the template that the catalogue leaves out, leaves untranslated or marks fuzzy fails
# (msgcmp), and so does a translation whose placeholders or header are wrong (msgfmt --check).
execute_process(COMMAND ${MSGCMP} ${PO} ${POT} RESULT_VARIABLE status ERROR_VARIABLE problems)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${problems}${PO} does not translate every text of the game. "
    "`msgmerge --update ${PO} ${POT}` adds the new ones: translate them, and remove the fuzzy "
    "marks of those you have checked.")
endif()
# Texts the game no longer has are only worth a note.
if(problems)
  message(NOTICE "${problems}")
endif()
get_filename_component(folder ${MO} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
execute_process(COMMAND ${MSGFMT} --check -o ${MO} ${PO} RESULT_VARIABLE status
  ERROR_VARIABLE problems)
if(NOT status EQUAL 0)
  file(REMOVE ${MO})
  message(FATAL_ERROR "${problems}${PO} cannot be compiled: msgfmt --check finds the above.")
endif()
