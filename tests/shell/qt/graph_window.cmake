# The graph window opened from the main window.
target_sources(ui_test PRIVATE
  ${PROJECT_SOURCE_DIR}/tests/shell/qt/graph_window_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/shell/qt/graph_window_memo_test.cpp
)
