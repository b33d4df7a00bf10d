// The text form of every puzzle's positions: every position play reaches
// reads back as itself, and anything else is refused.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "tests/PositionSamples.h"
#include "tests/PuzzleTable.h"
#include "tests/SolvedBoards.h"

namespace qg {
namespace {

using test::PuzzleTraits;

template <class P>
class PositionText : public ::testing::Test {};
TYPED_TEST_SUITE(PositionText, test::AllPuzzleTypes, test::PuzzleName);

// The sample positions and every position one move away from them.
template <class P>
std::vector<typename PuzzleTraits<P>::Position> Reached() {
    auto out = test::SamplePositions<P>();
    const std::size_t samples = out.size();
    for (std::size_t i = 0; i < samples; ++i)
        for (const Move m : LegalMoves(out[i])) out.push_back(Apply(out[i], m));
    return out;
}

TYPED_TEST(PositionText, EveryReachedPositionReadsBackAsItself) {
    using Position = typename PuzzleTraits<TypeParam>::Position;
    for (const Position& p : Reached<TypeParam>()) {
        const std::string text = Encode(p);
        SCOPED_TRACE(text);
        const auto back = Decode<Position>(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_TRUE(*back == p);
        EXPECT_EQ(Encode(*back), text);
    }
}

// Every text one edit away from a real one: changed, left out, added or
// swapped neighbouring characters. What Decode takes from them it must write back unchanged, so
// a text has one meaning and a position one spelling.
TYPED_TEST(PositionText, WhatDecodeTakesItWritesBackTheSame) {
    using Position = typename PuzzleTraits<TypeParam>::Position;
    const std::string_view alphabet = " 0123456789x-";
    int accepted = 0, refused = 0;
    for (const Position& p : test::SamplePositions<TypeParam>()) {
        const std::string text = Encode(p);
        std::vector<std::string> edits;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i < text.size()) edits.push_back(text.substr(0, i) + text.substr(i + 1));
            if (i + 1 < text.size() && text[i] != text[i + 1]) {
                std::string swapped = text;
                std::swap(swapped[i], swapped[i + 1]);
                edits.push_back(swapped);
            }
            for (const char c : alphabet) {
                edits.push_back(text.substr(0, i) + c + text.substr(i));
                if (i < text.size() && c != text[i]) {
                    std::string changed = text;
                    changed[i] = c;
                    edits.push_back(changed);
                }
            }
        }
        for (const std::string& edit : edits) {
            const auto d = Decode<Position>(edit);
            if (!d) {
                ++refused;
                continue;
            }
            ++accepted;
            EXPECT_EQ(Encode(*d), edit);
        }
    }
    // Both kinds occur, or the check says nothing.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

TYPED_TEST(PositionText, NothingLikeAPositionIsTaken) {
    using Position = typename PuzzleTraits<TypeParam>::Position;
    for (const std::string_view text : {"", " ", "0", "1", "1 ", "\n", "xyz"}) {
        SCOPED_TRACE(std::string(text));
        EXPECT_FALSE(Decode<Position>(text).has_value());
    }
}

// The spelling itself, so that texts kept in files stay readable.
TEST(PositionText, TheFourSpellings) {
    const TorvanePosition torvane{TorvanePattern(10), TorvanePattern(1), 7};
    EXPECT_EQ(Encode(torvane), "4321321421431432 1122112233443344 7");
    EXPECT_EQ(Encode(TorvanePosition{}), "0000000000000000 0000000000000000 0");

    EXPECT_EQ(Encode(PelloraPosition{}),
              "1 122231112333444566645556122222311331133446644664555556122222223113311331133446644664466455555556");

    NubblerPosition nubbler;
    for (int i = 0; i < kNubblerButtonCount; ++i) At(nubbler.buttons, i) = static_cast<std::uint8_t>(i % 8);
    EXPECT_EQ(Encode(nubbler),
              "01234567 01234567 01234567 01234567 01234567 01234567 01234567 01234567 01234567");

    EXPECT_EQ(Encode(CirrelaPosition{}), "1 3111112222223344444333");
    EXPECT_EQ(Encode(CirrelaPosition{4, CirrelaTarget[3]}), "4 3111111111112222222222223333344444444444333333");
}

struct Refusal {
    const char* why;
    std::string text;
};

// One character changed in a good text.
std::string With(std::string text, std::size_t at, char c) {
    text[at] = c;
    return text;
}

TEST(PositionText, TorvaneRefusesWhatNoTableShows) {
    const std::string good = "4321321421431432 1122112233443344 7";
    ASSERT_TRUE(Decode<TorvanePosition>(good));
    const Refusal refusals[] = {
        {"a piece too few", "432132142143143 1122112233443344 7"},
        {"a piece too many", "43213214214314321 1122112233443344 7"},
        {"no pattern number", "4321321421431432 1122112233443344 "},
        {"no pattern number and no space", "4321321421431432 1122112233443344"},
        {"a pattern past the last", "4321321421431432 1122112233443344 51"},
        {"a pattern number with a leading zero", "4321321421431432 1122112233443344 07"},
        {"a pattern number of three digits", "4321321421431432 1122112233443344 100"},
        {"a sign", "4321321421431432 1122112233443344 -7"},
        {"colour 5", With(good, 0, '5')},
        {"five pieces of one colour", With(good, 0, '1')},
        {"five tiles of one colour", With(good, 17, '2')},
        {"an empty cell on a set board", With(good, 3, '0')},
        {"an empty board with a target", "0000000000000000 1122112233443344 7"},
        {"a board with an empty target", "4321321421431432 0000000000000000 7"},
        {"an empty table with a pattern number", "0000000000000000 0000000000000000 7"},
        {"a comma for a space", With(good, 16, ',')},
        {"a space at the end", good + " "},
        {"a space in front", " " + good},
    };
    for (const Refusal& r : refusals) EXPECT_FALSE(Decode<TorvanePosition>(r.text).has_value()) << r.why;
}

TEST(PositionText, PelloraRefusesWhatNoBoardShows) {
    const std::string good = Encode(PelloraPosition{});
    ASSERT_TRUE(Decode<PelloraPosition>(good));
    const Refusal refusals[] = {
        {"size 0", With(good, 0, '0')},
        {"size 4", With(good, 0, '4')},
        {"a lens too few", good.substr(0, good.size() - 1)},
        {"a lens too many", good + "5"},
        {"colour 0", With(good, 2 + 50, '0')},
        {"colour 7", With(good, 2 + 50, '7')},
        // Position 0 is colour 1; a 2 in its place leaves the smallest board's counts wrong.
        {"a lens of the wrong colour on the small board", With(good, 2, '2')},
        {"no space after the size", With(good, 1, '1')},
    };
    for (const Refusal& r : refusals) EXPECT_FALSE(Decode<PelloraPosition>(r.text).has_value()) << r.why;
    // Past the smallest board's 24 positions the lenses are not part of its task.
    EXPECT_TRUE(Decode<PelloraPosition>(With(good, 2 + 50, '1')).has_value());
    EXPECT_FALSE(Decode<PelloraPosition>(With(With(good, 2 + 50, '1'), 0, '3')).has_value())
        << "but on the largest board they are";
}

TEST(PositionText, NubblerRefusesWhatNoBoardShows) {
    const std::string good = Encode(NubblerPosition{test::AgreeingNubbler()});
    ASSERT_TRUE(Decode<NubblerPosition>(good));
    const Refusal refusals[] = {
        {"colour 8", With(good, 0, '8')},
        {"a button too few", good.substr(1)},
        {"a button too many", good + "0"},
        {"two groups run together", With(good, 8, '0')},
        {"a space in a group", With(good, 3, ' ')},
        {"one space too many", good.substr(0, 8) + "  " + good.substr(9)},
        // Plate 0 all 0 and plate 1 all 1: no turn makes the pair between them agree.
        {"two plates that never agree", "00000000 11111111" + std::string(good.substr(17))},
    };
    for (const Refusal& r : refusals) EXPECT_FALSE(Decode<NubblerPosition>(r.text).has_value()) << r.why;
    // Plate 1 (top middle) faces three plates, at its right, bottom and left;
    // among 0s it needs three 0s two places apart, and any turn of them.
    const std::string others = " 00000000 00000000 00000000 00000000 00000000 00000000 00000000";
    EXPECT_TRUE(Decode<NubblerPosition>("00000000 11010101" + others));
    EXPECT_TRUE(Decode<NubblerPosition>("00000000 01010111" + others));
    EXPECT_FALSE(Decode<NubblerPosition>("00000000 11100101" + others)) << "two 0s apart, one beside";
    EXPECT_FALSE(Decode<NubblerPosition>("00000000 11101111" + others));
    // Turned plates of an agreeing board are a position.
    NubblerColours turned = test::AgreeingNubbler();
    for (int plate = 0; plate < kNubblerPlateCount; ++plate)
        for (int t = 0; t < plate; ++t) NubblerTurnLeft(turned, plate);
    EXPECT_TRUE(Decode<NubblerPosition>(Encode(NubblerPosition{turned})));
}

TEST(PositionText, CirrelaRefusesWhatNoRingsShow) {
    const std::string good = Encode(CirrelaPosition{});
    ASSERT_TRUE(Decode<CirrelaPosition>(good));
    const Refusal refusals[] = {
        {"level 0", With(good, 0, '0')},
        {"level 5", With(good, 0, '5')},
        {"the cells of another level", With(good, 0, '2')},
        {"a cell too few", good.substr(0, good.size() - 1)},
        {"a cell too many", good + "3"},
        {"an empty cell", With(good, 2, '0')},
        {"colour 5", With(good, 2, '5')},
        {"a ball of the wrong colour", With(good, 2, '1')},
        {"no space after the level", With(good, 1, '3')},
    };
    for (const Refusal& r : refusals) EXPECT_FALSE(Decode<CirrelaPosition>(r.text).has_value()) << r.why;
    // Two balls swapped: the counts still hold, so the text is a position.
    std::string swapped = good;
    std::swap(swapped[2], swapped[3]);
    EXPECT_TRUE(Decode<CirrelaPosition>(swapped).has_value());
}

// Each puzzle's free IsSolved and the puzzle's own answer are one rule.
TYPED_TEST(PositionText, SolvedIsTheSameRuleForThePositionAndThePuzzle) {
    test::FakeHost host(Surface(700, 700));
    TypeParam puzzle(host);
    PuzzleTraits<TypeParam>::LaySolved(puzzle);
    puzzle.Draw();
    EXPECT_TRUE(IsSolved(puzzle.Position()));
    for (const Move m : LegalMoves(puzzle.Position())) {
        const auto moved = Apply(puzzle.Position(), m);
        EXPECT_FALSE(IsSolved(moved)) << "a single move from the laid-out solution unsolves it, place " << m.place;
    }
}

}  // namespace
}  // namespace qg
