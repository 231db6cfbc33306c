# Tests of the options dialog's pages, tables and definitions rows.
target_sources(shell_test PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/options_model_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options_tables_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options_definitions_test.cpp
)
