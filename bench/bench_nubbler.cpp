// Benchmarks of NUBBLER drawing.
