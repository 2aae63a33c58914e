# Tests of the generated sounds in data/Audio and of the synth (tools/sfxgen) that makes them.
target_sources(quellix_tests PRIVATE
  test_audio_assets.cpp
  test_sfxgen.cpp
)
target_link_libraries(quellix_tests PRIVATE sfxgen_synth)
add_dependencies(quellix_tests quellix_audio)
