# The options dialog's pages, tables and definitions rows.
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/options_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options_definitions.cpp
)
target_link_libraries(rekna_shell PUBLIC rekna_grid)
