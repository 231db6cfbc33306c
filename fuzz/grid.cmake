# The settings grid: arbitrary text pasted and typed into cells of every data type.
rekna_fuzz(fuzz_grid SOURCES fuzz_grid.cpp DEPS rekna_grid)
