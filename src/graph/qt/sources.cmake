# The graph widget and its QPainter canvas.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/graph/qt/qt_graph_canvas.cpp
  ${PROJECT_SOURCE_DIR}/src/graph/qt/xy_graph_view.cpp
)
target_link_libraries(rekna_ui PUBLIC rekna_graph)
