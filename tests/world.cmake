# Tests of the level map and its blocks.
target_sources(quellix_tests PRIVATE
  test_blocks.cpp
  test_platform.cpp
)
# Replays of the fuzzers' inputs (fuzz/), through the entry points the fuzzers use.
target_sources(quellix_tests PRIVATE test_fuzz_regressions.cpp ../fuzz/FuzzEntryPoints.cpp)
