# Arbitrary series data streams loaded and drawn by the graph.
rekna_fuzz(fuzz_graph SOURCES fuzz_graph.cpp DEPS rekna_graph)
