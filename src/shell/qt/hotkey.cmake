# The hot keys: grabs, keystrokes and the active window through X11 and XTest.
find_package(X11 REQUIRED)
target_sources(rekna_ui PRIVATE
  ${PROJECT_SOURCE_DIR}/src/shell/qt/hotkey_x11.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/hotkey_x11.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/qt/hotkey_parts.h
  ${PROJECT_SOURCE_DIR}/src/shell/qt/hotkey_parts.cpp
)
target_link_libraries(rekna_ui PRIVATE X11::X11 X11::Xtst)
