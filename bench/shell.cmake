# The graph window's full update: compile, sample 10 formulas at 10,001 points, draw.
rekna_bench(graph_window_bench SOURCES graph_window_bench.cpp DEPS rekna_shell)
