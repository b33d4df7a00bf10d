#pragma once
// Boards laid out solved, for tests that need a puzzle one move from its
// solution.

#include <cstdint>

#include "puzzles/PuzzleRecords.h"

namespace qg::test {

// A NUBBLER colouring whose twelve pairs agree: the pairs in colours 0..6,
// every other button in 7, so any single turn puts a 7 into a facing place.
inline NubblerColours AgreeingNubbler() {
    NubblerColours c;
    c.fill(7);
    std::uint8_t colour = 0;
    for (const NubblerPair& pair : NubblerPairs) {
        At(c, NubblerIndex(pair.a)) = colour;
        At(c, NubblerIndex(pair.b)) = colour;
        colour = static_cast<std::uint8_t>((colour + 1) % 7);
    }
    return c;
}

// Lays puzzle `game` out solved and draws it.
inline void LaySolved(Puzzle& puzzle, int game) {
    switch (game) {
    case kTorvane: static_cast<Torvane&>(puzzle).SetPosition(TorvanePattern(3), TorvanePattern(3)); break;
    case kPellora: static_cast<Pellora&>(puzzle).SetBoard(PelloraTarget); break;
    case kNubbler: static_cast<Nubbler&>(puzzle).SetButtons(AgreeingNubbler()); break;
    case kCirrela: {
        auto& cirrela = static_cast<Cirrela&>(puzzle);
        const int level = cirrela.Option();
        cirrela.SetLevel(level % kCirrelaLevels + 1);  // a change of level lays the board out anew
        cirrela.SetLevel(level);
        break;
    }
    }
    puzzle.Draw();
}

}  // namespace qg::test
