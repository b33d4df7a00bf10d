#pragma once
// Every puzzle the contract suites run through: the game's own and the
// test-only ones in tests/puzzles/. One row each, its type in this list;
// everything else a suite needs is in its PuzzleTraits.

#include <gtest/gtest.h>

#include <vector>

#include "core/PuzzleRecord.h"
#include "tests/PositionSamples.h"
#include "tests/puzzles/Swapper.h"

namespace qg::test {

template <class... P>
struct PuzzleList {
    using Gtest = ::testing::Types<P...>;
    static std::vector<PuzzleRecord> Records() { return {PuzzleTraits<P>::kRecord...}; }
};

using AllPuzzles = PuzzleList<Torvane, Pellora, Nubbler, Cirrela, Swapper>;
using AllPuzzleTypes = AllPuzzles::Gtest;

// Typed test names: the puzzle's name.
struct PuzzleName {
    template <class P>
    static std::string GetName(int) {
        return PuzzleTraits<P>::kRecord.name;
    }
};

}  // namespace qg::test
