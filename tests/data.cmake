# Tests of the shipped data: the pictures and the scripts that cut them up. They read data/,
# so the data is made before the tests are built.
target_sources(quellix_tests PRIVATE test_images.cpp)
add_dependencies(quellix_tests quellix_data)
