#pragma once
// The keyboard cursor over the board's places: where it stands on each
// puzzle's board and where the arrow keys lead.

#include <optional>
#include <vector>

#include "core/Surface.h"

namespace qg {

enum class CursorStep { Left, Right, Up, Down };

// The place nearest to place `from` in the direction of `step`: the one
// whose centre lies within 45 degrees of that direction and is closest,
// with the sideways distance counting double. Nothing when there is none.
std::optional<int> NextPlace(const std::vector<Rect>& places, int from, CursorStep step);

// The place whose centre is nearest to (x, y); places must not be empty.
int NearestPlace(const std::vector<Rect>& places, int x, int y);

// Where the cursor stands, for each puzzle apart: a point of the board, kept
// on the centre of a place. A size or level with other places keeps it
// nearest to where it stood.
class BoardCursor {
public:
    explicit BoardCursor(int puzzles) : at_(static_cast<std::size_t>(puzzles)) {}

    // The place the cursor stands on among `places`, -1 when there are none;
    // the cursor settles on its centre.
    int Place(int puzzle, const std::vector<Rect>& places);
    // To the next place in that direction, when there is one.
    void Step(int puzzle, const std::vector<Rect>& places, CursorStep step);
    // To the first place.
    void Home(int puzzle, const std::vector<Rect>& places);
    // Onto that place (a hint's).
    void MoveTo(int puzzle, const Rect& place);

private:
    struct Point {
        int x = 0, y = 0;
    };

    std::vector<Point> at_;
};

}  // namespace qg
