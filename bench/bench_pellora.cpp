// PELLORA with the real sheet: one cell update, a full board of the largest
// size, a shuffle of the largest size, and a whole move without its pauses.

#include <benchmark/benchmark.h>

#include "bench/BenchHost.h"
#include "puzzles/Pellora.h"

namespace {

struct Table {
    qg::bench::BenchHost host{qg::kPellora};
    qg::Pellora puzzle{host};
    Table() {
        puzzle.SetVariant(3);
        puzzle.Prepare();
        puzzle.Draw();
    }
};

void BM_PelloraDrawCell(benchmark::State& state) {
    Table t;
    int frame = 0;
    for (auto _ : state) {
        t.puzzle.DrawCell(3, frame);  // the centre cell
        frame = (frame + 1) % qg::kPelloraFrames;
        benchmark::DoNotOptimize(t.host.Screen().data());
    }
}
BENCHMARK(BM_PelloraDrawCell);

void BM_PelloraDrawLargest(benchmark::State& state) {
    Table t;
    for (auto _ : state) {
        t.puzzle.Draw();
        benchmark::DoNotOptimize(t.host.Screen().data());
    }
}
BENCHMARK(BM_PelloraDrawLargest);

// 741 left turns from the solved board.
void BM_PelloraShuffleLargest(benchmark::State& state) {
    Table t;
    for (auto _ : state) {
        t.puzzle.Shuffle();
        benchmark::DoNotOptimize(t.puzzle.Board().data());
    }
}
BENCHMARK(BM_PelloraShuffleLargest);

// Sound, four cell updates and the solved test; what a move adds to its 3 x 40 ms.
void BM_PelloraTurn(benchmark::State& state) {
    Table t;
    bool left = true;
    for (auto _ : state) {
        left ? t.puzzle.LeftClick(192, 164) : t.puzzle.RightClick(192, 164);
        left = !left;
        benchmark::DoNotOptimize(t.host.Screen().data());
    }
}
BENCHMARK(BM_PelloraTurn);

}  // namespace
