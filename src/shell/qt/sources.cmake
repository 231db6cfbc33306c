# The main window.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/form_memo.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/form_memo.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/form_memo_files.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/script_window_host.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/script_window_host.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/window_parts.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/window_parts.cpp
)

# The print preview, the find and template windows and the graph window.
foreach(part print find graph_window hotkey options)
  include(${PROJECT_SOURCE_DIR}/src/shell/qt/${part}.cmake OPTIONAL)
endforeach()
