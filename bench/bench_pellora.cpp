// Benchmarks of PELLORA drawing.
