#pragma once
// Transitional: the per-puzzle tables of old, read from the records.
#include "puzzles/PuzzleRecords.h"

namespace qg {

struct SheetSpec {
    const char* file;
    int minWidth;
    int minHeight;
};

inline constexpr std::array<SheetSpec, kPuzzleCount> kSheets = {{
    {kPuzzles[0].sheetFile, kPuzzles[0].sheetMinWidth, kPuzzles[0].sheetMinHeight},
    {kPuzzles[1].sheetFile, kPuzzles[1].sheetMinWidth, kPuzzles[1].sheetMinHeight},
    {kPuzzles[2].sheetFile, kPuzzles[2].sheetMinWidth, kPuzzles[2].sheetMinHeight},
    {kPuzzles[3].sheetFile, kPuzzles[3].sheetMinWidth, kPuzzles[3].sheetMinHeight},
}};
inline constexpr std::array<bool, kPuzzleCount> kOptionFlag = {
    kPuzzles[0].HasOption(), kPuzzles[1].HasOption(), kPuzzles[2].HasOption(), kPuzzles[3].HasOption()};
inline constexpr std::array<Rect, kPuzzleCount> kRulesRect = {
    kPuzzles[0].rulesRect, kPuzzles[1].rulesRect, kPuzzles[2].rulesRect, kPuzzles[3].rulesRect};

}  // namespace qg
