# The find window "ジャンプ/検索/置換" and the template window.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/find_window.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/find_window.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/template_window.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/template_window.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/find_parts.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/find_parts.cpp
)
