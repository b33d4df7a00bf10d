#pragma once
// The four puzzles in GameIndex order.

#include <array>

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

constexpr const PuzzleRecord& Record(int gameIndex) { return kPuzzles[static_cast<std::size_t>(gameIndex)]; }

}  // namespace qg
