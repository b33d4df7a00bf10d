#pragma once
// The facts the rest of the program needs about one puzzle. Each puzzle
// publishes one constant record; the shell, the picture generator, the help
// pictures, the packaging and the tests loop over them instead of asking
// which puzzle is which.

#include <array>

#include "core/Puzzle.h"
#include "core/Surface.h"

namespace qg {

// A text in the game's two languages, UTF-8; multi-line texts join their
// lines with carriage returns, as they are stored.
struct Bilingual {
    const char* german = nullptr;
    const char* english = nullptr;
};

// A board the help shows, drawn by the puzzle itself from its sheet: at this
// option, either a new task (no position) or the position in its text form.
struct HelpPicture {
    const char* name = nullptr;  // help/NAME.png; nullptr for none
    int option = 0;
    const char* position = nullptr;
};

struct PuzzleRecord {
    const char* name;        // as the rules and the help name it, "TORVANE"
    const char* sheetFile;   // the sprite sheet in the program directory
    int sheetMinWidth;       // the smallest sheet the layout fits in
    int sheetMinHeight;
    Rect rulesRect;          // where the rules hint lies, in board coordinates
    // The option button's range (PELLORA's board size, CIRRELA's level); a
    // puzzle without option has optionMin == optionMax == 0.
    int optionMin = 0;
    int optionMax = 0;
    const char* optionSetting = nullptr;  // the settings value that keeps the option, or nullptr
    // The high-score table: this key, followed by the option digit when the
    // puzzle has an option.
    const char* tableKey;
    // Mix leaves the board as it is and gives a new target only, so only the
    // target is drawn again.
    bool mixDrawsTargetOnly = false;
    // The toolbar button: its object name, its picture (the resource
    // ":/pictures/NAME.png", in the help "button_NAME.png"), the key that
    // presses it and its hint.
    const char* buttonName = nullptr;
    const char* buttonPicture = nullptr;
    char key = 0;
    Bilingual hint{};
    Bilingual rules{};  // the hint over the rules rectangle
    // The boards the help file shows; the first is also the screenshot the
    // package's metadata names.
    std::array<HelpPicture, 2> helpPictures{};
    Sound sound = Sound::Clack;  // of every move

    constexpr bool HasOption() const { return optionMax > optionMin; }
};

}  // namespace qg
