// The hints' solvers on positions the game's own Mix makes from fixed seeds,
// 100 per puzzle and size or level: the time to the first hint (a whole
// solution), its length against the shortest or against the turns the Mix
// made, and the memory the solvers took on top.
//
// Each benchmark runs once over its 100 positions; the counters carry the
// figures: ms_median, ms_p95, ms_max (wall clock) and cpu_ms_* (this
// thread's processor time, the fairer figure on a busy machine), len_mean,
// len_max, shortest (how many were proven shortest), solved (how many
// solutions end solved within the Mix's length), mix_mean and mix_min, and
// below_mix_min (the least a solution stayed under its Mix). extra_MB is
// the peak resident memory grown since the start of the program.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "core/QuietHost.h"
#include "puzzles/PuzzleRecords.h"
#include "solve/Solve.h"

namespace {

using namespace qg;

constexpr int kPositions = 100;

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
const long kStartKb = PeakKb();

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Notes the draws of a Mix, to count the moves it made.
class CountingHost : public QuietHost {
public:
    using QuietHost::QuietHost;
    int Random(int n) override {
        const int r = QuietHost::Random(n);
        draws.push_back(r);
        return r;
    }
    std::vector<int> draws;
};

template <class P>
int MixMoves(const P& puzzle, const std::vector<int>& draws);
template <>
int MixMoves(const Torvane&, const std::vector<int>&) { return 0; }
template <>
int MixMoves(const Nubbler&, const std::vector<int>&) { return kNubblerShuffleTurns; }
template <>
int MixMoves(const Pellora& p, const std::vector<int>&) { return 20 * At(PelloraVariantParams, p.Variant() - 1).cells + 1; }
// The first draw sets the rounds, then each round draws ring, way and steps.
template <>
int MixMoves(const Cirrela&, const std::vector<int>& draws) {
    int steps = 0;
    for (std::size_t i = 3; i < draws.size(); i += 3) steps += draws[i] + 1;
    return steps;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

template <class P>
void BM_FirstHint(benchmark::State& state) {
    const int option = static_cast<int>(state.range(0));
    std::vector<double> wall, cpu, length, mix;
    int shortest = 0, solved = 0, belowMin = 1 << 30;
    for (auto _ : state) {
        for (int seed = 1; seed <= kPositions; ++seed) {
            CountingHost host(Surface(700, 700), static_cast<std::uint64_t>(seed));
            P puzzle(host);
            puzzle.SetOption(option);
            puzzle.Prepare();
            host.draws.clear();
            puzzle.Shuffle();  // a Mix
            const auto position = puzzle.Position();
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = ThreadCpuMs();
            const auto solution = Solve(position);
            cpu.push_back(ThreadCpuMs() - c0);
            wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            if (!solution) continue;
            const int mixed = MixMoves(puzzle, host.draws);
            const int len = static_cast<int>(solution->moves.size());
            length.push_back(len);
            mix.push_back(mixed);
            shortest += solution->shortest;
            if (Solves(position, solution->moves) && (mixed == 0 || len <= mixed)) {
                ++solved;
                if (mixed > 0) belowMin = std::min(belowMin, mixed - len);
            }
        }
    }
    auto& c = state.counters;
    c["ms_median"] = Percentile(wall, 0.5);
    c["ms_p95"] = Percentile(wall, 0.95);
    c["ms_max"] = Percentile(wall, 1.0);
    c["cpu_ms_median"] = Percentile(cpu, 0.5);
    c["cpu_ms_p95"] = Percentile(cpu, 0.95);
    c["cpu_ms_max"] = Percentile(cpu, 1.0);
    double sum = 0;
    for (const double l : length) sum += l;
    c["len_mean"] = length.empty() ? 0 : sum / static_cast<double>(length.size());
    c["len_max"] = length.empty() ? 0 : *std::max_element(length.begin(), length.end());
    c["shortest"] = shortest;
    c["solved"] = solved;
    if (mix.front() > 0) {
        double mixSum = 0;
        for (const double m : mix) mixSum += m;
        c["mix_mean"] = mixSum / static_cast<double>(mix.size());
        c["mix_min"] = *std::min_element(mix.begin(), mix.end());
        c["below_mix_min"] = belowMin;
    }
    c["extra_MB"] = static_cast<double>(PeakKb() - kStartKb) / 1024.0;
}

BENCHMARK(BM_FirstHint<Torvane>)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstHint<Nubbler>)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstHint<Pellora>)->DenseRange(1, kPelloraVariants)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstHint<Cirrela>)->DenseRange(1, kCirrelaLevels)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
