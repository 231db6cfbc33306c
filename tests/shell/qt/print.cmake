# The print preview window, printing to PDF and the paper width.
target_sources(ui_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/shell/qt/print_test.cpp)
