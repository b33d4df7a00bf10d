#pragma once
// The keyboard cursor over the board's places: where the arrow keys lead.

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

}  // namespace qg
