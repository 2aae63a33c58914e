# Levels: the Tiled maps in assets/levels are the sources; tmx2lua turns each LevelN.tmx into the
# script data/Levels/LevelN.lua that the game runs. The scripts are never edited by hand.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/tmx2lua ${CMAKE_BINARY_DIR}/tools/tmx2lua)

set(quellix_level_sources ${PROJECT_SOURCE_DIR}/assets/levels)
set(quellix_level_dir ${QUELLIX_DATA_DIR}/Levels)
file(GLOB quellix_level_maps CONFIGURE_DEPENDS ${quellix_level_sources}/Level*.tmx)
if(NOT quellix_level_maps)
  message(FATAL_ERROR "No level maps (Level*.tmx) found in ${quellix_level_sources}")
endif()

set(quellix_level_scripts)
foreach(quellix_level_map ${quellix_level_maps})
  get_filename_component(quellix_level_name ${quellix_level_map} NAME_WE)
  set(quellix_level_script ${quellix_level_dir}/${quellix_level_name}.lua)
  add_custom_command(
    OUTPUT ${quellix_level_script}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${quellix_level_dir}
    COMMAND tmx2lua ${quellix_level_map} ${quellix_level_script}
    DEPENDS tmx2lua ${quellix_level_map} ${quellix_level_sources}/Objects.tsx
    COMMENT "Converting level ${quellix_level_name}"
    VERBATIM)
  list(APPEND quellix_level_scripts ${quellix_level_script})
endforeach()

add_custom_target(quellix_levels DEPENDS ${quellix_level_scripts})
add_dependencies(quellix_data quellix_levels)
