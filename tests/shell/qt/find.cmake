# Widget tests of the find window and the template window.
target_sources(ui_test PRIVATE
  ${PROJECT_SOURCE_DIR}/tests/shell/qt/find_window_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/shell/qt/template_window_test.cpp
)
