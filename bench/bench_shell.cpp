// A whole move through the real main window (offscreen): how much longer it
// takes than its pauses. The figure reported is the time beyond the pauses.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <chrono>

#include "shell/MainForm.h"
#include "tests/ScriptedWindows.h"

namespace {

qg::TMainForm* form = nullptr;

struct Move {
    int game;
    int x, y;
    int pausesMs;
};

void BM_MoveBeyondItsPauses(benchmark::State& state, Move move) {
    form->SelectGame(move.game);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form->boxMouseDown(Qt::LeftButton, move.x, move.y);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count() - move.pausesMs / 1000.0);
    }
}
BENCHMARK_CAPTURE(BM_MoveBeyondItsPauses, Torvane, Move{qg::kTorvane, 105, 105, 5 * 30})->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(40);
BENCHMARK_CAPTURE(BM_MoveBeyondItsPauses, Pellora, Move{qg::kPellora, 192, 148, 3 * 40})->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(40);
BENCHMARK_CAPTURE(BM_MoveBeyondItsPauses, Nubbler, Move{qg::kNubbler, 130, 66, 2 * 50})->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(40);
BENCHMARK_CAPTURE(BM_MoveBeyondItsPauses, Cirrela, Move{qg::kCirrela, 100, 160, 2 * 30})->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(40);

void BM_PresentPlateSquare(benchmark::State& state) {
    form->SelectGame(qg::kTorvane);
    for (auto _ : state) form->game().Present(qg::Rect{40, 40, 130, 130});
}
BENCHMARK(BM_PresentPlateSquare)->Unit(benchmark::kMicrosecond);

// How late a 30 ms pause returns: the wake-up cost every frame pays.
void BM_PauseOvershoot(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form->game().Pause(30);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count() - 0.030);
    }
}
BENCHMARK(BM_PauseOvershoot)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(40);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    qg::test::ScriptedWindows windows;
    qg::TMainForm main(QG_PROGRAM_DIR, &windows);
    if (!main.FormCreate()) return 1;
    main.show();
    if (!QTest::qWaitForWindowExposed(&main)) return 1;
    main.timer().stop();
    if (qEnvironmentVariableIsSet("QG_BENCH_SILENT")) main.findChild<QToolButton*>("SoundBtn")->setChecked(false);
    form = &main;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
