// What every puzzle promises the shell, checked on all four with one suite:
// a press that hits nothing does nothing at all, the first move starts the
// clock, and a solve is reported once, not again while the session is solved.
// And what every puzzle's rule promises: a move is undone by the other
// button at the same place, a place turned all the way round is back where
// it started, and a press at a place is the move at that place.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "tests/FakeHost.h"
#include "tests/PositionSamples.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

using test::FakeHost;
using test::HostEvent;

struct PuzzleCase {
    int game;
    std::function<std::unique_ptr<Puzzle>(PuzzleHost&)> make;
    // Lays out a solved board that one move at `hit` unsolves.
    std::function<void(Puzzle&)> setSolved;
    // The whole position, to tell whether anything moved.
    std::function<std::vector<int>(const Puzzle&)> position;
    std::pair<int, int> hit;
    std::vector<std::pair<int, int>> misses;  // empty: every press is a move
    const char* moveTrace;
    // Whether a move back to the solution reports it again while solved
    // (the shell ignores that in State 3); NUBBLER stays quiet.
    bool reportsAgain;
};

void PrintTo(const PuzzleCase& c, std::ostream* os) { *os << Record(c.game).name; }

template <class Array>
std::vector<int> Values(const Array& a) {
    return {a.begin(), a.end()};
}

// Pairs in colours 0..6 and every other button in 7: a turn of any plate
// breaks a pair.
NubblerColours AgreeingButtons() {
    NubblerColours c;
    c.fill(7);
    int colour = 0;
    for (const NubblerPair& pair : NubblerPairs) {
        At(c, NubblerIndex(pair.a)) = At(c, NubblerIndex(pair.b)) = static_cast<std::uint8_t>(colour);
        colour = (colour + 1) % 7;
    }
    return c;
}

const std::vector<std::pair<int, int>> kFarAway = {{0, 0}, {-1, -1}, {499, 332}, {INT_MIN, INT_MAX}};

std::vector<PuzzleCase> Cases() {
    return {
        {kTorvane, [](PuzzleHost& h) { return std::make_unique<Torvane>(h); },
         [](Puzzle& p) {
             const TorvaneColours pattern = TorvanePattern(32);  // four colours on every plate
             static_cast<Torvane&>(p).SetPosition(pattern, pattern);
         },
         [](const Puzzle& p) {
             auto v = Values(static_cast<const Torvane&>(p).Board());
             for (int c : static_cast<const Torvane&>(p).Target()) v.push_back(c);
             return v;
         },
         {165, 165}, kFarAway, "S4 F P30 F P30 F P30 F P30 F P30 F", true},
        {kPellora, [](PuzzleHost& h) { return std::make_unique<Pellora>(h); },
         [](Puzzle& p) { static_cast<Pellora&>(p).SetBoard(PelloraTarget); },
         [](const Puzzle& p) { return Values(static_cast<const Pellora&>(p).Board()); }, {192, 164}, kFarAway,
         "S2 F P40 F P40 F P40 F", true},
        {kNubbler, [](PuzzleHost& h) { return std::make_unique<Nubbler>(h); },
         [](Puzzle& p) { static_cast<Nubbler&>(p).SetButtons(AgreeingButtons()); },
         [](const Puzzle& p) { return Values(static_cast<const Nubbler&>(p).Buttons()); }, {230, 166},
         {{0, 0}, {180, 66}, {499, 332}, {INT_MIN, INT_MAX}}, "S3 F P50 F P50 F", false},
        // A new CIRRELA starts on the solved board of its level.
        {kCirrela, [](PuzzleHost& h) { return std::make_unique<Cirrela>(h); }, [](Puzzle&) {},
         [](const Puzzle& p) { return Values(static_cast<const Cirrela&>(p).Balls()); }, {120, 166}, {},
         "S5 F P30 F P30 F", true},
    };
}

class PuzzleContract : public ::testing::TestWithParam<PuzzleCase> {
protected:
    PuzzleContract() : host(test::SheetOf(Record(GetParam().game))), puzzle(GetParam().make(host)) {
        host.recordFrames = false;
    }

    // A shuffled board on the screen, the record cleared, in `state`.
    void ShowShuffled(std::uint8_t state) {
        puzzle->Prepare();
        puzzle->Draw();
        host.Clear();
        host.state = state;
    }
    void Press(bool left) { test::Press(*puzzle, left, GetParam().hit.first, GetParam().hit.second); }

    FakeHost host;
    std::unique_ptr<Puzzle> puzzle;
};

TEST_P(PuzzleContract, AMissChangesNothing) {
    if (GetParam().misses.empty()) GTEST_SKIP() << "every press on the board moves a ring";
    for (const std::uint8_t state : {kStateReady, kStateInPlay, kStateSolved})
        for (const auto& [x, y] : GetParam().misses)
            for (const bool left : {true, false}) {
                SCOPED_TRACE(::testing::Message() << "state " << int(state) << " press at " << x << "," << y
                                                  << (left ? " left" : " right"));
                ShowShuffled(state);
                const Surface screen = host.Screen();
                const Surface composition = host.Composition();
                const std::vector<int> position = GetParam().position(*puzzle);
                test::Press(*puzzle, left, x, y);
                EXPECT_EQ(host.Trace(), "") << "no sound, frame, pause or solved call";
                EXPECT_EQ(host.state, state);
                EXPECT_EQ(GetParam().position(*puzzle), position);
                EXPECT_TRUE(test::SameScreen(screen, host.Screen()));
                EXPECT_TRUE(test::SameScreen(composition, host.Composition()));
            }
}

// Only Ready becomes InPlay; the move itself is the same in every state.
TEST_P(PuzzleContract, TheFirstMoveStartsTheClock) {
    struct Case {
        std::uint8_t before, after;
    };
    for (const Case c : {Case{kStateReady, kStateInPlay}, Case{kStateInPlay, kStateInPlay}, Case{kStateSolved, kStateSolved}})
        for (const bool left : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "state " << int(c.before) << (left ? " left" : " right"));
            ShowShuffled(c.before);
            const Surface screen = host.Screen();
            const std::vector<int> position = GetParam().position(*puzzle);
            Press(left);
            EXPECT_EQ(host.state, c.after);
            EXPECT_EQ(host.Trace(), GetParam().moveTrace);
            EXPECT_NE(GetParam().position(*puzzle), position);
            EXPECT_FALSE(test::SameScreen(screen, host.Screen()));
        }
}

// Away from the solved board and back: the move back reports the solve after
// its last frame; doing the same once solved reports nothing new.
TEST_P(PuzzleContract, ASolveIsReportedOnceAndNotAgainOnceSolved) {
    for (const bool left : {true, false}) {
        SCOPED_TRACE(left ? "solved by a left press" : "solved by a right press");
        FakeHost h(test::SheetOf(Record(GetParam().game)));
        h.recordFrames = false;
        auto p = GetParam().make(h);
        GetParam().setSolved(*p);
        ASSERT_TRUE(p->IsSolved());
        p->Draw();
        h.state = kStateInPlay;
        auto press = [&](bool l) { test::Press(*p, l, GetParam().hit.first, GetParam().hit.second); };

        h.Clear();
        press(!left);
        EXPECT_FALSE(p->IsSolved());
        EXPECT_EQ(h.Trace(), GetParam().moveTrace);
        EXPECT_EQ(h.state, kStateInPlay);

        h.Clear();
        press(left);
        EXPECT_TRUE(p->IsSolved());
        EXPECT_EQ(h.Trace(), std::string(GetParam().moveTrace) + " V");
        EXPECT_EQ(h.solvedCount, 1);
        EXPECT_EQ(h.state, kStateSolved);

        h.Clear();
        press(!left);
        press(left);
        EXPECT_TRUE(p->IsSolved());
        const std::string twice = std::string(GetParam().moveTrace) + " " + GetParam().moveTrace;
        EXPECT_EQ(h.Trace(), GetParam().reportsAgain ? twice + " V" : twice);
        EXPECT_EQ(h.solvedCalls, GetParam().reportsAgain ? 2 : 1) << "every call, not only the one the shell counts";
        EXPECT_EQ(h.solvedCount, 1);
        EXPECT_EQ(h.state, kStateSolved);
        EXPECT_EQ(h.Only(HostEvent::Sound).size(), 2u) << "moves go on after solving";
    }
}

INSTANTIATE_TEST_SUITE_P(AllPuzzles, PuzzleContract, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<PuzzleCase>& info) {
                             return std::string(Record(info.param.game).name);
                         });


using test::PuzzleTraits;

template <class P>
class MoveContract : public ::testing::Test {};
using AllPuzzleTypes = ::testing::Types<Torvane, Pellora, Nubbler, Cirrela>;
TYPED_TEST_SUITE(MoveContract, AllPuzzleTypes);

std::string Name(Move m) { return std::to_string(m.place) + (m.turn == Turn::Left ? " left" : " right"); }

// On every board size and level, from every sample position.
TYPED_TEST(MoveContract, TheOtherButtonUndoesEveryMove) {
    for (const auto& p : test::SamplePositions<TypeParam>()) {
        const auto moves = LegalMoves(p);
        ASSERT_FALSE(moves.empty());
        for (const Move m : moves) {
            SCOPED_TRACE(Encode(p) + ", move " + Name(m));
            EXPECT_TRUE(Apply(Apply(p, m), Inverse(m)) == p);
        }
    }
}

// Four quarter turns of a TORVANE plate, six corners of a PELLORA cell,
// eight buttons of a NUBBLER plate, a CIRRELA ring's length.
TYPED_TEST(MoveContract, TurnsOfOnePlaceComeRound) {
    for (const auto& p : test::SamplePositions<TypeParam>()) {
        const int around = PuzzleTraits<TypeParam>::TurnsAround(p);
        for (const Move m : LegalMoves(p)) {
            SCOPED_TRACE(Encode(p) + ", move " + Name(m));
            auto q = p;
            for (int n = 0; n < around; ++n) q = Apply(q, m);
            EXPECT_TRUE(q == p);
        }
    }
}

// Every move lists once, both buttons of every place the cursor visits.
TYPED_TEST(MoveContract, TheMovesAreBothButtonsOfEveryPlace) {
    test::FakeHost host(test::SheetOf(Record(PuzzleTraits<TypeParam>::kGame)));
    TypeParam puzzle(host);
    for (const int option : test::OptionsOf(Record(PuzzleTraits<TypeParam>::kGame))) {
        SCOPED_TRACE(::testing::Message() << "option " << option);
        puzzle.SetOption(option);
        puzzle.Prepare();
        std::vector<Move> expected;
        for (int place = 0; place < static_cast<int>(puzzle.Places().size()); ++place)
            for (const Turn turn : {Turn::Left, Turn::Right}) expected.push_back({place, turn});
        EXPECT_TRUE(LegalMoves(puzzle.Position()) == expected);
    }
}

// The animated move ends where the rule says: a press at the middle of place
// i, with either button, leaves the position Apply gives for that move.
TYPED_TEST(MoveContract, APressIsTheMoveAtItsPlace) {
    test::FakeHost host(test::SheetOf(Record(PuzzleTraits<TypeParam>::kGame)));
    host.recordFrames = false;
    TypeParam puzzle(host);
    for (const int option : test::OptionsOf(Record(PuzzleTraits<TypeParam>::kGame))) {
        puzzle.SetOption(option);
        puzzle.Prepare();
        puzzle.Draw();
        const std::vector<Rect> places = puzzle.Places();
        for (int place = 0; place < static_cast<int>(places.size()); ++place)
            for (const Turn turn : {Turn::Left, Turn::Right}) {
                const Move m{place, turn};
                SCOPED_TRACE(::testing::Message() << "option " << option << ", move " << Name(m));
                const auto before = puzzle.Position();
                const Rect& r = At(places, place);
                test::Press(puzzle, turn == Turn::Left, r.x + r.w / 2, r.y + r.h / 2);
                EXPECT_TRUE(puzzle.Position() == Apply(before, m));
                EXPECT_FALSE(puzzle.Position() == before) << "a shuffled board moves";
            }
    }
}

// The cursor's places and the hit test are one table: the middle of every
// place the cursor visits is a press on that very place, and a press at a
// point no place's area holds is no move at all. Points on a grid over the
// board and around it, the edges of every area and the far corners.
TYPED_TEST(MoveContract, ThePlacesTheCursorVisitsAreThePlacesAPressHits) {
    test::FakeHost host(test::SheetOf(Record(PuzzleTraits<TypeParam>::kGame)));
    host.recordFrames = false;
    TypeParam puzzle(host);
    for (const int option : test::OptionsOf(Record(PuzzleTraits<TypeParam>::kGame))) {
        SCOPED_TRACE(::testing::Message() << "option " << option);
        puzzle.SetOption(option);
        puzzle.Prepare();
        puzzle.Draw();
        const std::span<const PlaceArea> areas = puzzle.PlaceAreas();
        ASSERT_FALSE(areas.empty());
        const std::vector<Rect> places = puzzle.Places();
        ASSERT_EQ(places.size(), areas.size());
        std::vector<std::pair<int, int>> points;
        for (int place = 0; place < static_cast<int>(areas.size()); ++place) {
            const Rect& r = At(places, place);
            EXPECT_EQ(puzzle.PlaceAt(r.x + r.w / 2, r.y + r.h / 2), place) << "the middle of place " << place;
            const PlaceArea& a = At(areas, place);
            // Just outside and just inside every bound, short of overflowing.
            auto below = [](int v) { return v == INT_MIN ? v : v - 1; };
            auto above = [](int v) { return v == INT_MAX ? v : v + 1; };
            for (const int x : {below(a.left), a.left, a.right, above(a.right)})
                for (const int y : {below(a.top), a.top, a.bottom, above(a.bottom)}) points.push_back({x, y});
        }
        for (int x = -40; x <= kBoardWidth + 40; x += 11)
            for (int y = -40; y <= kBoardHeight + 40; y += 11) points.push_back({x, y});
        for (const int x : {INT_MIN, INT_MAX})
            for (const int y : {INT_MIN, INT_MAX}) points.push_back({x, y});
        for (const auto& [x, y] : points) {
            std::optional<int> holder;
            for (int place = 0; place < static_cast<int>(areas.size()); ++place)
                if (At(areas, place).Holds(x, y)) holder = place;
            ASSERT_EQ(puzzle.PlaceAt(x, y), holder) << "press at " << x << "," << y;
            const bool left = (x ^ y) & 1;
            const auto before = puzzle.Position();
            host.Clear();
            test::Press(puzzle, left, x, y);
            if (holder) {
                EXPECT_TRUE(puzzle.Position() == Apply(before, {*holder, left ? Turn::Left : Turn::Right}))
                    << "press at " << x << "," << y;
            } else {
                EXPECT_TRUE(puzzle.Position() == before) << "press at " << x << "," << y;
                EXPECT_EQ(host.Trace(), "") << "press at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace qg
