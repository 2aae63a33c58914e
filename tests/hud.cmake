# Tests of the heads-up display.
target_sources(quellix_tests PRIVATE
  test_game_hud.cpp
)

# The world, its camera and the game screen.
target_sources(quellix_tests PRIVATE
  test_camera.cpp
  test_world.cpp
  test_world_scenarios.cpp
  test_game_state.cpp
)
