# The options dialog.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/options_form.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/options_form.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/options_pages.cpp
)
