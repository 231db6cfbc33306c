# Drawing 10 series of 10,001 points into the QPainter canvas and into SVG, and the repaints of a
# zoom drag; the widgets need a QApplication, so the program brings its own main.
if(REKNA_BUILD_UI)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)
  add_executable(graph_bench graph_bench.cpp)
  target_link_libraries(graph_bench PRIVATE rekna_ui Qt6::Widgets benchmark::benchmark)
  set_target_properties(graph_bench PROPERTIES AUTOMOC OFF)
endif()
