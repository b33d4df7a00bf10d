#pragma once
// The puzzles in GameIndex order: one row each, its record and how to make it.

#include <array>
#include <memory>
#include <vector>

#include "core/PuzzleRecord.h"
#include "puzzles/Cirrela.h"
#include "puzzles/Nubbler.h"
#include "puzzles/Pellora.h"
#include "puzzles/Torvane.h"

namespace qg {

using PuzzleFactory = std::unique_ptr<Puzzle> (*)(PuzzleHost& host);

template <class P>
std::unique_ptr<Puzzle> MakePuzzle(PuzzleHost& host) {
    return std::make_unique<P>(host);
}

struct PuzzleRow {
    PuzzleRecord record;
    PuzzleFactory make;
};

inline constexpr std::array<PuzzleRow, 4> kPuzzleTable = {{
    {kTorvaneRecord, MakePuzzle<Torvane>},
    {kPelloraRecord, MakePuzzle<Pellora>},
    {kNubblerRecord, MakePuzzle<Nubbler>},
    {kCirrelaRecord, MakePuzzle<Cirrela>},
}};

inline constexpr int kPuzzleCount = static_cast<int>(kPuzzleTable.size());
enum GameIndexValue : int { kTorvane = 0, kPellora = 1, kNubbler = 2, kCirrela = 3 };

// The records alone, in the same order, for the rules between the puzzles.
inline constexpr std::array<PuzzleRecord, kPuzzleCount> kPuzzles = [] {
    std::array<PuzzleRecord, kPuzzleCount> records{};
    for (std::size_t i = 0; i < records.size(); ++i) records[i] = kPuzzleTable[i].record;
    return records;
}();

// The puzzles in GameIndex order, each with `host` as its host.
inline std::vector<std::unique_ptr<Puzzle>> MakePuzzles(PuzzleHost& host) {
    std::vector<std::unique_ptr<Puzzle>> puzzles;
    for (const PuzzleRow& row : kPuzzleTable) puzzles.push_back(row.make(host));
    return puzzles;
}

constexpr const PuzzleRecord& Record(int gameIndex) { return At(kPuzzles, gameIndex); }

}  // namespace qg
