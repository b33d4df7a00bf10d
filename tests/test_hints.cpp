// Hints through the real window: F3, F3, ... plays a solution to the end,
// the high scores then only open to be looked at, the hint goes whenever
// the position changes, an answer for an old position never shows, and the
// arrow is drawn over the board without touching any picture of the game.
// The searches run when the test says so, never on their own.

#include <QAccessible>
#include <QDialog>
#include <QImage>
#include <QTest>

#include <functional>
#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "tests/ShellFixture.h"
#include "tests/TestSupport.h"

namespace qg::test {
namespace {

void Key(TMainForm& form, int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(form.windowHandle(), static_cast<Qt::Key>(key), modifiers);
}

class Hints : public ::testing::Test {
protected:
    void SetUp() override {
        form = ShowMainForm(windows, GameDir(), &clock);
        ASSERT_TRUE(form);
        form->hints().UseRunner([this](std::function<void()> job) { jobs.push_back(std::move(job)); });
    }
    // Lets the held searches finish, and their answers arrive.
    void RunSearches() {
        auto held = std::move(jobs);
        jobs.clear();
        for (auto& job : held) job();
        QCoreApplication::processEvents();
    }
    void Mix(int game, unsigned seed) {
        form->SelectGame(game);
        form->randomSource().Seed(seed);
        form->MixBtnClick();
    }
    std::string Position() { return PositionText(form->PuzzleAt(form->GameIndex()), form->GameIndex()); }
    bool Solved() { return form->PuzzleAt(form->GameIndex()).IsSolved(); }
    // F3 until the board is solved; how many moves that took, -1 when it never was.
    int FollowHints(int limit) {
        for (int moves = 0; moves < limit; ++moves) {
            if (Solved()) return moves;
            Key(*form, Qt::Key_F3);
            RunSearches();
            if (!form->box()->Hint()) return -1;
            Key(*form, Qt::Key_F3);
        }
        return Solved() ? limit : -1;
    }

    ScriptedWindows windows;
    FakePlayClock clock;
    std::unique_ptr<TMainForm> form;
    std::vector<std::function<void()>> jobs;
};

TEST_F(Hints, FollowingThemSolvesEveryPuzzleAndTheTableOpensWithoutAnEntry) {
    for (int game = 0; game < kPuzzleCount; ++game) {
        SCOPED_TRACE(Record(game).name);
        Mix(game, 40 + static_cast<unsigned>(game));
        ASSERT_FALSE(Solved());
        windows.log.clear();
        ASSERT_GE(FollowHints(300), 1);
        form->MakeTableKey();
        const std::string viewOnly = "highscores " + form->TableKey().toStdString() + " 0";
        EXPECT_EQ(windows.log, (std::vector<std::string>{"solved", viewOnly}));
        // F3 on a solved board does nothing.
        Key(*form, Qt::Key_F3);
        EXPECT_TRUE(jobs.empty());
        EXPECT_FALSE(form->box()->Hint());
    }
}

TEST_F(Hints, TheSameMovesWithoutAHintEarnAnEntry) {
    Mix(kNubbler, 3);
    const auto solution = SolveText(kNubbler, Position());
    ASSERT_TRUE(solution && !solution->moves.empty());
    windows.log.clear();
    const std::vector<Rect> places = form->PuzzleAt(kNubbler).Places();
    for (const Move m : solution->moves) {
        const Rect& r = places[static_cast<std::size_t>(m.place)];
        ClickBoard(*form, r.x + r.w / 2, r.y + r.h / 2, m.turn == Turn::Left ? Qt::LeftButton : Qt::RightButton);
    }
    ASSERT_TRUE(Solved());
    ASSERT_EQ(windows.log.size(), 2u);
    EXPECT_EQ(windows.log[0], "solved");
    EXPECT_NE(windows.log[1], "highscores nubb 0");  // the moves' pauses are on the clock
    EXPECT_TRUE(windows.log[1].starts_with("highscores nubb "));
}

// The hint shows the first move of a solution: the cursor on its place and
// the arrow the way it turns; F3 makes exactly that move.
TEST_F(Hints, AHintPointsAtItsMoveAndF3MakesIt) {
    Mix(kTorvane, 5);
    const std::string before = Position();
    Key(*form, Qt::Key_F3);
    EXPECT_FALSE(form->box()->Hint());  // still searching
    EXPECT_TRUE(form->hints().Searching());
    RunSearches();
    const auto arrow = form->box()->Hint();
    ASSERT_TRUE(arrow);
    const auto solution = SolveText(kTorvane, before);
    ASSERT_TRUE(solution && !solution->moves.empty());
    const Move first = solution->moves.front();
    const Rect place = form->PuzzleAt(kTorvane).Places()[static_cast<std::size_t>(first.place)];
    EXPECT_EQ(arrow->place.x, place.x);
    EXPECT_EQ(arrow->turn, first.turn);
    ASSERT_TRUE(form->box()->CursorRing());
    EXPECT_EQ(form->box()->CursorRing()->x, place.x);
    Key(*form, Qt::Key_F3);
    EXPECT_FALSE(form->box()->Hint());
    EXPECT_EQ(Position(), PositionText(form->PuzzleAt(kTorvane), kTorvane));
    auto expected = *Decode<TorvanePosition>(before);
    EXPECT_EQ(Position(), Encode(Apply(expected, first)));
    // The next hint follows the same solution at once, without a search.
    Key(*form, Qt::Key_F3);
    EXPECT_TRUE(jobs.empty());
    ASSERT_TRUE(form->box()->Hint());
    EXPECT_EQ(form->box()->Hint()->turn, solution->moves[1].turn);
}

TEST_F(Hints, TheBoardsAccessibleActionIsF3AndItsDescriptionSaysSo) {
    Mix(kNubbler, 3);
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(form->box());
    ASSERT_TRUE(board && board->actionInterface());
    ASSERT_TRUE(board->actionInterface()->actionNames().contains("Hint"));
    EXPECT_TRUE(board->text(QAccessible::Description).endsWith(". F3 shows a hint."));
    const std::string before = Position();
    {
        QDialog waiting(form.get());  // nothing behind a window that waits for an answer
        waiting.setWindowModality(Qt::ApplicationModal);
        waiting.show();
        board->actionInterface()->doAction("Hint");
        QCoreApplication::processEvents();
        EXPECT_TRUE(jobs.empty());
    }
    board->actionInterface()->doAction("Hint");
    EXPECT_TRUE(jobs.empty());  // not before the tool's call has returned
    QCoreApplication::processEvents();
    RunSearches();
    ASSERT_TRUE(form->box()->Hint());
    EXPECT_EQ(Position(), before);
    board->actionInterface()->doAction("Hint");
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->box()->Hint());
    const auto solution = SolveText(kNubbler, before);
    ASSERT_TRUE(solution && !solution->moves.empty());
    EXPECT_EQ(Position(), Encode(Apply(*Decode<NubblerPosition>(before), solution->moves.front())));
}

TEST_F(Hints, AnyChangeOfThePositionDropsTheHintAndItsSearch) {
    struct Case {
        const char* name;
        std::function<void(TMainForm&)> change;
        bool dropsTheSearch;  // a key only takes the arrow away
    };
    const Case cases[] = {
        {"press", [](TMainForm& f) { ClickBoard(f, 165, 165); }, true},
        {"press beside every place", [](TMainForm& f) { ClickBoard(f, 10, 320); }, true},
        {"Mix", [](TMainForm& f) { f.MixBtnClick(); }, true},
        {"switch and back", [](TMainForm& f) { f.SelectGame(kPellora), f.SelectGame(kTorvane); }, true},
        {"a key", [](TMainForm& f) { Key(f, Qt::Key_Left); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mix(kTorvane, 9);
        // A hint on show goes.
        Key(*form, Qt::Key_F3);
        RunSearches();
        ASSERT_TRUE(form->box()->Hint());
        c.change(*form);
        EXPECT_FALSE(form->box()->Hint());
        // A search still running when the position changes never shows.
        form->MixBtnClick();
        Key(*form, Qt::Key_F3);
        ASSERT_EQ(jobs.size(), 1u);
        c.change(*form);
        RunSearches();
        EXPECT_EQ(form->box()->Hint().has_value(), !c.dropsTheSearch);
        EXPECT_FALSE(form->hints().Searching());
    }
}

// With a held search the hint is asked again: one search only, and its
// answer shows once it comes.
TEST_F(Hints, AskingAgainWhileSearchingWaitsForTheSameSearch) {
    Mix(kCirrela, 2);
    Key(*form, Qt::Key_F3);
    Key(*form, Qt::Key_F3);
    EXPECT_EQ(jobs.size(), 1u);
    RunSearches();
    EXPECT_TRUE(form->box()->Hint());
}

// The arrow lies over the board: the screen image, the composition and the
// sheet are as they were, only what the board shows differs, and after the
// hint it shows as before.
TEST_F(Hints, TheArrowTouchesNoPictureOfTheGame) {
    for (const int game : {kTorvane, kCirrela}) {
        SCOPED_TRACE(Record(game).name);
        Mix(game, 11);
        const Surface screen = form->Screen();
        const Surface composition = form->game().Composition();
        const Surface sheet = form->game().Sheet();
        Key(*form, Qt::Key_F3);
        RunSearches();
        ASSERT_TRUE(form->box()->Hint());
        const QRect area = HintArrowArea(*form->box()->Hint());
        const QImage hinted = form->box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(SameSurface(form->Screen(), screen));
        EXPECT_TRUE(SameSurface(form->game().Composition(), composition));
        EXPECT_TRUE(SameSurface(form->game().Sheet(), sheet));
        // The same board with the cursor where the hint put it, without the arrow.
        form->hints().Clear();
        EXPECT_FALSE(form->box()->Hint());
        const QImage plain = form->box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int changed = 0, outside = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                if (plain.pixel(x, y) == hinted.pixel(x, y)) continue;
                ++changed;
                outside += !area.contains(x, y);
            }
        EXPECT_GT(changed, 100);  // the arrow is there to see
        EXPECT_EQ(outside, 0);
        EXPECT_TRUE(SameSurface(form->Screen(), screen));
    }
}

}  // namespace
}  // namespace qg::test
