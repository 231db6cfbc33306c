# The main window.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/form_memo.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/form_memo.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/form_memo_files.cpp
)
