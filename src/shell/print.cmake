# The print layout: page margins, pagination, the number boxes' clamps and the preview's zoom.
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/print_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_view.cpp
)
