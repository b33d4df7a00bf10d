#pragma once
// Solutions of the four puzzles, found from the position alone. Every
// solution handed out has been played through the puzzle's own Apply and
// ends solved; when no such solution was found, or the search was stopped,
// there is none. A solved position has the empty solution.

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Puzzle.h"
#include "puzzles/PuzzleRecords.h"

namespace qg {

struct Solution {
    std::vector<Move> moves;
    bool shortest = false;  // proven to need no fewer moves
};

// Set from any thread to end a search early; it then returns nothing.
using SolveStop = std::atomic<bool>;

// TORVANE: always a shortest, by a search from the board and from the target at once.
std::optional<Solution> Solve(const TorvanePosition& position, const SolveStop* stop = nullptr);
// NUBBLER: always a shortest; the plates turn independently.
std::optional<Solution> Solve(const NubblerPosition& position, const SolveStop* stop = nullptr);
// PELLORA and CIRRELA: a shortest on the smallest board or level when the
// search proves one within its budget, else one found by settling the
// places one by one, well within the moves a Mix makes.
std::optional<Solution> Solve(const PelloraPosition& position, const SolveStop* stop = nullptr);
std::optional<Solution> Solve(const CirrelaPosition& position, const SolveStop* stop = nullptr);

// The puzzle at gameIndex (kTorvane..kCirrela) and its position in the text
// form Encode writes; nothing for a text Decode refuses.
std::optional<Solution> SolveText(int gameIndex, std::string_view text, const SolveStop* stop = nullptr);

// A solution as the hints follow it: each move with the text of the
// position it is made from, so a hint can be found again for the position
// on the board without a new search.
struct SolutionStep {
    std::string before;
    Move move;
};
std::optional<std::vector<SolutionStep>> SolveSteps(int gameIndex, std::string_view text, const SolveStop* stop = nullptr);

// Plays the moves on the position; whether it ends solved.
template <class Position>
bool Solves(Position position, const std::vector<Move>& moves) {
    for (const Move m : moves) position = Apply(position, m);
    return IsSolved(position);
}

}  // namespace qg
