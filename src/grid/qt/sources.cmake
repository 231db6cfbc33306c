# The settings grid widget, its in-place editor and drop-down list.
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/grid/qt/str_vt_grid.h
  ${PROJECT_SOURCE_DIR}/src/grid/qt/str_vt_grid.cpp
  ${PROJECT_SOURCE_DIR}/src/grid/qt/str_vt_grid_paint.cpp
  ${PROJECT_SOURCE_DIR}/src/grid/qt/inplace_vt_edit.h
  ${PROJECT_SOURCE_DIR}/src/grid/qt/inplace_vt_edit.cpp
)
target_link_libraries(rekna_ui PUBLIC rekna_grid)
