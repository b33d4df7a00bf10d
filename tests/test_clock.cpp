// The toolbar clock: the digit strip, the six digits it paints, and counting.

#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "shell/Clock.h"
#include "core/Puzzle.h"
#include "puzzles/PuzzleRecords.h"
#include "tests/SolvedBoards.h"
#include "tests/ShellFixture.h"

static void RegisterPictures() { Q_INIT_RESOURCE(pictures); }

namespace qg {
namespace {

constexpr QRgb kUntouched = 0xFFFF00FFu;  // a colour the strip never has

QImage Strip() {
    RegisterPictures();
    return QImage(kDigitStripResource).convertToFormat(QImage::Format_RGB32);
}

// The box as the clock leaves it: every cell compared with the strip cell it
// must show, and the 2-pixel gaps still as they were.
void ExpectShows(const QImage& box, const QImage& strip, const std::array<int, kClockDigits>& cells) {
    for (int i = 0; i < kClockDigits; ++i) {
        const int sx = cells[i] < 0 ? kBlankCellX : kDigitCellWidth * cells[i];
        for (int y = 0; y < kDigitCellHeight; ++y) {
            for (int x = 0; x < kDigitCellWidth; ++x) {
                ASSERT_EQ(box.pixel(kClockPitch * i + x, y), strip.pixel(sx + x, y))
                    << "cell " << i << " at " << x << "," << y;
            }
            for (int gx = kDigitCellWidth; gx < kClockPitch && kClockPitch * i + gx < box.width(); ++gx) {
                ASSERT_EQ(box.pixel(kClockPitch * i + gx, y), kUntouched) << "gap after cell " << i;
            }
        }
    }
}

TEST(DigitStrip, ElevenLitCellsOnBlackAndABlankOne) {
    const QImage strip = Strip();
    ASSERT_EQ(strip.size(), QSize(121, 20));
    // How many bright pixels each cell lights, and whether the edges stay black.
    std::array<int, 11> lit{};
    for (int cell = 0; cell < 11; ++cell) {
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 11; ++x) {
                const QRgb p = strip.pixel(cell * 11 + x, y);
                if (qGreen(p) > 180) ++lit[static_cast<std::size_t>(cell)];
                if (x == 0 || y == 0 || y == 19) {
                    EXPECT_EQ(p & 0xFFFFFFu, 0u) << "cell " << cell << " edge " << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(lit[10], 0) << "the blank cell lights nothing";
    for (int d = 0; d < 10; ++d) EXPECT_GE(lit[static_cast<std::size_t>(d)], 12) << "digit " << d;
    // The digit 8 lights every segment; 1 the fewest.
    for (int d = 0; d < 10; ++d) {
        EXPECT_LE(lit[static_cast<std::size_t>(d)], lit[8]) << d;
        EXPECT_GE(lit[static_cast<std::size_t>(d)], lit[1]) << d;
    }
    // No two digits look alike.
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b)
            EXPECT_NE(strip.copy(a * 11, 0, 11, 20), strip.copy(b * 11, 0, 11, 20)) << a << " " << b;
}

TEST(TimboxPaint, SixDigitsLeadingZerosBlankLastDigitAlwaysShown) {
    const QImage strip = Strip();
    struct Case {
        int elapsed;
        std::array<int, kClockDigits> cells;  // -1: blank
    };
    const Case cases[] = {
        {0, {-1, -1, -1, -1, -1, 0}},
        {7, {-1, -1, -1, -1, -1, 7}},
        {150, {-1, -1, -1, 1, 5, 0}},
        {100000, {1, 0, 0, 0, 0, 0}},
        {1000000, {-1, -1, -1, -1, -1, 0}},  // the seventh digit is dropped
        {1234567, {2, 3, 4, 5, 6, 7}},
        {999999, {9, 9, 9, 9, 9, 9}},
        {-5, {-1, -1, -1, -1, -1, 0}},       // never a cell outside the strip
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        QImage box(kTimboxWidth, kTimboxHeight, QImage::Format_RGB32);
        box.fill(kUntouched);
        TimboxPaint(box, strip, c.elapsed);
        ExpectShows(box, strip, c.cells);
    }
}

TEST(TimboxPaint, ANewValueReplacesEveryCell) {
    const QImage strip = Strip();
    QImage box(kTimboxWidth, kTimboxHeight, QImage::Format_RGB32);
    box.fill(kUntouched);
    TimboxPaint(box, strip, 888888);
    TimboxPaint(box, strip, 3);
    ExpectShows(box, strip, {-1, -1, -1, -1, -1, 3});
}

TEST(ClockBox, ShowsThePaintedDigitsOnScreen) {
    const QImage strip = Strip();
    ClockBox box;
    box.show();
    box.Show(42);
    const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(kTimboxWidth, kTimboxHeight));
    for (int y = 0; y < kDigitCellHeight; ++y)
        for (int x = 0; x < kDigitCellWidth; ++x) {
            ASSERT_EQ(shown.pixel(4 * kClockPitch + x, y), strip.pixel(4 * kDigitCellWidth + x, y));
            ASSERT_EQ(shown.pixel(5 * kClockPitch + x, y), strip.pixel(2 * kDigitCellWidth + x, y));
            ASSERT_EQ(shown.pixel(x, y), strip.pixel(kBlankCellX + x, y));
        }
}

// ---------------------------------------------------------------------------
// The clock in the main window.

constexpr int kHubX = 105, kHubY = 105;  // TORVANE's first plate: a move

// The digits the toolbar clock shows, read off its picture: -1 for blank, -2
// for a cell that matches no cell of the strip.
std::array<int, kClockDigits> ShownDigits(TMainForm& form, const QImage& strip) {
    const QImage shown = form.timbox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::array<int, kClockDigits> out{};
    for (int i = 0; i < kClockDigits; ++i) {
        const QImage cell = shown.copy(kClockPitch * i, 0, kDigitCellWidth, kDigitCellHeight);
        out[static_cast<std::size_t>(i)] = -2;
        for (int c = 0; c <= 10; ++c)
            if (cell == strip.copy(c * kDigitCellWidth, 0, kDigitCellWidth, kDigitCellHeight))
                out[static_cast<std::size_t>(i)] = c == 10 ? -1 : c;
    }
    return out;
}

// A window whose questions run their own event loop for a while, as a modal
// window does, and note whether the clock's timer was running meanwhile.
class LingeringWindows : public test::ScriptedWindows {
public:
    int AskGiveUp(int language) override {
        Linger();
        return ScriptedWindows::AskGiveUp(language);
    }
    void ShowPaused(int language) override {
        Linger();
        ScriptedWindows::ShowPaused(language);
    }
    void ShowHighscores(int language, const QString& key, int time) override {
        Linger();
        shownWithTable.push_back(ShownDigits(*form, strip));
        ScriptedWindows::ShowHighscores(language, key, time);
    }
    void Linger() {
        timerRanMeanwhile = timerRanMeanwhile || form->timer().isActive();
        QTest::qWait(3 * kTimerIntervalMs);
    }
    TMainForm* form = nullptr;
    QImage strip;
    bool timerRanMeanwhile = false;
    std::vector<std::array<int, kClockDigits>> shownWithTable;  // the clock as each table opened
};

// The cells the clock shows for a count: leading zeros blank.
std::array<int, kClockDigits> CellsOf(int elapsed) {
    std::array<int, kClockDigits> cells{};
    for (int i = kClockDigits - 1; i >= 0; --i, elapsed /= 10)
        cells[static_cast<std::size_t>(i)] = elapsed == 0 && i < kClockDigits - 1 ? -1 : elapsed % 10;
    return cells;
}

class ShellClock : public ::testing::Test {
protected:
    void SetUp() override {
        strip = Strip();
        windows.strip = strip;
        form = std::make_unique<TMainForm>(test::GameDir(), &windows);
        form->game().UseClock(clock);
        windows.form = form.get();
        ASSERT_TRUE(form->FormCreate());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        form->timer().stop();  // ticks are given by hand
    }
    void Ticks(int n) { test::Ticks(*form, clock, n); }
    test::ConfigHome config;
    test::FakePlayClock clock;
    LingeringWindows windows;
    std::unique_ptr<TMainForm> form;
    QImage strip;
};

TEST_F(ShellClock, CountsOnlyTheCurrentPuzzleInPlay) {
    using Cells = std::array<int, kClockDigits>;
    EXPECT_EQ(ShownDigits(*form, strip), (Cells{-1, -1, -1, -1, -1, 0}));
    Ticks(3);  // ready: no count
    EXPECT_EQ(form->Session(kTorvane).Elapsed, 0);

    test::ClickBoard(*form, kHubX, kHubY);
    ASSERT_EQ(form->Session(kTorvane).State, kStateInPlay);
    Ticks(12);
    EXPECT_EQ(form->Session(kTorvane).Elapsed, 12);
    EXPECT_EQ(ShownDigits(*form, strip), (Cells{-1, -1, -1, -1, 1, 2}));

    // Away to PELLORA (ready there): nothing counts, TORVANE keeps its 12.
    form->SelectGame(kPellora);
    Ticks(5);
    EXPECT_EQ(form->Session(kTorvane).Elapsed, 12);
    EXPECT_EQ(form->Session(kPellora).Elapsed, 0);
    EXPECT_EQ(ShownDigits(*form, strip), (Cells{-1, -1, -1, -1, -1, 0}));

    // Back again: the count goes on from where it stood.
    form->SelectGame(kTorvane);
    EXPECT_EQ(ShownDigits(*form, strip), (Cells{-1, -1, -1, -1, 1, 2}));
    Ticks(3);
    EXPECT_EQ(form->Session(kTorvane).Elapsed, 15);
    EXPECT_EQ(ShownDigits(*form, strip), (Cells{-1, -1, -1, -1, 1, 5}));

    // Mix starts the clock again from 0 (the give-up question says go ahead).
    form->MixBtnClick();
    EXPECT_EQ(form->Session(kTorvane).Elapsed, 0);
    EXPECT_EQ(ShownDigits(*form, strip), (Cells{-1, -1, -1, -1, -1, 0}));
}

// A press on each puzzle that is a move: TORVANE's first hub, a PELLORA
// cell, a NUBBLER plate, a CIRRELA ring.
constexpr std::array<QPoint, kPuzzleCount> kMovePoint = {{{105, 105}, {192, 148}, {130, 66}, {100, 160}}};

TEST_F(ShellClock, TheTableGetsTheTimeTheClockShows) {
    for (int game = 0; game < kPuzzleCount; ++game) {
        SCOPED_TRACE(Record(game).name);
        form->SelectGame(game);
        test::LaySolved(form->PuzzleAt(game), game);
        ASSERT_TRUE(form->PuzzleAt(game).IsSolved());
        test::ClickBoard(*form, kMovePoint[game].x(), kMovePoint[game].y());
        ASSERT_EQ(form->Session(game).State, kStateInPlay);
        Ticks(7);
        // Play time that no tick has shown yet: two periods and a half.
        clock.Advance(std::chrono::milliseconds(500));
        windows.shownWithTable.clear();
        test::ClickBoard(*form, kMovePoint[game].x(), kMovePoint[game].y(), Qt::RightButton);  // back: solved
        ASSERT_EQ(form->Session(game).State, kStateSolved);
        ASSERT_EQ(windows.shownWithTable.size(), 1u);
        const std::string& table = windows.log.back();
        ASSERT_EQ(table.rfind("highscores ", 0), 0u) << table;
        const int time = std::stoi(table.substr(table.rfind(' ') + 1));
        EXPECT_EQ(time, form->Session(game).Elapsed);
        EXPECT_GE(time, 9);
        EXPECT_EQ(windows.shownWithTable.front(), CellsOf(time)) << "the table got " << time;
        EXPECT_EQ(ShownDigits(*form, strip), CellsOf(time)) << "and the clock keeps showing it";
    }
}

TEST_F(ShellClock, WindowsOpenedWithTheTimerStoppedDoNotCount) {
    test::ClickBoard(*form, kHubX, kHubY);
    ASSERT_EQ(form->Session(kTorvane).State, kStateInPlay);
    form->timer().start();  // the clock runs as in play
    struct Case {
        const char* what;
        std::function<void()> open;
    };
    windows.giveUpAnswer = kAnswerKeepOn;
    const Case cases[] = {
        {"give-up question of Mix, answered keep playing", [&] { form->MixBtnClick(); }},
        {"pause window", [&] { test::ClickButton(*form, "PauseBtn"); }},
        {"high-score window", [&] { test::ClickButton(*form, "HighScoreBtn"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.timerRanMeanwhile = false;
        const std::size_t opened = windows.log.size();
        const int before = form->Session(kTorvane).Elapsed;
        c.open();
        ASSERT_GT(windows.log.size(), opened) << "the window was not opened";
        EXPECT_FALSE(windows.timerRanMeanwhile);
        EXPECT_EQ(form->Session(kTorvane).Elapsed, before);
        EXPECT_TRUE(form->timer().isActive()) << "the clock runs again afterwards";
    }
    form->timer().stop();
}

TEST_F(ShellClock, TheTimerRunsOnlyWhileItHasWork) {
    // Music off and nothing in play: nothing wakes the program.
    if (form->midiBtn()->isChecked()) test::ClickButton(*form, "MidiBtn");
    form->MixBtnClick();
    EXPECT_TRUE(form->TimerEnabled());
    EXPECT_FALSE(form->timer().isActive());
    test::ClickBoard(*form, kHubX, kHubY);  // in play: the clock counts
    EXPECT_TRUE(form->timer().isActive());
    form->SelectGame(kNubbler);  // the puzzle shown is ready
    EXPECT_FALSE(form->timer().isActive());
    form->SelectGame(kTorvane);  // and back to the one in play
    EXPECT_TRUE(form->timer().isActive());
    test::ClickButton(*form, "PauseBtn");  // a window that must not count
    EXPECT_TRUE(form->timer().isActive()) << "runs again once the window is closed";
    EXPECT_EQ(windows.log.back(), "paused");
    form->game().PuzzleSolved();
    form->TimerTimer();
    EXPECT_FALSE(form->timer().isActive()) << "nothing counts once solved";
}

}  // namespace
}  // namespace qg
