# The print preview window, its page panel, the page painter and the printer set-up.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_page.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_page.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_panel.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_panel.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_form.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_form.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_setup.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/print_setup.cpp
)
