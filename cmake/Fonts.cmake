# Fonts: the menu's two faces come from Debian's fonts-play package (SIL Open Font License 1.1),
# which tools/setup.sh installs; the licence travels with the files into data/Fonts.
#   MenuTitle.ttf   Play Bold: the title and the welcome line
#   MenuButton.ttf  Play Regular: button labels and typed names (covers Latin-1)
set(quellix_font_package fonts-play)
set(quellix_font_dir ${QUELLIX_DATA_DIR}/Fonts)
# Each entry is the package's file and the game's name for it. An installed game links to the
# faces (cmake/Install.cmake) and depends on the package, which carries the licence itself.
set(quellix_font_faces
  /usr/share/fonts/truetype/play/Play-Bold.ttf=MenuTitle.ttf
  /usr/share/fonts/truetype/play/Play-Regular.ttf=MenuButton.ttf)
set(quellix_font_copies
  ${quellix_font_faces}
  /usr/share/doc/fonts-play/copyright=LICENSE-Play.txt)

# quellix_font_entry(ENTRY FROM NAME): splits an entry of the lists above.
macro(quellix_font_entry entry from name)
  string(REGEX REPLACE "=.*" "" ${from} "${entry}")
  string(REGEX REPLACE ".*=" "" ${name} "${entry}")
endmacro()

set(quellix_font_outputs)
set(quellix_font_commands)
set(quellix_font_inputs)
foreach(quellix_font_entry_i ${quellix_font_copies})
  quellix_font_entry(${quellix_font_entry_i} quellix_font_from quellix_font_name)
  set(quellix_font_to ${quellix_font_dir}/${quellix_font_name})
  if(NOT EXISTS ${quellix_font_from})
    message(FATAL_ERROR
      "${quellix_font_from} is missing: the menu fonts come from the Debian package ${quellix_font_package}. "
      "Install it (tools/setup.sh does: apt-get install ${quellix_font_package}) and run cmake again.")
  endif()
  list(APPEND quellix_font_inputs ${quellix_font_from})
  list(APPEND quellix_font_outputs ${quellix_font_to})
  list(APPEND quellix_font_commands COMMAND ${CMAKE_COMMAND} -E copy ${quellix_font_from} ${quellix_font_to})
endforeach()

add_custom_command(
  OUTPUT ${quellix_font_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${quellix_font_dir}
  ${quellix_font_commands}
  DEPENDS ${quellix_font_inputs}
  COMMENT "Copying the menu fonts from ${quellix_font_package}"
  VERBATIM)
add_custom_target(quellix_fonts DEPENDS ${quellix_font_outputs})
add_dependencies(quellix_data quellix_fonts)
