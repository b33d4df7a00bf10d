// Benchmarks of CIRRELA drawing: one frame of a move at the level with the
// most balls, and a whole board.

#include <benchmark/benchmark.h>

#include "bench/BenchHost.h"
#include "puzzles/Cirrela.h"

namespace {

void BM_CirrelaDrawRingsLevel4(benchmark::State& state) {
    qg::bench::BenchHost host(qg::kCirrela);
    qg::Cirrela puzzle(host);
    puzzle.SetLevel(4);
    puzzle.Prepare();
    int frame = 0;
    for (auto _ : state) {
        puzzle.DrawRings(1, frame);
        frame = (frame + 1) % 3;
        benchmark::DoNotOptimize(host.Screen().data());
    }
}
BENCHMARK(BM_CirrelaDrawRingsLevel4);

void BM_CirrelaDraw(benchmark::State& state) {
    qg::bench::BenchHost host(qg::kCirrela);
    qg::Cirrela puzzle(host);
    puzzle.SetLevel(static_cast<int>(state.range(0)));
    puzzle.Prepare();
    for (auto _ : state) {
        puzzle.Draw();
        benchmark::DoNotOptimize(host.Screen().data());
    }
}
BENCHMARK(BM_CirrelaDraw)->Arg(1)->Arg(4);

}  // namespace
