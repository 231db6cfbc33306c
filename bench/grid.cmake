# The settings grid: pasting a large block and undoing it.
rekna_bench(grid_bench SOURCES grid_bench.cpp DEPS rekna_grid)
