#pragma once
// The hint's arrow: drawn by the board over its screen image round the place
// to press, never into any picture of the game. It turns the way the move
// turns the place, and a small mouse with the button to press and the key
// that does the same stands beside it.

#include <QRect>

#include "core/Puzzle.h"

class QPainter;

namespace qg {

struct HintArrow {
    Rect place;
    Turn turn;  // Left: anticlockwise, the left button or J; Right: clockwise, the right button or K
    friend bool operator==(const HintArrow&, const HintArrow&) = default;
};

// Everything the arrow paints lies within this rectangle of the board.
QRect HintArrowArea(const HintArrow& arrow);
void PaintHintArrow(QPainter& painter, const HintArrow& arrow);

}  // namespace qg
