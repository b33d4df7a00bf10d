// NUBBLER drawing: one plate frame (three per turn) and the whole board.

#include <benchmark/benchmark.h>

#include "bench/BenchHost.h"
#include "puzzles/Nubbler.h"

namespace {

void BM_NubblerDrawPlate(benchmark::State& state) {
    qg::bench::BenchHost host(qg::kNubbler);
    qg::Nubbler puzzle(host);
    puzzle.Prepare();
    int frame = 0;
    for (auto _ : state) {
        puzzle.DrawPlate(4, frame);
        frame = (frame + 1) % qg::kNubblerFrameCount;
        benchmark::DoNotOptimize(host.Screen().data());
    }
}
BENCHMARK(BM_NubblerDrawPlate);

void BM_NubblerDraw(benchmark::State& state) {
    qg::bench::BenchHost host(qg::kNubbler);
    qg::Nubbler puzzle(host);
    puzzle.Prepare();
    for (auto _ : state) {
        puzzle.Draw();
        benchmark::DoNotOptimize(host.Screen().data());
    }
}
BENCHMARK(BM_NubblerDraw);

void BM_NubblerTurn(benchmark::State& state) {
    qg::bench::BenchHost host(qg::kNubbler);
    qg::Nubbler puzzle(host);
    puzzle.Prepare();
    for (auto _ : state) {
        puzzle.LeftClick(230, 166);
        benchmark::DoNotOptimize(host.Screen().data());
    }
}
BENCHMARK(BM_NubblerTurn);

}  // namespace
