# Tests of the moving actors: physics, entities, the tank, animations, the player, power-ups.
target_sources(quellix_tests PRIVATE
  test_animation.cpp
  test_auto_player.cpp
  test_entity.cpp
  test_gamepad.cpp
  test_opponent.cpp
  test_physics.cpp
  test_player.cpp
  test_power_up.cpp
  test_tank.cpp
  test_wolf.cpp
)
# Holds real keys on the X server with xdotool.
target_sources(quellix_e2e_tests PRIVATE
  test_player_input.cpp
)
