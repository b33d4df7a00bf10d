#pragma once
// Positions of every kind for the rule tests: for each puzzle, each board
// size or level, the position a new puzzle starts from and the ones its
// set-up and a few new tasks make from fixed seeds.

#include <climits>
#include <utility>
#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "tests/FakeHost.h"
#include "tests/SolvedBoards.h"

namespace qg::test {

// What the tests need to know about one puzzle besides its functions: its
// record, its position type, how many turns of one place come round, how to
// lay out a solved board that one move at kHit unsolves, presses that hit
// nothing, the trace of one move on a FakeHost, and whether a move back to
// the solution reports it again while solved.
template <class P>
struct PuzzleTraits;

template <>
struct PuzzleTraits<Torvane> {
    using Position = TorvanePosition;
    static constexpr int kGame = kTorvane;
    static constexpr const PuzzleRecord& kRecord = kTorvaneRecord;
    static int TurnsAround(const Position&) { return 4; }
    static void LaySolved(Torvane& p) {
        const TorvaneColours pattern = TorvanePattern(32);  // four colours on every plate
        p.SetPosition(pattern, pattern);
    }
    static constexpr std::pair<int, int> kHit = {165, 165};
    static std::vector<std::pair<int, int>> Misses() { return {{0, 0}, {-1, -1}, {499, 332}, {INT_MIN, INT_MAX}}; }
    static constexpr const char* kMoveTrace = "S4 F P30 F P30 F P30 F P30 F P30 F";
    static constexpr bool kReportsAgain = true;
};
template <>
struct PuzzleTraits<Pellora> {
    using Position = PelloraPosition;
    static constexpr int kGame = kPellora;
    static constexpr const PuzzleRecord& kRecord = kPelloraRecord;
    static int TurnsAround(const Position&) { return 6; }
    static void LaySolved(Pellora& p) { p.SetBoard(PelloraTarget); }
    static constexpr std::pair<int, int> kHit = {192, 164};
    static std::vector<std::pair<int, int>> Misses() { return {{0, 0}, {-1, -1}, {499, 332}, {INT_MIN, INT_MAX}}; }
    static constexpr const char* kMoveTrace = "S2 F P40 F P40 F P40 F";
    static constexpr bool kReportsAgain = true;
};
template <>
struct PuzzleTraits<Nubbler> {
    using Position = NubblerPosition;
    static constexpr int kGame = kNubbler;
    static constexpr const PuzzleRecord& kRecord = kNubblerRecord;
    static int TurnsAround(const Position&) { return kNubblerPositions; }
    static void LaySolved(Nubbler& p) { p.SetButtons(AgreeingNubbler()); }
    static constexpr std::pair<int, int> kHit = {230, 166};
    static std::vector<std::pair<int, int>> Misses() { return {{0, 0}, {180, 66}, {499, 332}, {INT_MIN, INT_MAX}}; }
    static constexpr const char* kMoveTrace = "S3 F P50 F P50 F";
    // Once solved, further agreeing turns are no news.
    static constexpr bool kReportsAgain = false;
};
template <>
struct PuzzleTraits<Cirrela> {
    using Position = CirrelaPosition;
    static constexpr int kGame = kCirrela;
    static constexpr const PuzzleRecord& kRecord = kCirrelaRecord;
    static int TurnsAround(const Position& p) { return At(CirrelaLevelParams, p.level - 1).balls; }
    // A change of level lays the board out anew, solved.
    static void LaySolved(Cirrela& p) {
        const int level = p.Level();
        p.SetLevel(level % kCirrelaLevels + 1);
        p.SetLevel(level);
    }
    static constexpr std::pair<int, int> kHit = {120, 166};
    static std::vector<std::pair<int, int>> Misses() { return {}; }  // every press on the board moves a ring
    static constexpr const char* kMoveTrace = "S5 F P30 F P30 F";
    static constexpr bool kReportsAgain = true;
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
    for (const int option : OptionsOf(PuzzleTraits<P>::kRecord))
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
