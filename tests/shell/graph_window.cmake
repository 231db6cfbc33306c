# Tests of the graph window's core.
target_sources(shell_test PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/graph_tables_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graph_model_test.cpp
)
