// The rules between the puzzles, without any widget: sessions and their
// State, the clock's count, Mix, Option, the solved sequence, table keys and
// the pacing of a move. Two stand-in puzzles keep the cases small.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/Game.h"
#include "tests/TestClock.h"

namespace qg {
namespace {

using std::chrono::milliseconds;
using Log = std::vector<std::string>;

// Records what the rules asked of the window.
class FakeShell : public GameShell {
public:
    Surface& Screen() override { return screen; }
    void Present(const Rect&) override {}
    void PlaySound(Sound sound) override { log.push_back("sound " + std::to_string(static_cast<int>(sound))); }
    void PaintClock(int elapsed) override { shownClock = elapsed; }
    void StopTimer() override {
        timerOn = false;
        log.push_back("stop");
    }
    void StartTimer() override {
        timerOn = true;
        log.push_back("start");
    }
    bool AskGiveUp() override {
        log.push_back("giveup?");
        return giveUp;
    }
    void ShowSolved() override { log.push_back("solved"); }
    void ShowHighscores(const std::string& key, int elapsed) override {
        log.push_back("highscores " + key + " " + std::to_string(elapsed));
    }

    Surface screen{kBoardWidth, kBoardHeight};
    Log log;
    bool giveUp = true;
    bool timerOn = true;
    int shownClock = -1;
};

// A puzzle whose press at x >= 0 is a move lasting `moveMs` that solves the
// board when `solves` is set; its option steps within 1..3.
class StandInPuzzle : public Puzzle {
public:
    StandInPuzzle(PuzzleHost& host, Log& log) : Puzzle(host), log_(log) {}
    void Prepare() override { log_.push_back("prepare"); }
    void Shuffle() override { log_.push_back("shuffle"); }
    void Draw() override { log_.push_back("draw"); }
    void DrawTarget() override { log_.push_back("target"); }
    std::optional<int> PlaceAt(int x, int) const override {
        if (x < 0) return std::nullopt;
        return 0;
    }
    void ChangeOption(bool up) override {
        const int next = option_ + (up ? 1 : -1);
        if (next < 1 || next > 3) return;
        option_ = next;
        Shuffle();
        host().SetState(kStateReady);
    }
    int Option() const override { return option_; }
    void SetOption(int option) override { option_ = option; }

    int moveMs = 150;
    bool solves = false;

protected:
    void AnimateMove(qg::Move) override {
        for (int frame = 0; frame < 5; ++frame) host().Pause(moveMs / 5);
        if (solves) host().PuzzleSolved();
    }

private:
    Log& log_;
    int option_ = 1;
};

constexpr std::array<PuzzleRecord, 2> kRecords = {{
    {.name = "PLAIN", .sheetFile = "p.bmp", .sheetMinWidth = 1, .sheetMinHeight = 1, .rulesRect = {0, 0, 1, 1},
     .tableKey = "plai", .mixDrawsTargetOnly = true},
    {.name = "OPTED", .sheetFile = "o.bmp", .sheetMinWidth = 1, .sheetMinHeight = 1, .rulesRect = {0, 0, 1, 1},
     .optionMin = 1, .optionMax = 3, .optionSetting = "omode", .tableKey = "opts"},
}};
constexpr int kPlain = 0, kOpted = 1;

class GameRules : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::unique_ptr<Puzzle>> puzzles;
        for (Log& log : puzzleLog) puzzles.push_back(std::make_unique<StandInPuzzle>(game, log));
        game.SetPuzzles(std::move(puzzles));
        game.UseClock(clock);
        game.Start(kPlain, Surface(1, 1));
    }
    StandInPuzzle& StandIn(int i) { return static_cast<StandInPuzzle&>(game.PuzzleAt(i)); }
    void Play(milliseconds ms) {
        clock.Advance(ms);
        game.Tick();
    }

    FakeShell shell;
    test::FakePlayClock clock;
    std::array<Log, 2> puzzleLog;
    Game game{shell, kRecords};
};

TEST_F(GameRules, StartPreparesOnlyTheFirstPuzzleAndASwitchPreparesOnce) {
    EXPECT_EQ(game.Session(kPlain).State, kStateReady);
    EXPECT_EQ(game.Session(kOpted).State, kStateNotPrepared);
    EXPECT_EQ(puzzleLog[kPlain], Log{"prepare"});
    game.SwitchTo(kOpted, Surface(2, 2));
    game.SwitchTo(kPlain, Surface(1, 1));
    game.SwitchTo(kOpted, Surface(2, 2));
    EXPECT_EQ(puzzleLog[kOpted], Log{"prepare"});
    EXPECT_EQ(game.Session(kOpted).State, kStateReady);
    EXPECT_EQ(game.Sheet().width(), 2);
}

TEST_F(GameRules, TheClockCountsPlayTimeOfTheCurrentPuzzleOnly) {
    game.LeftClick(-1, 0);  // a miss
    Play(milliseconds(1000));
    EXPECT_EQ(game.Session(kPlain).Elapsed, 0);

    game.LeftClick(5, 5);  // 150 ms of frames
    EXPECT_EQ(game.Session(kPlain).State, kStateInPlay);
    Play(milliseconds(50));  // 200 ms since the press
    EXPECT_EQ(game.Session(kPlain).Elapsed, 1);
    EXPECT_EQ(shell.shownClock, 1);
    Play(milliseconds(1190));
    EXPECT_EQ(game.Session(kPlain).Elapsed, 6);

    // Away: the puzzle left in play stands still; back: it goes on.
    game.SwitchTo(kOpted, Surface(1, 1));
    Play(milliseconds(5000));
    EXPECT_EQ(game.Session(kPlain).Elapsed, 6);
    EXPECT_EQ(game.Session(kOpted).Elapsed, 0);
    game.SwitchTo(kPlain, Surface(1, 1));
    Play(milliseconds(400));
    EXPECT_EQ(game.Session(kPlain).Elapsed, 8);
}

TEST_F(GameRules, PeriodsWhoseTicksFellIntoMovesAreMadeUp) {
    // Sixty queued presses play 9 s of frames before the next tick can run.
    for (int i = 0; i < 60; ++i) game.LeftClick(5, 5);
    Play(milliseconds(0));
    EXPECT_EQ(game.Session(kPlain).Elapsed, 45);
}

TEST_F(GameRules, WindowsWithTheClockStoppedDoNotCount) {
    game.LeftClick(5, 5);
    game.StopClock();
    EXPECT_FALSE(shell.timerOn);
    Play(milliseconds(5000));
    game.StartClock();
    EXPECT_TRUE(shell.timerOn);
    Play(milliseconds(450));  // the 150 ms of the move were no whole period
    EXPECT_EQ(game.Session(kPlain).Elapsed, 2);
}

TEST_F(GameRules, MixFromEveryState) {
    struct Case {
        std::uint8_t state;
        bool giveUp;
        Log shellLog;
        bool mixes;
    };
    const Case cases[] = {
        {kStateReady, true, {"stop", "start"}, true},
        {kStateInPlay, true, {"stop", "giveup?", "start"}, true},
        {kStateInPlay, false, {"stop", "giveup?", "start"}, false},
        {kStateSolved, true, {"stop", "start"}, true},
    };
    for (int puzzle : {kPlain, kOpted}) {
        game.SwitchTo(puzzle, Surface(1, 1));
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "puzzle " << puzzle << " state " << int(c.state) << " give up " << c.giveUp);
            game.Session(puzzle) = {c.state, 12};
            shell.giveUp = c.giveUp;
            shell.log.clear();
            puzzleLog[puzzle].clear();
            game.Mix();
            EXPECT_EQ(shell.log, c.shellLog);
            EXPECT_EQ(game.Session(puzzle).State, c.mixes ? std::uint8_t{kStateReady} : c.state);
            EXPECT_EQ(game.Session(puzzle).Elapsed, c.mixes ? 0 : 12);
            // TORVANE-like puzzles show only their new target.
            const Log drawn = {"shuffle", puzzle == kPlain ? "target" : "draw"};
            EXPECT_EQ(puzzleLog[puzzle], c.mixes ? drawn : Log{});
        }
    }
}

TEST_F(GameRules, OptionStepsWithinItsRangeAndAlwaysRestartsTheClock) {
    game.SwitchTo(kOpted, Surface(1, 1));
    struct Case {
        bool up;
        std::uint8_t state;
        bool giveUp;
        int option;
        std::uint8_t stateAfter;
        int elapsedAfter;
    };
    const Case cases[] = {
        {true, kStateReady, true, 2, kStateReady, 0},
        {true, kStateSolved, true, 3, kStateReady, 0},
        {true, kStateReady, true, 3, kStateReady, 0},     // the top of the range: only the clock
        {true, kStateInPlay, true, 3, kStateInPlay, 0},   // given up, nothing new: plays on from 0
        {false, kStateInPlay, false, 3, kStateInPlay, 9}, // kept on: nothing at all
        {false, kStateInPlay, true, 2, kStateReady, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "up " << c.up << " state " << int(c.state));
        game.Session(kOpted) = {c.state, 9};
        shell.giveUp = c.giveUp;
        game.Option(c.up);
        EXPECT_EQ(game.OptionOf(kOpted), c.option);
        EXPECT_EQ(game.Session(kOpted).State, c.stateAfter);
        EXPECT_EQ(game.Session(kOpted).Elapsed, c.elapsedAfter);
        EXPECT_TRUE(shell.timerOn);
    }
    // A puzzle without option keeps its clock.
    game.SwitchTo(kPlain, Surface(1, 1));
    game.Session(kPlain) = {kStateReady, 4};
    game.Option(true);
    EXPECT_EQ(game.Session(kPlain).Elapsed, 4);
}

TEST_F(GameRules, ASolveIsCelebratedOnceWithTheTimeUpToTheSolvingMove) {
    game.LeftClick(5, 5);
    clock.Advance(milliseconds(3000));  // the player thinks
    StandIn(kPlain).solves = true;
    game.LeftClick(5, 5);  // and solves, before any tick
    game.LeftClick(5, 5);
    EXPECT_EQ(game.Session(kPlain).State, kStateSolved);
    EXPECT_EQ(shell.log, (Log{"sound 1", "solved", "highscores plai 16"}));
    Play(milliseconds(5000));
    EXPECT_EQ(game.Session(kPlain).Elapsed, 16);
}

// A hint since the last Mix, or the last new size, takes the entry away but
// nothing else: the solved sequence plays, the clock counted on.
TEST_F(GameRules, ASolveAfterAHintOpensTheTableWithoutAnEntry) {
    struct Case {
        const char* name;
        int puzzle;
        bool hint;
        const char* between;  // what happens after the hint
        std::string table;
    };
    const Case cases[] = {
        {"no hint", kPlain, false, "", "highscores plai 16"},
        {"hint", kPlain, true, "", "highscores plai 0"},
        {"hint then Mix", kPlain, true, "mix", "highscores plai 16"},
        {"hint then new size", kOpted, true, "option up", "highscores opts2 16"},
        {"hint, size at its end", kOpted, true, "option down", "highscores opts1 0"},
        {"hint on the other puzzle", kPlain, true, "switch", "highscores plai 16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.puzzle != kPlain) game.SwitchTo(c.puzzle, Surface(1, 1));
        const std::string between = c.between;
        if (between == "switch") {
            game.SwitchTo(kOpted, Surface(1, 1));
            game.NoteHintShown();
            game.SwitchTo(kPlain, Surface(1, 1));
        } else if (c.hint) {
            game.NoteHintShown();
        }
        if (between == "mix") game.Mix();
        if (between == "option up") game.Option(true);
        if (between == "option down") game.Option(false);
        EXPECT_EQ(game.HintShown(), c.table.ends_with(" 0"));
        game.LeftClick(5, 5);
        Play(milliseconds(3000));
        StandIn(c.puzzle).solves = true;
        shell.log.clear();
        game.LeftClick(5, 5);
        EXPECT_EQ(shell.log, (Log{"sound 1", "solved", c.table}));
        EXPECT_EQ(game.Session(c.puzzle).State, kStateSolved);
        EXPECT_EQ(game.Session(c.puzzle).Elapsed, 16);  // the clock ran on through the hint
    }
}

TEST_F(GameRules, TableKeysNameThePuzzleAndItsOption) {
    game.MakeTableKey();
    EXPECT_EQ(game.TableKey(), "plai");
    game.SwitchTo(kOpted, Surface(1, 1));
    for (auto [stored, key] : {std::pair{2, "opts2"}, {0, "opts1"}, {7, "opts3"}}) {
        game.SetOption(kOpted, stored);  // stored values outside the range are clamped
        game.MakeTableKey();
        EXPECT_EQ(game.TableKey(), key);
    }
}

// Wakes every pause `late` after its time, as a busy system does.
class LateClock : public test::FakePlayClock {
public:
    void SleepUntil(TimePoint until) override { now = std::max(now, until) + late; }
    Duration late = milliseconds(3);
};

TEST(GamePacing, AMovesPausesAddUpToWhatItAskedFor) {
    FakeShell shell;
    LateClock clock;
    Game game(shell, kRecords);
    game.UseClock(clock);
    const auto start = clock.Now();
    for (int frame = 0; frame < 5; ++frame) game.Pause(30);
    // Only the last wake-up's lateness remains.
    EXPECT_EQ(clock.Now() - start, milliseconds(150 + 3));
    // A pause long after the move waits its full time again.
    clock.Advance(milliseconds(1000));
    const auto later = clock.Now();
    game.Pause(30);
    EXPECT_EQ(clock.Now() - later, milliseconds(30 + 3));
}

}  // namespace
}  // namespace qg
