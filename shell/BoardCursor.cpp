#include "shell/BoardCursor.h"

#include <cstdlib>
#include <limits>

namespace qg {
namespace {

int CentreX(const Rect& r) { return r.x + r.w / 2; }
int CentreY(const Rect& r) { return r.y + r.h / 2; }

}  // namespace

std::optional<int> NextPlace(const std::vector<Rect>& places, int from, CursorStep step) {
    if (from < 0 || from >= static_cast<int>(places.size())) return std::nullopt;
    const Rect& at = places[static_cast<std::size_t>(from)];
    std::optional<int> best;
    long long bestScore = std::numeric_limits<long long>::max();
    for (int i = 0; i < static_cast<int>(places.size()); ++i) {
        const long long dx = CentreX(places[static_cast<std::size_t>(i)]) - CentreX(at);
        const long long dy = CentreY(places[static_cast<std::size_t>(i)]) - CentreY(at);
        long long ahead = 0, aside = 0;
        switch (step) {
        case CursorStep::Left: ahead = -dx, aside = dy; break;
        case CursorStep::Right: ahead = dx, aside = dy; break;
        case CursorStep::Up: ahead = -dy, aside = dx; break;
        case CursorStep::Down: ahead = dy, aside = dx; break;
        }
        if (ahead <= 0 || std::llabs(aside) > ahead) continue;
        const long long score = ahead + 2 * std::llabs(aside);
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

int NearestPlace(const std::vector<Rect>& places, int x, int y) {
    int best = 0;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (int i = 0; i < static_cast<int>(places.size()); ++i) {
        const long long dx = CentreX(places[static_cast<std::size_t>(i)]) - x;
        const long long dy = CentreY(places[static_cast<std::size_t>(i)]) - y;
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = i;
        }
    }
    return best;
}

int BoardCursor::Place(int puzzle, const std::vector<Rect>& places) {
    if (places.empty()) return -1;
    const Point& at = at_.at(static_cast<std::size_t>(puzzle));
    const int place = NearestPlace(places, at.x, at.y);
    MoveTo(puzzle, places[static_cast<std::size_t>(place)]);
    return place;
}

void BoardCursor::Step(int puzzle, const std::vector<Rect>& places, CursorStep step) {
    const int from = Place(puzzle, places);
    if (const auto next = NextPlace(places, from, step)) MoveTo(puzzle, places[static_cast<std::size_t>(*next)]);
}

void BoardCursor::Home(int puzzle, const std::vector<Rect>& places) {
    if (!places.empty()) MoveTo(puzzle, places.front());
}

void BoardCursor::MoveTo(int puzzle, const Rect& place) {
    at_.at(static_cast<std::size_t>(puzzle)) = {CentreX(place), CentreY(place)};
}

}  // namespace qg
