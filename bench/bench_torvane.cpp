// Benchmarks of TORVANE drawing.
