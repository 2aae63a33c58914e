# Run by CPack on the staged package, before it is packed: strips the game as Debian's dh_strip
# does, which also drops the compiler's notes (.comment, .note) that plain stripping keeps.
file(GLOB_RECURSE quellix_staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/games/*")
foreach(program ${quellix_staged})
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${program}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${program}")
  endif()
endforeach()
