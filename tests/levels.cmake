# Shipped levels and their converter (tools/tmx2lua). Both exist only when the build makes the
# game's data (QUELLIX_MAKE_DATA); the test runs the converter and reads data/Levels, so both
# must be current before it runs.
if(TARGET quellix_levels)
  target_sources(quellix_tests PRIVATE test_levels.cpp)
  add_dependencies(quellix_tests quellix_levels)
endif()
