# Tests of the hot-key tables, the rewritten text and the sequence against a fake editor.
target_sources(shell_test PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_tables_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_replace_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_calc_test.cpp
)
