# The hot keys in the main window, and end to end in a real editor under Xvfb.
target_sources(ui_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/shell/qt/hotkey_test.cpp)

# Needs xvfb-run, openbox, l3afpad and xdotool; skipped (77) without them.
add_test(NAME HotKey.EndToEnd
         COMMAND sh ${PROJECT_SOURCE_DIR}/tests/shell/qt/hotkey_e2e.sh $<TARGET_FILE:rekna>)
set_tests_properties(HotKey.EndToEnd PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
