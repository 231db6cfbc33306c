# The graph window and its hook into the main window.
target_sources(rekna_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/graph_window.h
  ${CMAKE_CURRENT_LIST_DIR}/graph_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graph_window_hook.h
  ${CMAKE_CURRENT_LIST_DIR}/graph_window_hook.cpp
)
