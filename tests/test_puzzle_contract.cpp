// What every puzzle promises the shell, checked on every puzzle of the
// test table (the game's four and the test-only ones) with one suite:
// a press that hits nothing does nothing at all, the first move starts the
// clock, and a solve is reported once, not again while the session is solved.
// And what every puzzle's rule promises: a move is undone by the other
// button at the same place, a place turned all the way round is back where
// it started, and a press at a place is the move at that place.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/Game.h"
#include "puzzles/PuzzleRecords.h"
#include "tests/FakeHost.h"
#include "tests/PositionSamples.h"
#include "tests/PuzzleTable.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

using test::FakeHost;
using test::HostEvent;

using test::PuzzleTraits;

template <class P>
class PuzzleContract : public ::testing::Test {
protected:
    using Traits = PuzzleTraits<P>;
    PuzzleContract() : host(test::SheetOf(Traits::kRecord)), puzzle(std::make_unique<P>(host)) { host.recordFrames = false; }

    // A shuffled board on the screen, the record cleared, in `state`.
    void ShowShuffled(std::uint8_t state) {
        puzzle->Prepare();
        puzzle->Draw();
        host.Clear();
        host.state = state;
    }
    void Press(bool left) { test::Press(*puzzle, left, Traits::kHit.first, Traits::kHit.second); }
    std::string Position() const { return Encode(puzzle->Position()); }  // the whole position

    FakeHost host;
    std::unique_ptr<P> puzzle;
};
TYPED_TEST_SUITE(PuzzleContract, test::AllPuzzleTypes, test::PuzzleName);

TYPED_TEST(PuzzleContract, AMissChangesNothing) {
    const auto misses = TestFixture::Traits::Misses();
    if (misses.empty()) GTEST_SKIP() << "every press on the board moves a ring";
    for (const std::uint8_t state : {kStateReady, kStateInPlay, kStateSolved})
        for (const auto& [x, y] : misses)
            for (const bool left : {true, false}) {
                SCOPED_TRACE(::testing::Message() << "state " << int(state) << " press at " << x << "," << y
                                                  << (left ? " left" : " right"));
                this->ShowShuffled(state);
                const Surface screen = this->host.Screen();
                const Surface composition = this->host.Composition();
                const std::string position = this->Position();
                test::Press(*this->puzzle, left, x, y);
                EXPECT_EQ(this->host.Trace(), "") << "no sound, frame, pause or solved call";
                EXPECT_EQ(this->host.state, state);
                EXPECT_EQ(this->Position(), position);
                EXPECT_TRUE(test::SameScreen(screen, this->host.Screen()));
                EXPECT_TRUE(test::SameScreen(composition, this->host.Composition()));
            }
}

// Only Ready becomes InPlay; the move itself is the same in every state.
TYPED_TEST(PuzzleContract, TheFirstMoveStartsTheClock) {
    struct Case {
        std::uint8_t before, after;
    };
    for (const Case c : {Case{kStateReady, kStateInPlay}, Case{kStateInPlay, kStateInPlay}, Case{kStateSolved, kStateSolved}})
        for (const bool left : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "state " << int(c.before) << (left ? " left" : " right"));
            this->ShowShuffled(c.before);
            const Surface screen = this->host.Screen();
            const std::string position = this->Position();
            this->Press(left);
            EXPECT_EQ(this->host.state, c.after);
            EXPECT_EQ(this->host.Trace(), TestFixture::Traits::kMoveTrace);
            EXPECT_NE(this->Position(), position);
            EXPECT_FALSE(test::SameScreen(screen, this->host.Screen()));
        }
}

// Away from the solved board and back: the move back reports the solve after
// its last frame; doing the same once solved reports nothing new.
TYPED_TEST(PuzzleContract, ASolveIsReportedOnceAndNotAgainOnceSolved) {
    using Traits = typename TestFixture::Traits;
    for (const bool left : {true, false}) {
        SCOPED_TRACE(left ? "solved by a left press" : "solved by a right press");
        FakeHost h(test::SheetOf(Traits::kRecord));
        h.recordFrames = false;
        TypeParam p(h);
        Traits::LaySolved(p);
        ASSERT_TRUE(p.IsSolved());
        p.Draw();
        h.state = kStateInPlay;
        auto press = [&](bool l) { test::Press(p, l, Traits::kHit.first, Traits::kHit.second); };

        h.Clear();
        press(!left);
        EXPECT_FALSE(p.IsSolved());
        EXPECT_EQ(h.Trace(), Traits::kMoveTrace);
        EXPECT_EQ(h.state, kStateInPlay);

        h.Clear();
        press(left);
        EXPECT_TRUE(p.IsSolved());
        EXPECT_EQ(h.Trace(), std::string(Traits::kMoveTrace) + " V");
        EXPECT_EQ(h.solvedCount, 1);
        EXPECT_EQ(h.state, kStateSolved);

        h.Clear();
        press(!left);
        press(left);
        EXPECT_TRUE(p.IsSolved());
        const std::string twice = std::string(Traits::kMoveTrace) + " " + Traits::kMoveTrace;
        EXPECT_EQ(h.Trace(), Traits::kReportsAgain ? twice + " V" : twice);
        EXPECT_EQ(h.solvedCalls, Traits::kReportsAgain ? 2 : 1) << "every call, not only the one the shell counts";
        EXPECT_EQ(h.solvedCount, 1);
        EXPECT_EQ(h.state, kStateSolved);
        EXPECT_EQ(h.Only(HostEvent::Sound).size(), 2u) << "moves go on after solving";
        for (const HostEvent* sound : h.Only(HostEvent::Sound))
            EXPECT_EQ(sound->value, static_cast<int>(Traits::kRecord.sound)) << "the record's sound";
    }
}

template <class P>
class MoveContract : public ::testing::Test {};
TYPED_TEST_SUITE(MoveContract, test::AllPuzzleTypes, test::PuzzleName);

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
    test::FakeHost host(test::SheetOf(PuzzleTraits<TypeParam>::kRecord));
    TypeParam puzzle(host);
    for (const int option : test::OptionsOf(PuzzleTraits<TypeParam>::kRecord)) {
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
    test::FakeHost host(test::SheetOf(PuzzleTraits<TypeParam>::kRecord));
    host.recordFrames = false;
    TypeParam puzzle(host);
    for (const int option : test::OptionsOf(PuzzleTraits<TypeParam>::kRecord)) {
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
    test::FakeHost host(test::SheetOf(PuzzleTraits<TypeParam>::kRecord));
    host.recordFrames = false;
    TypeParam puzzle(host);
    for (const int option : test::OptionsOf(PuzzleTraits<TypeParam>::kRecord)) {
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

// The rules between the puzzles hold for every puzzle in the table: run
// through the Game with its record, a puzzle is prepared once, its first move
// starts the clock, its option stays in the record's range and names its
// high-score table.
class QuietShell : public GameShell {
public:
    Surface& Screen() override { return screen; }
    void Present(const Rect&) override {}
    void PlaySound(Sound) override {}
    void PaintClock(int) override {}
    void StopTimer() override {}
    void StartTimer() override {}
    bool AskGiveUp() override { return true; }
    void ShowSolved() override {}
    void ShowHighscores(const std::string& key, int) override { tables.push_back(key); }
    Surface screen{kBoardWidth, kBoardHeight};
    std::vector<std::string> tables;
};

template <class P>
class SessionContract : public ::testing::Test {};
TYPED_TEST_SUITE(SessionContract, test::AllPuzzleTypes, test::PuzzleName);

TYPED_TEST(SessionContract, TheGameRunsThePuzzleByItsRecord) {
    using Traits = PuzzleTraits<TypeParam>;
    const PuzzleRecord& record = Traits::kRecord;
    QuietShell shell;
    const std::array<PuzzleRecord, 1> records = {record};
    Game game(shell, records);
    std::vector<std::unique_ptr<Puzzle>> puzzles;
    puzzles.push_back(std::make_unique<TypeParam>(game));
    game.SetPuzzles(std::move(puzzles));
    game.Start(0, test::SheetOf(record));
    EXPECT_EQ(game.Session(0).State, kStateReady);

    // The first move starts the clock.
    game.Paint();
    game.LeftClick(Traits::kHit.first, Traits::kHit.second);
    EXPECT_EQ(game.Session(0).State, kStateInPlay);

    // The option, clamped into the record's range, names the table.
    EXPECT_EQ(record.HasOption(), record.optionSetting != nullptr) << "an option is kept exactly when there is one";
    for (const int asked : {record.optionMin - 5, record.optionMin, record.optionMax, record.optionMax + 5}) {
        SCOPED_TRACE(::testing::Message() << "option " << asked);
        game.SetOption(0, asked);
        const int option = game.OptionOf(0);
        if (record.HasOption()) {
            EXPECT_EQ(option, std::clamp(asked, record.optionMin, record.optionMax));
        }
        game.MakeTableKey();
        EXPECT_EQ(game.TableKey(), std::string(record.tableKey) + (record.HasOption() ? std::to_string(option) : ""));
    }

    // Mix gives a fresh task, ready; a solve is reported once, with the table.
    game.Mix();
    EXPECT_EQ(game.Session(0).State, kStateReady);
    auto& puzzle = static_cast<TypeParam&>(game.PuzzleAt(0));
    Traits::LaySolved(puzzle);
    game.RightClick(Traits::kHit.first, Traits::kHit.second);
    game.LeftClick(Traits::kHit.first, Traits::kHit.second);
    EXPECT_EQ(game.Session(0).State, kStateSolved);
    game.MakeTableKey();
    EXPECT_EQ(shell.tables, std::vector<std::string>{game.TableKey()});
}

// The keys a record brings are its own: table keys, settings names, button
// names, keys and pictures differ from puzzle to puzzle, and no option's
// setting takes a name the shell keeps for itself.
TEST(PuzzleTable, EveryRecordBringsKeysOfItsOwn) {
    const std::vector<PuzzleRecord> records = test::AllPuzzles::Records();
    const std::set<std::string> shellSettings = {"mode", "sound", "music", "tongue", "mainform"};
    std::set<std::string> tableKeys, settings, buttons, pictures, names;
    std::set<char> keys;
    for (const PuzzleRecord& r : records) {
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(names.insert(r.name).second);
        EXPECT_TRUE(tableKeys.insert(r.tableKey).second) << r.tableKey;
        EXPECT_TRUE(buttons.insert(r.buttonName).second) << r.buttonName;
        EXPECT_TRUE(pictures.insert(r.buttonPicture).second) << r.buttonPicture;
        EXPECT_TRUE(keys.insert(r.key).second) << r.key;
        EXPECT_TRUE(r.hint.german && r.hint.english && r.rules.german && r.rules.english);
        if (r.optionSetting) {
            std::string name = r.optionSetting;
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_TRUE(settings.insert(name).second) << name;
            EXPECT_EQ(shellSettings.count(name), 0u) << name;
        }
    }
    // A table key with its option digit never spells another puzzle's.
    for (const PuzzleRecord& a : records)
        for (const PuzzleRecord& b : records)
            if (&a != &b && a.HasOption()) {
                for (int o = a.optionMin; o <= a.optionMax; ++o)
                    EXPECT_NE(std::string(a.tableKey) + std::to_string(o), std::string(b.tableKey));
            }
}

}  // namespace
}  // namespace qg
