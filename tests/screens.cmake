# Tests of the screens and the players' files. The menu tests move the X pointer and the end-to-end
# test drives the real program, so they run in the end-to-end executable, one at a time.
target_sources(quellix_tests PRIVATE
  test_loading_state.cpp
  test_settings.cpp
  test_user_files.cpp
  test_user_profile.cpp
)
target_sources(quellix_e2e_tests PRIVATE
  test_bad_data_e2e.cpp
  test_menu_e2e.cpp
  test_menu_state.cpp
)
