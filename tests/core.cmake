# Tests of the core runtime (the command line and the folders chosen at start-up too), the scene
# graph and the title screen.
target_sources(quellix_tests PRIVATE
  test_command_line.cpp
  test_commands.cpp
  test_game_paths.cpp
  test_resource_holder.cpp
  test_scene_node.cpp
  test_sound_player.cpp
  test_state_stack.cpp
  test_title_state.cpp
  test_translation.cpp
  test_window_control.cpp
)
# The font test asks FreeType itself whether a face has a character.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
target_link_libraries(quellix_tests PRIVATE PkgConfig::FREETYPE)
target_sources(quellix_e2e_tests PRIVATE
  test_start_e2e.cpp
  test_title_e2e.cpp
)

# Plays one effect in a process of its own, so its recorded output can be checked.
add_executable(sound_probe sound_probe.cpp)
target_link_libraries(sound_probe PRIVATE quellix_game)
add_dependencies(quellix_tests sound_probe)
