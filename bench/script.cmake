# The script language: a counting loop with its stop polls, and reading a long script.
rekna_bench(script_bench SOURCES script_bench.cpp DEPS rekna_script)
