#include "puzzles/Nubbler.h"

namespace qg {

// Until the puzzle is built it shows its board background and ignores presses.
void Nubbler::Draw() {
    const Rect board{0, 0, kBoardWidth, kBoardHeight};
    RestoreBackground(board);
    PresentComposition(board);
}

}  // namespace qg
