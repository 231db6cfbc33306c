# Widget tests of the options dialog.
target_sources(ui_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/shell/qt/options_form_test.cpp)
