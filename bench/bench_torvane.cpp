// TORVANE drawing with the real sheet: one animation frame of a plate, a
// full board, and a whole turn without its pauses.

#include <benchmark/benchmark.h>

#include "bench/BenchHost.h"
#include "puzzles/Torvane.h"

namespace {

struct Table {
    qg::bench::BenchHost host{qg::kTorvane};
    qg::Torvane puzzle{host};
    Table() { puzzle.Prepare(); }
};

void BM_TorvaneDrawPlate(benchmark::State& state) {
    Table t;
    int frame = 0;
    for (auto _ : state) {
        t.puzzle.DrawPlate(2, frame);  // the middle plate
        frame = (frame + 1) % qg::kTorvaneFrameCount;
        benchmark::DoNotOptimize(t.host.Screen().data());
    }
}
BENCHMARK(BM_TorvaneDrawPlate);

void BM_TorvaneDraw(benchmark::State& state) {
    Table t;
    for (auto _ : state) {
        t.puzzle.Draw();
        benchmark::DoNotOptimize(t.host.Screen().data());
    }
}
BENCHMARK(BM_TorvaneDraw);

// Sound, six frames and the solved test; what a move adds to its 5 x 30 ms.
void BM_TorvaneTurn(benchmark::State& state) {
    Table t;
    bool left = true;
    for (auto _ : state) {
        left ? t.puzzle.LeftClick(165, 165) : t.puzzle.RightClick(165, 165);
        left = !left;
        benchmark::DoNotOptimize(t.host.Screen().data());
    }
}
BENCHMARK(BM_TorvaneTurn);

}  // namespace
