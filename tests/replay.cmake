# Tests of the recordings of play: their text, the files refused, a player's runs.
target_sources(quellix_tests PRIVATE
  test_recording.cpp
)

# Plays a shipped level with the automatic player at a person's pace and records it; the recorded
# runs in tests/replays are made with it (tools/record-replays.sh).
add_executable(human_pace human_pace.cpp)
target_link_libraries(human_pace PRIVATE quellix_game)
