#pragma once
// The facts the rest of the program needs about one puzzle. Each puzzle
// publishes one constant record; the shell, the picture generator and the
// tests loop over them instead of asking which puzzle is which.

#include "core/Surface.h"

namespace qg {

struct PuzzleRecord {
    const char* name;        // as the rules and the help name it, "TORVANE"
    const char* sheetFile;   // the sprite sheet in the program directory
    int sheetMinWidth;       // the smallest sheet the layout fits in
    int sheetMinHeight;
    Rect rulesRect;          // where the rules hint lies, in board coordinates
    // The option button's range (PELLORA's board size, CIRRELA's level); a
    // puzzle without option has optionMin == optionMax == 0.
    int optionMin;
    int optionMax;
    const char* optionSetting;  // the settings value that keeps the option, or nullptr
    // The high-score table: this key, followed by the option digit when the
    // puzzle has an option.
    const char* tableKey;
    // Mix leaves the board as it is and gives a new target only, so only the
    // target is drawn again.
    bool mixDrawsTargetOnly = false;

    constexpr bool HasOption() const { return optionMax > optionMin; }
};

}  // namespace qg
