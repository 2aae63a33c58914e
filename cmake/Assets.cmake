# The asset pipeline: every generated data file is made by the build from sources the project
# keeps, into data/. Each kind of asset has its own file below, which adds a custom target and
# hangs it under quellix_data; the game executable depends on quellix_data, so `cmake --build`
# always leaves a playable data folder. data/User (the player's saves) is never touched.
add_custom_target(quellix_data ALL)
add_dependencies(quellix quellix_data)

# Builds that only need code (fuzzers, quick checks) can leave the data out.
option(QUELLIX_MAKE_DATA "Make the game's data files from their sources" ON)
if(QUELLIX_MAKE_DATA)
  foreach(kind Images Audio Fonts Levels Translations)
    include(${CMAKE_CURRENT_LIST_DIR}/${kind}.cmake OPTIONAL)
  endforeach()
endif()
