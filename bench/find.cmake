# Replace All and a search through a 100,000-line memo.
rekna_bench(editor_find_bench SOURCES editor_find_bench.cpp DEPS rekna_editor)
