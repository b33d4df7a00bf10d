#include "puzzles/Torvane.h"

namespace qg {

void Torvane::Draw() {
    const Rect board{0, 0, kBoardWidth, kBoardHeight};
    RestoreBackground(board);
    PresentComposition(board);
}

}  // namespace qg
