// The blit on its own: a full board copy, and a 130 x 130 masked sprite.

#include <benchmark/benchmark.h>

#include "core/Surface.h"

namespace {

void BM_BlitFullBoard(benchmark::State& state) {
    qg::Surface src(500, 333, 0xFF336699u), dst(500, 333);
    for (auto _ : state) {
        qg::Blit(dst, 0, 0, 500, 333, src, 0, 0, qg::Rop::Copy);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_BlitFullBoard);

void BM_BlitMaskedSprite(benchmark::State& state) {
    qg::Surface sheet(700, 400, 0xFF808080u), dst(500, 333);
    for (auto _ : state) {
        qg::Blit(dst, 40, 40, 130, 130, sheet, 500, 0, qg::Rop::And);
        qg::Blit(dst, 40, 40, 130, 130, sheet, 500, 200, qg::Rop::Or);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_BlitMaskedSprite);

}  // namespace
