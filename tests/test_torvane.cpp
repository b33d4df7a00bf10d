// TORVANE: plate turns, the hit test, new targets, the frames of a move and
// the solved signal, checked on the board array and on the screen's pixels.
// With QG_DUMP_DIR set, the drawn boards are written there as PNG files.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "puzzles/Torvane.h"
#include "tests/FakeHost.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

using test::ChangedOutside;
using test::Dump;
using test::FakeHost;
using test::HostEvent;
using test::SameScreen;

const Surface& TorvaneSheet() { return test::SheetOf(kTorvaneRecord); }

// "1122 1122 3344 3344": columns 0 to 3, each top to bottom.
TorvaneColours Colours(std::string_view text) {
    TorvaneColours out{};
    int cell = 0;
    for (char c : text)
        if (c != ' ') At(out, cell++) = static_cast<std::uint8_t>(c - '0');
    return out;
}

std::string Text(const TorvaneColours& colours) {
    std::string out;
    for (int i = 0; i < kTorvaneCells; ++i) {
        if (i > 0 && i % 4 == 0) out += ' ';
        out += static_cast<char>('0' + At(colours, i));
    }
    return out;
}

// The colour whose sprite (picture through the shared mask) is shown with its
// top-left corner at (x, y), or 0. Only pixels inside the outline are compared,
// so neighbouring pieces may overlap the box.
int SpriteShownAt(const Surface& screen, int x, int y, int size, int maskX, int (*pictureX)(int)) {
    const Surface& sheet = TorvaneSheet();
    for (int colour = 1; colour <= 4; ++colour) {
        bool all = true;
        for (int v = 0; v < size && all; ++v)
            for (int u = 0; u < size && all; ++u)
                if (sheet.pixel(maskX + u, kTorvaneSpriteRow + v) == 0xFF000000u)
                    all = screen.pixel(x + u, y + v) == sheet.pixel(pictureX(colour) + u, kTorvaneSpriteRow + v);
        if (all) return colour;
    }
    return 0;
}

int PieceShownAt(const Surface& screen, int centreX, int centreY) {
    const int half = kTorvanePieceSize / 2;
    return SpriteShownAt(screen, centreX - half, centreY - half, kTorvanePieceSize, kTorvanePieceMaskX,
                         [](int c) { return TorvanePieceSheetX(c); });
}

int TileShownAt(const Surface& screen, int i, int j) {
    return SpriteShownAt(screen, kTorvaneTileLeft + kTorvaneTileStep * i, kTorvaneTileTop + kTorvaneTileStep * j,
                         kTorvaneTileSize, kTorvaneTileMaskX, [](int c) { return TorvaneTileSheetX(c); });
}

// What the player sees on the grid and in the target, read from the pixels.
TorvaneColours BoardShown(const Surface& screen) {
    TorvaneColours out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            At(out, TorvaneCell(i, j)) =
                static_cast<std::uint8_t>(PieceShownAt(screen, TorvanePieceCentreX(i), TorvanePieceCentreY(j)));
    return out;
}

TorvaneColours TargetShown(const Surface& screen) {
    TorvaneColours out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            At(out, TorvaneCell(i, j)) = static_cast<std::uint8_t>(TileShownAt(screen, i, j));
    return out;
}

// Pixels of r outside the outlines of pieces centred at `centres` that differ
// from the sheet's background: left-overs of a piece that moved on.
int StrayPixels(const Surface& screen, const Rect& r, const std::vector<std::pair<int, int>>& centres) {
    const Surface& sheet = TorvaneSheet();
    const int half = kTorvanePieceSize / 2;
    int stray = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            bool covered = false;
            for (const auto& [cx, cy] : centres) {
                const int u = x - (cx - half), v = y - (cy - half);
                if (u >= 0 && v >= 0 && u < kTorvanePieceSize && v < kTorvanePieceSize &&
                    sheet.pixel(kTorvanePieceMaskX + u, kTorvaneSpriteRow + v) == 0xFF000000u)
                    covered = true;
            }
            if (!covered && screen.pixel(x, y) != sheet.pixel(x, y)) ++stray;
        }
    return stray;
}

class TorvaneTest : public ::testing::Test {
protected:
    TorvaneTest() : host(TorvaneSheet()), puzzle(host) {}

    // A prepared game showing `board` and `target`, drawn, with the record cleared.
    void Show(std::string_view board, std::string_view target) {
        puzzle.SetPosition(Colours(board), Colours(target));
        puzzle.Draw();
        host.Clear();
    }
    void Press(bool left, int x, int y) { test::Press(puzzle, left, x, y); }

    FakeHost host;
    Torvane puzzle;
};

// Pattern 32: every plate carries four different colours.
constexpr std::string_view kFourColoursOnEveryPlate = "1212 3434 1212 3434";
constexpr std::string_view kOtherTarget = "1111 2222 3333 4444";

TEST(TorvaneTables, PatternsHoldFourOfEachColour) {
    for (int n = 1; n <= kTorvanePatternCount; ++n) {
        const TorvaneColours p = TorvanePattern(n);
        for (int colour = 1; colour <= 4; ++colour)
            EXPECT_EQ(std::count(p.begin(), p.end(), colour), 4) << "pattern " << n << " colour " << colour;
    }
    EXPECT_EQ(Text(TorvanePattern(1)), "1122 1122 3344 3344");
    EXPECT_EQ(Text(TorvanePattern(50)), "1111 3422 3442 3342");
}

// Slot cells lie at the rest offsets round the hub, and every frame keeps the
// pieces inside the plate square, which holds no piece of another plate.
TEST(TorvaneTables, PlatesFramesAndCellsAgree) {
    for (int k = 0; k < kTorvanePlateCount; ++k) {
        const TorvanePlate& p = At(kTorvanePlates, k);
        const Rect square = TorvanePlateSquare(k);
        for (std::size_t s = 0; s < 4; ++s) {
            const int cell = p.slotCell[s];
            EXPECT_EQ(TorvanePieceCentreX(cell / 4), p.hubX + kTorvaneTurnFrames[0][s].dx) << "plate " << k;
            EXPECT_EQ(TorvanePieceCentreY(cell % 4), p.hubY + kTorvaneTurnFrames[0][s].dy) << "plate " << k;
            for (const auto& frame : kTorvaneTurnFrames) {
                const int left = p.hubX + frame[s].dx - kTorvanePieceSize / 2;
                const int top = p.hubY + frame[s].dy - kTorvanePieceSize / 2;
                EXPECT_TRUE(left >= square.x && top >= square.y && left + kTorvanePieceSize <= square.x + square.w &&
                            top + kTorvanePieceSize <= square.y + square.h);
            }
        }
        for (int cell = 0; cell < kTorvaneCells; ++cell) {
            if (std::find(p.slotCell.begin(), p.slotCell.end(), cell) != p.slotCell.end()) continue;
            const int left = TorvanePieceCentreX(cell / 4) - kTorvanePieceSize / 2;
            const int top = TorvanePieceCentreY(cell % 4) - kTorvanePieceSize / 2;
            const bool apart = left + kTorvanePieceSize <= square.x || left >= square.x + square.w ||
                               top + kTorvanePieceSize <= square.y || top >= square.y + square.h;
            EXPECT_TRUE(apart) << "cell " << cell << " reaches into plate " << k;
        }
        EXPECT_FALSE(square.x < kTorvaneTargetRect.x + kTorvaneTargetRect.w && kTorvaneTargetRect.x < square.x + square.w &&
                     square.y < kTorvaneTargetRect.y + kTorvaneTargetRect.h && kTorvaneTargetRect.y < square.y + square.h);
    }
}

// Left turns anticlockwise (top-left piece to bottom-left), right clockwise.
TEST_F(TorvaneTest, EachPlateTurnsItsFourPiecesAQuarterTurn) {
    struct Case {
        int plate;
        bool left;
        std::string_view after;
    };
    const Case cases[] = {
        {0, true, "3112 4234 1212 3434"}, {0, false, "2412 1334 1212 3434"},
        {1, true, "1212 3434 3112 4234"}, {1, false, "1212 3434 2412 1334"},
        {2, true, "1212 3244 1132 3434"}, {2, false, "1212 3314 1422 3434"},
        {3, true, "1231 3442 1212 3434"}, {3, false, "1224 3413 1212 3434"},
        {4, true, "1212 3434 1231 3442"}, {4, false, "1212 3434 1224 3413"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "plate " << c.plate << (c.left ? " left" : " right"));
        Show(kFourColoursOnEveryPlate, kOtherTarget);
        const TorvanePlate& p = At(kTorvanePlates, c.plate);
        Press(c.left, p.hubX, p.hubY);
        EXPECT_EQ(Text(puzzle.Board()), c.after);
        EXPECT_EQ(Text(BoardShown(host.Screen())), c.after);
        EXPECT_EQ(Text(puzzle.Target()), kOtherTarget);
    }
}

TEST_F(TorvaneTest, TurnsUndoEachOtherOnBoardAndScreen) {
    struct Case {
        const char* name;
        std::vector<bool> presses;  // true: left button
    };
    const Case cases[] = {
        {"left then right", {true, false}},
        {"right then left", {false, true}},
        {"four left", {true, true, true, true}},
        {"four right", {false, false, false, false}},
    };
    for (const Case& c : cases)
        for (int k = 0; k < kTorvanePlateCount; ++k) {
            SCOPED_TRACE(::testing::Message() << c.name << " on plate " << k);
            Show("4321 3214 2143 1432", kOtherTarget);
            const Surface before = host.Screen();
            const TorvanePlate& p = At(kTorvanePlates, k);
            for (bool left : c.presses) Press(left, p.hubX + 7, p.hubY - 11);
            EXPECT_EQ(Text(puzzle.Board()), "4321 3214 2143 1432");
            EXPECT_TRUE(SameScreen(before, host.Screen()));
        }
}

// Strict bounds: up to 19 px from a hub on both axes turns that plate,
// 20 px or anything between the hubs does nothing at all.
TEST_F(TorvaneTest, OnlyPressesNearAHubTurnAPlate) {
    struct Case {
        int x, y;
        std::optional<int> plate;
    };
    constexpr std::nullopt_t none = std::nullopt;
    const std::pair<int, int> hits[] = {{19, 19}, {-19, -19}, {19, -19}, {-19, 19}, {0, 0}};
    const std::pair<int, int> misses[] = {{20, 0}, {-20, 0}, {0, 20}, {0, -20}, {20, 20}, {-20, 19}, {19, -20}};
    std::vector<Case> cases;
    for (int k = 0; k < kTorvanePlateCount; ++k) {
        const TorvanePlate& p = At(kTorvanePlates, k);
        for (auto [dx, dy] : hits) cases.push_back({p.hubX + dx, p.hubY + dy, k});
        for (auto [dx, dy] : misses) cases.push_back({p.hubX + dx, p.hubY + dy, none});
    }
    const Case between[] = {
        {165, 105, none}, {105, 165, none}, {135, 135, none}, {195, 195, none},  // between hubs
        {75, 75, none},   {51, 99, none},   {285, 285, none},                    // on pieces
        {400, 100, none}, {400, 300, none}, {-1, -1, none},   {INT_MAX, INT_MIN, none}, {INT_MIN, INT_MAX, none},
    };
    cases.insert(cases.end(), std::begin(between), std::end(between));

    for (const Case& c : cases)
        for (bool left : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "press at " << c.x << "," << c.y << (left ? " left" : " right"));
            EXPECT_EQ(Torvane::PlateAt(c.x, c.y), c.plate);
            Show(kFourColoursOnEveryPlate, kOtherTarget);
            host.state = kStateReady;
            Press(left, c.x, c.y);
            if (!c.plate) {
                EXPECT_EQ(host.Trace(), "");
                EXPECT_EQ(host.state, kStateReady);
                EXPECT_EQ(Text(puzzle.Board()), kFourColoursOnEveryPlate);
            } else {
                ASSERT_FALSE(host.events.empty());
                EXPECT_EQ(host.events.back().rect, TorvanePlateSquare(*c.plate));
                EXPECT_EQ(host.state, kStateInPlay);
            }
        }
}

// Every frame of a move shows the plate's pieces at that frame's offsets and
// nothing else in the plate square; nothing outside the square changes.
// Left: frames 1..5 with the pieces still in their old slots, then frame 0
// with them moved. Right: moved first, frames 5..1, then 0.
TEST_F(TorvaneTest, MoveShowsItsFramesInOrder) {
    for (int k = 0; k < kTorvanePlateCount; ++k)
        for (bool left : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "plate " << k << (left ? " left" : " right"));
            Show(kFourColoursOnEveryPlate, kOtherTarget);
            const Surface before = host.Screen();
            const TorvaneColours old = puzzle.Board();
            const TorvanePlate& p = At(kTorvanePlates, k);
            Press(left, p.hubX - 19, p.hubY + 19);
            const TorvaneColours moved = puzzle.Board();

            EXPECT_EQ(host.Trace(), "S4 F P30 F P30 F P30 F P30 F P30 F");
            const auto frames = host.Only(HostEvent::Present);
            ASSERT_EQ(frames.size(), 6u);
            const int expectedFrame[2][6] = {{5, 4, 3, 2, 1, 0}, {1, 2, 3, 4, 5, 0}};
            for (std::size_t e = 0; e < frames.size(); ++e) {
                const int f = expectedFrame[left][e];
                SCOPED_TRACE(::testing::Message() << "shown frame " << e << " (offsets of frame " << f << ")");
                const Surface& screen = frames[e]->screen;
                EXPECT_EQ(frames[e]->rect, TorvanePlateSquare(k));
                const TorvaneColours& shown = (left && f != 0) ? old : moved;
                std::vector<std::pair<int, int>> centres;
                for (std::size_t s = 0; s < 4; ++s) {
                    const int cx = p.hubX + At(kTorvaneTurnFrames, f)[s].dx;
                    const int cy = p.hubY + At(kTorvaneTurnFrames, f)[s].dy;
                    centres.push_back({cx, cy});
                    EXPECT_EQ(PieceShownAt(screen, cx, cy), At(shown, p.slotCell[s])) << "slot " << s;
                }
                EXPECT_EQ(StrayPixels(screen, TorvanePlateSquare(k), centres), 0);
                EXPECT_EQ(ChangedOutside(before, screen, TorvanePlateSquare(k)), 0);
                if (k == 2 && e == 2) Dump(screen, left ? "torvane_turn_left" : "torvane_turn_right");
            }
        }
}

TEST_F(TorvaneTest, DrawShowsBoardAndTargetInOnePresent) {
    struct Case {
        const char* name;
        std::string_view board, target;
    };
    const Case cases[] = {
        {"pattern 1 on 32", "1122 1122 3344 3344", kFourColoursOnEveryPlate},
        {"recoloured 10 on 3", "2134 1342 3421 4213", kOtherTarget},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.Screen().fill(0xFF000000u);
        puzzle.SetPosition(Colours(c.board), Colours(c.target));
        host.Clear();
        puzzle.Draw();
        EXPECT_EQ(host.Trace(), "F");
        EXPECT_EQ(host.events[0].rect, (Rect{0, 0, kBoardWidth, kBoardHeight}));
        const Surface& screen = host.events[0].screen;
        EXPECT_EQ(Text(BoardShown(screen)), c.board);
        EXPECT_EQ(Text(TargetShown(screen)), c.target);
        std::vector<std::pair<int, int>> centres;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) centres.push_back({TorvanePieceCentreX(i), TorvanePieceCentreY(j)});
        // The table around the grid, and a strip beside the target, show the background.
        EXPECT_EQ(StrayPixels(screen, {0, 0, 330, kBoardHeight}, centres), 0);
        EXPECT_EQ(StrayPixels(screen, {330, 180, 170, 153}, {}), 0);
        Dump(screen, "torvane_board");
    }
}

// Before the first set-up the cells are empty: the bare table is drawn.
TEST_F(TorvaneTest, DrawBeforeSetUpShowsTheEmptyTable) {
    puzzle.Draw();
    EXPECT_EQ(StrayPixels(host.Screen(), {0, 0, kBoardWidth, kBoardHeight}, {}), 0);
}

TEST_F(TorvaneTest, NewTargetPaintsOnlyTheTargetArea) {
    host.script = {0, 0, 2, 0};  // board pattern 1, target pattern 3
    puzzle.Prepare();
    puzzle.Draw();
    const Surface before = host.Screen();
    host.Clear();
    host.script = {31, 5};  // pattern 32, colours 1 4 3 2
    puzzle.Shuffle();
    EXPECT_EQ(host.Trace(), "");  // Shuffle draws nothing
    puzzle.DrawTarget();
    EXPECT_EQ(host.Trace(), "F");
    EXPECT_EQ(host.events[0].rect, kTorvaneTargetRect);
    EXPECT_EQ(Text(TargetShown(host.Screen())), "1414 3232 1414 3232");
    EXPECT_EQ(Text(BoardShown(host.Screen())), "1122 1122 3344 3344");
    EXPECT_EQ(ChangedOutside(before, host.Screen(), kTorvaneTargetRect), 0);
}

TEST_F(TorvaneTest, SetUpMakesBoardAndTargetFromTwoPatterns) {
    struct Case {
        const char* name;
        std::deque<int> script;
        std::string_view board, target;
        int lastPattern;
        std::vector<int> asked;
    };
    const Case cases[] = {
        {"plain colours", {0, 0, 1, 0}, "1122 1122 3344 3344", "1324 1324 1324 1324", 2, {50, 24, 50, 24}},
        {"last ordering reverses", {2, 23, 2, 2, 49, 0}, "4444 3333 2222 1111", "1111 3422 3442 3342", 50,
         {50, 24, 50, 50, 50, 24}},
        {"swap 1 and 3", {8, 0, 18, 14}, "2441 2441 2331 2331", "2441 2441 2331 2331", 19, {50, 24, 50, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost h(TorvaneSheet());
        Torvane t(h);
        h.script = c.script;
        t.Prepare();
        EXPECT_EQ(Text(t.Board()), c.board);
        EXPECT_EQ(Text(t.Target()), c.target);
        EXPECT_EQ(t.LastPattern(), c.lastPattern);
        EXPECT_EQ(h.randomArgs, c.asked);
        EXPECT_EQ(h.Trace(), "");  // draws nothing, and no solved test
        EXPECT_EQ(h.state, kStateReady);
    }
}

// Each of the 24 orderings of the colours comes from exactly one value of Random(24).
TEST_F(TorvaneTest, RecolouringReachesEveryOrderingOnce) {
    std::set<std::string> orderings;
    for (int r = 0; r < 24; ++r) {
        host.script = {2, r};  // pattern 3: column i holds colour i + 1
        puzzle.Shuffle();
        const TorvaneColours t = puzzle.Target();
        orderings.insert(std::string{char('0' + t[0]), char('0' + t[4]), char('0' + t[8]), char('0' + t[12])});
        EXPECT_EQ(Text(t), std::string(4, char('0' + t[0])) + ' ' + std::string(4, char('0' + t[4])) + ' ' +
                               std::string(4, char('0' + t[8])) + ' ' + std::string(4, char('0' + t[12])));
        host.script = {0, 0};  // pattern 1 in between, so pattern 3 may come again
        puzzle.Shuffle();
    }
    EXPECT_EQ(orderings.size(), 24u);
    EXPECT_TRUE(orderings.count("1234"));
}

// Many targets from the seeded generator: never the previous pattern number,
// always a recolouring of the pattern it names, all patterns and orderings in use.
TEST_F(TorvaneTest, NewTargetNeverRepeatsThePatternNumber) {
    host.script = {0, 0, 1, 0};
    puzzle.Prepare();
    const TorvaneColours board = puzzle.Board();
    std::set<int> patterns;
    std::set<std::array<int, 4>> orderings;
    int previous = puzzle.LastPattern();
    for (int round = 0; round < 3000; ++round) {
        puzzle.Shuffle();
        const int n = puzzle.LastPattern();
        ASSERT_NE(n, previous);
        ASSERT_GE(n, 1);
        ASSERT_LE(n, kTorvanePatternCount);
        previous = n;
        patterns.insert(n);

        const TorvaneColours target = puzzle.Target();
        const TorvaneColours pattern = TorvanePattern(n);
        std::array<int, 4> q{};  // q[v - 1]: new colour of pattern colour v
        for (int i = 0; i < kTorvaneCells; ++i) {
            int& slot = At(q, At(pattern, i) - 1);
            if (slot == 0) slot = At(target, i);
            ASSERT_EQ(slot, At(target, i)) << "round " << round << " is not a recolouring";
        }
        for (int colour = 1; colour <= 4; ++colour) ASSERT_EQ(std::count(target.begin(), target.end(), colour), 4);
        orderings.insert(q);
    }
    EXPECT_EQ(patterns.size(), static_cast<std::size_t>(kTorvanePatternCount));
    EXPECT_EQ(orderings.size(), 24u);
    EXPECT_EQ(puzzle.Board(), board);  // a new target leaves the board alone
    EXPECT_EQ(host.Trace(), "");
}

// A target that happens to equal the board counts only after a turn; after
// solving, turns still animate with sound but signal nothing new.
TEST_F(TorvaneTest, SolvedAfterATurnAndOnlyOnce) {
    host.script = {8, 0, 18, 14};  // board and target the same picture
    puzzle.Prepare();
    puzzle.Draw();
    host.Clear();

    const std::string move = "S4 F P30 F P30 F P30 F P30 F P30 F";
    puzzle.LeftClick(225, 105);
    EXPECT_EQ(host.Trace(), move) << "equal from the start, but no solve before a turn makes it";
    EXPECT_EQ(host.solvedCalls, 0);
    EXPECT_EQ(host.state, kStateInPlay);
    host.Clear();
    puzzle.RightClick(225, 105);
    EXPECT_EQ(host.Trace(), move + " V");
    EXPECT_EQ(host.solvedCalls, 1);
    EXPECT_EQ(host.solvedCount, 1);
    EXPECT_EQ(host.state, kStateSolved);
    // The final frame is drawn before the solved sequence starts.
    EXPECT_EQ(Text(BoardShown(host.Only(HostEvent::Present).back()->screen)), "2441 2441 2331 2331");

    // Away and back once solved: TORVANE reports the solve again and the
    // shell, already in State 3, makes nothing of it.
    for (bool left : {true, false}) {
        host.Clear();
        Press(left, 105, 225);
        EXPECT_EQ(host.Trace(), left ? move : move + " V");
        EXPECT_EQ(host.state, kStateSolved);
    }
    EXPECT_EQ(host.solvedCalls, 2);
    EXPECT_EQ(host.solvedCount, 1);
    EXPECT_TRUE(puzzle.IsSolved());
}

}  // namespace
}  // namespace qg
