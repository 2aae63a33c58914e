# Tests of the level map and its blocks.
target_sources(quellix_tests PRIVATE
  test_blocks.cpp
  test_platform.cpp
)
