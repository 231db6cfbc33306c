# The graph window's core: its tables, their mapping onto the graph, sampling through the engine,
# the #Graph. lines and the graph data file.
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/graph_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graph_mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graph_sampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graph_model.cpp
)
target_link_libraries(rekna_shell PUBLIC rekna_graph rekna_grid)
