# Tests of the print layout, the number boxes' clamps and the preview's zoom.
target_sources(shell_test PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/print_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_settings_test.cpp
)
