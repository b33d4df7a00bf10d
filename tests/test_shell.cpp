// The main window on real widgets: sessions, switching, Mix, Option, the
// rules area, the puzzle buttons and the start-up failure path.

#include <QFontInfo>
#include <QActionGroup>
#include <QImage>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>

#include "puzzles/Cirrela.h"
#include "puzzles/Pellora.h"
#include "puzzles/Torvane.h"
#include "tests/ShellFixture.h"

namespace qg::test {
namespace {

constexpr int kHubX = 105, kHubY = 105;  // TORVANE's first plate

Surface CopyOfScreen(TMainForm& form) { return form.Screen(); }

bool SameBoard(const Surface& a, const Surface& b) {
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        form = ShowMainForm(windows, GameDir(), &clock);
        ASSERT_TRUE(form);
        // A known position: every turn of plate 1 changes what it shows.
        static_cast<Torvane&>(form->PuzzleAt(kTorvane)).SetPosition(TorvanePattern(2), TorvanePattern(3));
        form->boxPaint();
    }
    ConfigHome config;
    ScriptedWindows windows;
    FakePlayClock clock;
    std::unique_ptr<TMainForm> form;
};

TEST_F(Shell, StartsOnTorvaneReadyWithTheOtherPuzzlesUnprepared) {
    EXPECT_EQ(form->GameIndex(), kTorvane);
    EXPECT_EQ(form->Session(kTorvane).State, kStateReady);
    for (int i : {kPellora, kNubbler, kCirrela}) EXPECT_EQ(form->Session(i).State, kStateNotPrepared);
    EXPECT_EQ(form->size(), QSize(500, 366));
    EXPECT_EQ(form->windowTitle(), "Quirko Gyrelle V1.5");
    EXPECT_TRUE(Button(*form, "TorvaneBtn")->isChecked());
    EXPECT_FALSE(Button(*form, "OptionBtn")->isEnabled());
    // First activation: the splash, then the language question (none chosen yet).
    EXPECT_EQ(windows.log, (std::vector<std::string>{"splash", "language"}));
}

TEST_F(Shell, TheBoardShowsWhatThePuzzleDrewIntoTheScreenImage) {
    const QImage shown = form->box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(500, 333));
    for (auto [x, y] : {std::pair{0, 0}, {kHubX, kHubY}, {400, 100}, {499, 332}})
        EXPECT_EQ(shown.pixel(x, y), ScreenPixel(*form, x, y)) << x << "," << y;
}

// The windows were laid out for Arial and MS Sans Serif: their texts take
// Liberation Sans, which has Arial's widths, wherever the names are asked for.
TEST_F(Shell, TheWindowsFontsAreMetricCompatible) {
    for (const char* family : {"Arial", "MS Sans Serif"}) {
        QFont font(family);
        font.setPixelSize(13);
        EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans") << family;
    }
}

TEST_F(Shell, FirstMoveStartsPlayAndAMissDoesNot) {
    ClickBoard(*form, kHubX + 20, kHubY);  // just outside the hub
    EXPECT_EQ(form->Session(kTorvane).State, kStateReady);
    const Surface before = CopyOfScreen(*form);
    ClickBoard(*form, kHubX, kHubY);
    EXPECT_EQ(form->Session(kTorvane).State, kStateInPlay);
    EXPECT_FALSE(SameBoard(before, form->Screen()));
    // Right turns the plate back.
    ClickBoard(*form, kHubX, kHubY, Qt::RightButton);
    EXPECT_TRUE(SameBoard(before, form->Screen()));
    // The middle button does nothing.
    ClickBoard(*form, kHubX, kHubY, Qt::MiddleButton);
    EXPECT_TRUE(SameBoard(before, form->Screen()));
}

// A press on each puzzle that is a move: TORVANE's first hub, a PELLORA
// cell, a NUBBLER plate, a CIRRELA ring.
constexpr std::array<QPoint, kPuzzleCount> kMovePoint = {{{105, 105}, {192, 148}, {130, 66}, {100, 160}}};

class SwitchAway : public Shell, public ::testing::WithParamInterface<int> {};

TEST_P(SwitchAway, AndBackKeepsBoardStateAndClock) {
    const int game = GetParam(), other = (game + 1) % kPuzzleCount;
    form->SelectGame(game);
    ClickBoard(*form, kMovePoint[game].x(), kMovePoint[game].y());
    ASSERT_EQ(form->Session(game).State, kStateInPlay);
    form->Session(game).Elapsed = 37;
    const Surface board = CopyOfScreen(*form);

    form->SelectGame(other);
    EXPECT_EQ(form->GameIndex(), other);
    EXPECT_EQ(form->Session(other).State, kStateReady);
    EXPECT_EQ(Button(*form, "OptionBtn")->isEnabled(), Record(other).HasOption());
    Ticks(*form, clock, 1);  // ticks count only the current session
    EXPECT_EQ(form->Session(game).Elapsed, 37);

    form->SelectGame(game);
    EXPECT_EQ(form->GameIndex(), game);
    EXPECT_EQ(form->Session(game).State, kStateInPlay);
    EXPECT_EQ(form->Session(game).Elapsed, 37);
    EXPECT_TRUE(SameBoard(board, form->Screen()));
    Ticks(*form, clock, 1);
    EXPECT_EQ(form->Session(game).Elapsed, 38);
}
INSTANTIATE_TEST_SUITE_P(EveryPuzzle, SwitchAway, ::testing::Range(0, kPuzzleCount),
                         [](const auto& info) { return std::string(Record(info.param).name); });

TEST_F(Shell, MixFromEveryState) {
    struct Case {
        std::uint8_t state;
        int answer;
        bool asks;
        bool mixes;
    };
    const Case cases[] = {
        {kStateReady, kAnswerYes, false, true},
        {kStateInPlay, kAnswerYes, true, true},
        {kStateInPlay, kAnswerKeepOn, true, false},
        {kStateSolved, kAnswerYes, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << int(c.state) << " answer " << c.answer);
        form->Session(kTorvane).State = c.state;
        form->Session(kTorvane).Elapsed = 12;
        windows.log.clear();
        windows.giveUpAnswer = c.answer;
        // The target's pixels change with a new target (a different stored
        // pattern); the board's do not.
        const Surface before = CopyOfScreen(*form);
        form->randomSource().Seed(static_cast<std::uint64_t>(c.state) * 10 + static_cast<std::uint64_t>(c.answer));
        ClickButton(*form, "MixBtn");
        EXPECT_EQ(windows.log, c.asks ? std::vector<std::string>{"giveup"} : std::vector<std::string>{});
        EXPECT_EQ(form->Session(kTorvane).State, c.mixes ? std::uint8_t{kStateReady} : c.state);
        EXPECT_EQ(form->Session(kTorvane).Elapsed, c.mixes ? 0 : 12);
        EXPECT_EQ(SameBoard(before, form->Screen()), !c.mixes);
        EXPECT_TRUE(form->timer().isActive());
        form->timer().stop();
    }
}

TEST_F(Shell, PressesInTheRulesAreaNeverReachTheBoard) {
    struct Counter : QObject {
        int presses = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            presses += e->type() == QEvent::MouseButtonPress;
            return false;
        }
    } counter;
    form->box()->installEventFilter(&counter);
    for (int game : {kTorvane, kPellora, kNubbler, kCirrela}) {
        form->SelectGame(game);
        const Rect r = Record(game).rulesRect;
        EXPECT_EQ(form->rulesShape()->geometry(), QRect(r.x, r.y + kToolPanelHeight, r.w, r.h));
        counter.presses = 0;
        for (auto [x, y] : {std::pair{r.x, r.y}, {r.x + r.w - 1, r.y + r.h - 1}, {r.x + r.w / 2, r.y + r.h / 2}})
            ClickBoard(*form, x, y);
        EXPECT_EQ(counter.presses, 0) << "game " << game;
        ClickBoard(*form, r.x - 1, r.y);  // just outside it reaches the board
        EXPECT_EQ(counter.presses, 1) << "game " << game;
    }
    form->SelectGame(kTorvane);
    EXPECT_FALSE(form->rulesShape()->toolTip().isEmpty());
    EXPECT_TRUE(form->rulesShape()->toolTip().contains('\n'));
}

TEST_F(Shell, PuzzleButtonsFormAGroupThatCanBeAllUp) {
    auto pressed = [&] {
        std::string s;
        for (const char* n : {"TorvaneBtn", "PelloraBtn", "NubblerBtn", "CirrelaBtn"}) s += Button(*form, n)->isChecked() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(pressed(), "1000");
    ClickButton(*form, "TorvaneBtn");  // the shown puzzle's button releases
    EXPECT_EQ(pressed(), "0000");
    EXPECT_EQ(form->GameIndex(), kTorvane);
    ClickButton(*form, "TorvaneBtn");
    EXPECT_EQ(pressed(), "1000");
    ClickButton(*form, "NubblerBtn");
    EXPECT_EQ(pressed(), "0010");
    EXPECT_EQ(form->GameIndex(), kNubbler);
    ClickButton(*form, "NubblerBtn");
    ClickButton(*form, "CirrelaBtn");
    EXPECT_EQ(pressed(), "0001");
    EXPECT_EQ(form->GameIndex(), kCirrela);
}

TEST_F(Shell, OptionButtonTrianglesAndTheGiveUpQuestion) {
    ClickButton(*form, "PelloraBtn");
    auto& pellora = static_cast<Pellora&>(form->PuzzleAt(kPellora));
    ASSERT_EQ(pellora.Variant(), 1);
    struct Case {
        QPoint at;
        int variant;
    };
    // Upper-right triangle raises; the diagonal and below lower.
    const Case cases[] = {{{20, 3}, 2}, {{23, 0}, 3}, {{20, 3}, 3}, {{10, 10}, 2}, {{3, 20}, 1}, {{3, 20}, 1}};
    for (const Case& c : cases) {
        form->Session(kPellora).Elapsed = 5;
        ClickButton(*form, "OptionBtn", c.at);
        EXPECT_EQ(pellora.Variant(), c.variant) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(form->Session(kPellora).Elapsed, 0);  // even at the end of the range
    }
    // In play, "keep playing" changes nothing at all.
    form->Session(kPellora).State = kStateInPlay;
    form->Session(kPellora).Elapsed = 9;
    windows.giveUpAnswer = kAnswerKeepOn;
    windows.log.clear();
    ClickButton(*form, "OptionBtn", {20, 3});
    EXPECT_EQ(windows.log, std::vector<std::string>{"giveup"});
    EXPECT_EQ(pellora.Variant(), 1);
    EXPECT_EQ(form->Session(kPellora).State, kStateInPlay);
    EXPECT_EQ(form->Session(kPellora).Elapsed, 9);
}

TEST_F(Shell, SolvedSequenceRunsOnceWithTheTableOfThePuzzle) {
    form->Session(kTorvane).State = kStateInPlay;
    form->Session(kTorvane).Elapsed = 321;
    form->game().PuzzleSolved();
    form->game().PuzzleSolved();
    EXPECT_EQ(form->Session(kTorvane).State, kStateSolved);
    windows.log.erase(windows.log.begin(), windows.log.begin() + 2);  // splash, language
    EXPECT_EQ(windows.log, (std::vector<std::string>{"solved", "highscores torv 321"}));

    struct Case {
        int game, option;
        const char* key;
    };
    const Case keys[] = {{kTorvane, 0, "torv"}, {kPellora, 3, "pell3"}, {kNubbler, 0, "nubb"}, {kCirrela, 4, "cirr4"}};
    for (const Case& c : keys) {
        form->SelectGame(c.game);
        if (Record(c.game).HasOption()) form->game().SetOption(c.game, c.option);
        form->MakeTableKey();
        EXPECT_EQ(form->TableKey(), c.key);
    }
}

TEST_F(Shell, PauseWaitsWithoutHandlingAnyEvent) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    SteadyPlayClock steady;
    form->game().UseClock(steady);
    const auto start = std::chrono::steady_clock::now();
    form->game().Pause(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_FALSE(ran);  // queued, not lost
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

TEST_F(Shell, ClosingAsksAndANoKeepsTheGameRunning) {
    windows.quitAnswer = 2;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    windows.quitAnswer = kAnswerYes;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(windows.log.back(), "closehelp");
}

TEST(ShellSheets, ASheetThatCannotBeLoadedOnASwitchKeepsThePuzzleShown) {
    ConfigHome config;
    ProgramDir dir;
    QFile::remove(dir.Path(Record(kPellora).sheetFile));
    ScriptedWindows windows;
    auto form = ShowMainForm(windows, dir.Dir());
    ASSERT_TRUE(form);
    const Surface board = form->Screen();
    ClickButton(*form, "PelloraBtn");
    EXPECT_EQ(form->GameIndex(), kTorvane);
    ASSERT_EQ(windows.errors.size(), 1u);
    EXPECT_NE(windows.errors[0].find(Record(kPellora).sheetFile), std::string::npos);
    EXPECT_TRUE(Button(*form, "TorvaneBtn")->isChecked());
    EXPECT_FALSE(Button(*form, "PelloraBtn")->isChecked());
    EXPECT_EQ(form->Session(kPellora).State, kStateNotPrepared);
    EXPECT_TRUE(SameBoard(board, form->Screen()));
    // The other puzzles still switch.
    ClickButton(*form, "NubblerBtn");
    EXPECT_EQ(form->GameIndex(), kNubbler);
}

TEST(ShellStartUp, ABadFirstSheetEndsWithTheErrorAndWritesNothing) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> spoil;
    };
    const Case cases[] = {
        {"missing", [](const QString& path) { QFile::remove(path); }},
        {"truncated",
         [](const QString& path) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.resize(f.size() / 3);
         }},
        {"too small",
         [](const QString& path) {
             QImage small(500, 382, QImage::Format_RGB32);
             small.fill(Qt::darkGreen);
             ASSERT_TRUE(small.save(path, "BMP"));
         }},
        {"not a picture",
         [](const QString& path) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
             f.write("BM this is no bitmap at all");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome config;
        ProgramDir dir;
        c.spoil(dir.Path(Record(kTorvane).sheetFile));
        ScriptedWindows windows;
        {
            TMainForm form(dir.Dir(), &windows);
            EXPECT_FALSE(form.FormCreate());
        }
        // The old text first, then which file failed and where it was looked for.
        ASSERT_EQ(windows.errors.size(), 1u);
        const QString text = QString::fromStdString(windows.errors.front());
        EXPECT_TRUE(text.startsWith(QString("Not enough memory! Program aborted.\n\nThe picture file \"%1\" ")
                                        .arg(Record(kTorvane).sheetFile)))
            << windows.errors.front();
        EXPECT_TRUE(text.endsWith("Looked for in: " + dir.Dir())) << windows.errors.front();
        EXPECT_TRUE(config.IsEmpty());
    }
}

}  // namespace
}  // namespace qg::test
