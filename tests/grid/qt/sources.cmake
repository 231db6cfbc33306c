# The settings grid widget: typing, list stepping, pasting and undo through QTest events.
target_sources(ui_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/grid/qt/str_vt_grid_test.cpp)

# A window with a settings grid of every cell kind, for trying it and for screenshots.
add_executable(grid_demo ${PROJECT_SOURCE_DIR}/tests/grid/qt/grid_demo.cpp)
target_link_libraries(grid_demo PRIVATE rekna_ui Qt6::Widgets)
set_target_properties(grid_demo PROPERTIES AUTOMOC OFF)
