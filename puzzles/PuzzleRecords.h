#pragma once
// The four puzzles in GameIndex order.

#include <array>
#include <memory>
#include <vector>

#include "core/PuzzleRecord.h"
#include "puzzles/Cirrela.h"
#include "puzzles/Nubbler.h"
#include "puzzles/Pellora.h"
#include "puzzles/Torvane.h"

namespace qg {

inline constexpr int kPuzzleCount = 4;
enum GameIndexValue : int { kTorvane = 0, kPellora = 1, kNubbler = 2, kCirrela = 3 };

inline constexpr std::array<PuzzleRecord, kPuzzleCount> kPuzzles = {
    kTorvaneRecord, kPelloraRecord, kNubblerRecord, kCirrelaRecord};

// The four puzzles in GameIndex order, each with `host` as its host.
inline std::vector<std::unique_ptr<Puzzle>> MakePuzzles(PuzzleHost& host) {
    std::vector<std::unique_ptr<Puzzle>> puzzles;
    puzzles.push_back(std::make_unique<Torvane>(host));
    puzzles.push_back(std::make_unique<Pellora>(host));
    puzzles.push_back(std::make_unique<Nubbler>(host));
    puzzles.push_back(std::make_unique<Cirrela>(host));
    return puzzles;
}

constexpr const PuzzleRecord& Record(int gameIndex) { return At(kPuzzles, gameIndex); }

}  // namespace qg
