# The graph widget's tests, over the demo's sample graphs.
target_sources(ui_test PRIVATE
  ${PROJECT_SOURCE_DIR}/tests/graph/qt/xy_graph_view_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/graph/qt/demo_graphs.cpp
)
target_include_directories(ui_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/graph/qt)

# Four graph widgets with every series kind, and the same graphs written as SVG.
add_executable(graph_demo
  ${PROJECT_SOURCE_DIR}/tests/graph/qt/graph_demo.cpp
  ${PROJECT_SOURCE_DIR}/tests/graph/qt/demo_graphs.cpp
)
target_link_libraries(graph_demo PRIVATE rekna_ui Qt6::Widgets)
set_target_properties(graph_demo PROPERTIES AUTOMOC OFF)
