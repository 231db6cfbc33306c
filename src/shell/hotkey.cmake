# The hot-key calculation in other programs' editors: its tables, the text it writes back and
# its keystroke sequence.
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_replace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_calc.cpp
)
