# Sound effects and music: sfxgen synthesises each description in assets/audio into
# data/Audio/<name>.ogg. Effects (*.sfx) are short mono one-shots; themes (*.theme) are stereo
# loops. The synth lives in a small library so the tests can check its parser and renderer.

add_library(sfxgen_synth STATIC
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/AudioWriter.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Description.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/DescriptionError.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/DescriptionLine.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Echo.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Effect.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/FieldReader.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/InstrumentVoice.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Layer.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Oscillator.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/PatternSteps.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Pitch.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Ramp.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Reverb.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/Svf.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/ThemeParser.cpp
  ${PROJECT_SOURCE_DIR}/tools/sfxgen/ThemeRenderer.cpp)
target_include_directories(sfxgen_synth PUBLIC ${PROJECT_SOURCE_DIR}/tools)
target_compile_features(sfxgen_synth PUBLIC cxx_std_17)
target_link_libraries(sfxgen_synth PUBLIC sfml-audio sfml-system PRIVATE quellix_warnings)
# The build runs the generator on every fresh checkout: keep it fast even in Debug builds.
target_compile_options(sfxgen_synth PRIVATE $<$<CONFIG:Debug>:-O2>)

add_executable(sfxgen ${PROJECT_SOURCE_DIR}/tools/sfxgen/main.cpp)
target_link_libraries(sfxgen PRIVATE sfxgen_synth quellix_warnings)

set(QUELLIX_AUDIO_EFFECTS
  Explosion Repair RoboEntry RoboDelete KeyGeneration PowerObtained PortalExplosion RoboVanish
  Jump BlockStruck MenuMove ButtonPress)
set(QUELLIX_AUDIO_THEMES MenuTheme GameTheme)

set(quellix_audio_outputs)
foreach(name IN LISTS QUELLIX_AUDIO_EFFECTS QUELLIX_AUDIO_THEMES)
  if(name IN_LIST QUELLIX_AUDIO_EFFECTS)
    set(description ${PROJECT_SOURCE_DIR}/assets/audio/effects/${name}.sfx)
  else()
    set(description ${PROJECT_SOURCE_DIR}/assets/audio/themes/${name}.theme)
  endif()
  set(output ${QUELLIX_DATA_DIR}/Audio/${name}.ogg)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUELLIX_DATA_DIR}/Audio
    COMMAND sfxgen ${description} ${output}
    DEPENDS sfxgen ${description}
    COMMENT "Synthesising Audio/${name}.ogg"
    VERBATIM)
  list(APPEND quellix_audio_outputs ${output})
endforeach()

add_custom_target(quellix_audio DEPENDS ${quellix_audio_outputs})
add_dependencies(quellix_data quellix_audio)
