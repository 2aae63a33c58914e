# Tests of the menu widgets. The pointer tests move the real mouse pointer, so they run with the
# end-to-end tests, which hold the X input one at a time.
target_sources(quellix_tests PRIVATE
  test_button.cpp
  test_container.cpp
  test_text_box.cpp
)
target_sources(quellix_e2e_tests PRIVATE
  test_container_pointer.cpp
)
