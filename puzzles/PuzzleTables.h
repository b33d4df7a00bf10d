#pragma once
// What the shell keeps per puzzle, indexed by GameIndex.

#include <array>

#include "core/Surface.h"

namespace qg {

inline constexpr int kPuzzleCount = 4;
enum GameIndexValue : int { kTorvane = 0, kPellora = 1, kNubbler = 2, kCirrela = 3 };

struct SheetSpec {
    const char* file;
    int minWidth;
    int minHeight;
};

inline constexpr std::array<SheetSpec, kPuzzleCount> kSheets = {{
    {"b1.bmp", 500, 383},
    {"b2.bmp", 532, 597},
    {"b3.bmp", 700, 333},
    {"b4.bmp", 572, 409},
}};

// Whether OptionBtn is enabled while the puzzle is current.
inline constexpr std::array<bool, kPuzzleCount> kOptionFlag = {false, true, false, true};

// Where the invisible RulesShape lies, in board coordinates.
inline constexpr std::array<Rect, kPuzzleCount> kRulesRect = {{
    {300, 245, 183, 74},
    {415, 10, 70, 310},
    {390, 10, 96, 204},
    {335, 288, 152, 36},
}};

}  // namespace qg
