#pragma once
// Positions of every kind for the rule tests: for each puzzle, each board
// size or level, the position a new puzzle starts from and the ones its
// set-up and a few new tasks make from fixed seeds.

#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "tests/FakeHost.h"

namespace qg::test {

// What the tests need to know about one puzzle besides its functions.
template <class P>
struct PuzzleTraits;

template <>
struct PuzzleTraits<Torvane> {
    using Position = TorvanePosition;
    static constexpr int kGame = kTorvane;
    static int TurnsAround(const Position&) { return 4; }
};
template <>
struct PuzzleTraits<Pellora> {
    using Position = PelloraPosition;
    static constexpr int kGame = kPellora;
    static int TurnsAround(const Position&) { return 6; }
};
template <>
struct PuzzleTraits<Nubbler> {
    using Position = NubblerPosition;
    static constexpr int kGame = kNubbler;
    static int TurnsAround(const Position&) { return kNubblerPositions; }
};
template <>
struct PuzzleTraits<Cirrela> {
    using Position = CirrelaPosition;
    static constexpr int kGame = kCirrela;
    static int TurnsAround(const Position& p) { return At(CirrelaLevelParams, p.level - 1).balls; }
};

// Every option value of the puzzle's record (0 alone for a puzzle without).
inline std::vector<int> OptionsOf(const PuzzleRecord& record) {
    std::vector<int> options;
    for (int o = record.optionMin; o <= record.optionMax; ++o) options.push_back(o);
    return options;
}

template <class P>
std::vector<typename PuzzleTraits<P>::Position> SamplePositions() {
    std::vector<typename PuzzleTraits<P>::Position> out;
    for (const int option : OptionsOf(Record(PuzzleTraits<P>::kGame)))
        for (const unsigned seed : {1u, 2u, 3u}) {
            FakeHost host(Surface(700, 700));  // room for CIRRELA's preview
            host.source = RandomSource{seed};
            P puzzle(host);
            puzzle.SetOption(option);
            if (seed == 1) out.push_back(puzzle.Position());  // before any set-up
            puzzle.Prepare();
            out.push_back(puzzle.Position());
            for (int task = 0; task < 3; ++task) {
                puzzle.Shuffle();
                out.push_back(puzzle.Position());
            }
        }
    return out;
}

}  // namespace qg::test
