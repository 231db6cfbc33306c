# Arbitrary bytes as a graph data file or a template file, read and written back.
rekna_fuzz(fuzz_shell_files SOURCES fuzz_shell_files.cpp DEPS rekna_shell)
# Arbitrary text from another program's editor, rewritten by the hot key.
rekna_fuzz(fuzz_hotkey_text SOURCES fuzz_hotkey_text.cpp DEPS rekna_shell)
