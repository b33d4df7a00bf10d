// Benchmarks of CIRRELA drawing.
