# Single instance, help window and About box.
find_package(Qt6 6.4 REQUIRED COMPONENTS Network)

target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/about_box.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/help_window.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/help_window.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/single_instance.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/single_instance.cpp
)
# Only the About box needs the version; keeping it off the other units spares them a rebuild.
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/shell/qt/about_box.cpp
  PROPERTIES COMPILE_DEFINITIONS "REKNA_VERSION=\"${PROJECT_VERSION}\"")
target_link_libraries(rekna_ui PUBLIC Qt6::Network)
