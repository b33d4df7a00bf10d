// CIRRELA: ring layouts, shifts, shuffling, the choice of ring, the frames of
// both rolls on the screen, the pattern preview and the session state.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "puzzles/Cirrela.h"
#include "tests/FakeHost.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

using test::FakeHost;
using test::HostEvent;

const CirrelaLevelRow& Params(int level) { return At(CirrelaLevelParams, level - 1); }
const CirrelaRing& RingOf(int level, int ring) { return At(At(CirrelaRings, level - 1), ring); }
int CellAt(int level, int ring, int pos) { return At(RingOf(level, ring), pos); }

// The sheet as the file holds it, loaded once; every board gets a fresh copy,
// as the shell loads a fresh one on every switch.
const Surface& FileSheet() { return test::SheetOf(kCirrelaRecord); }

struct Board {
    explicit Board(int level) : host(FileSheet()), puzzle(host) { puzzle.SetLevel(level); }
    FakeHost host;
    Cirrela puzzle;
};

// The colours along one ring, position 0 first.
std::vector<int> Along(const CirrelaBalls& balls, int level, int ring) {
    std::vector<int> out;
    for (int j = 0; j < Params(level).balls; ++j) out.push_back(At(balls, CellAt(level, ring, j)));
    return out;
}
void SetAlong(CirrelaBalls& balls, int level, int ring, const std::vector<int>& colours) {
    for (int j = 0; j < Params(level).balls; ++j)
        At(balls, CellAt(level, ring, j)) = static_cast<std::uint8_t>(At(colours, j));
}
// A counterclockwise roll in the test's own terms: every colour one position on.
CirrelaBalls Rolled(CirrelaBalls balls, int level, int ring, bool counterclockwise) {
    std::vector<int> c = Along(balls, level, ring);
    if (counterclockwise) std::rotate(c.rbegin(), c.rbegin() + 1, c.rend());
    else std::rotate(c.begin(), c.begin() + 1, c.end());
    SetAlong(balls, level, ring, c);
    return balls;
}

// --- Pixels -----------------------------------------------------------------

struct Ball {
    int x, y, colour;
};

// The balls of a frame in the order they are drawn: ring 0 then ring 1, the
// moving ring turned by `frame` thirds of a step and alone drawing the crossings.
std::vector<Ball> ExpectedBalls(int level, const CirrelaBalls& balls, int movingRing, int frame) {
    const CirrelaLevelRow& p = Params(level);
    const int centreX[2] = {178, 320};
    std::vector<Ball> out;
    for (int ring = 0; ring < 2; ++ring) {
        for (int j = 0; j < p.balls; ++j) {
            const int cell = CellAt(level, ring, j);
            const bool crossing = (ring == 0 && (j == 0 || j == 3 * p.balls / 4)) ||
                                  (ring == 1 && (j == p.balls / 4 || j == p.balls / 2));
            if (ring != movingRing && crossing) continue;
            const double degrees = 45.0 + 360.0 * j / p.balls + (ring == movingRing ? frame * 120.0 / p.balls : 0.0);
            const double rad = degrees * std::numbers::pi / 180.0;
            out.push_back({centreX[ring] + static_cast<int>(std::lround(100 * std::cos(rad))),
                           166 - static_cast<int>(std::lround(100 * std::sin(rad))), At(balls, cell)});
        }
    }
    return out;
}

std::uint32_t SpritePixel(const Surface& sheet, int level, int colour, int u, int v) {
    const CirrelaLevelRow& p = Params(level);
    return sheet.pixel(p.rowX + (colour - 1) * p.ballSize + u, p.rowY + v);
}

// Checks every pixel of a ring-area picture against the balls that should be
// on it: a ball covers the pixels where its level's mask is black, and where
// balls overlap the later one lies on top. A covered pixel shows the top
// ball's sprite, any other the sheet's background (with the preview painted
// in). Returns how many pixels lay under two balls at once.
int ExpectRings(const Surface& screen, const Surface& sheet, int level, const std::vector<Ball>& balls) {
    const CirrelaLevelRow& p = Params(level);
    const int s = p.ballSize, h = s / 2;
    int wrong = 0, overlaps = 0;
    for (int y = 30; y < 300; ++y) {
        for (int x = 50; x < 450; ++x) {
            const Ball* top = nullptr;
            int under = 0;
            for (const Ball& b : balls) {
                const int u = x - b.x + h, v = y - b.y + h;
                if (u < 0 || v < 0 || u >= s || v >= s) continue;
                if (sheet.pixel(p.rowX + 4 * s + u, p.rowY + v) != 0xFF000000u) continue;
                top = &b;
                ++under;
            }
            overlaps += under > 1;
            const std::uint32_t want =
                top ? SpritePixel(sheet, level, top->colour, x - top->x + h, y - top->y + h) : sheet.pixel(x, y);
            if (screen.pixel(x, y) != want && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << (top ? " of a ball" : " of the background");
        }
    }
    EXPECT_EQ(wrong, 0);
    return overlaps;
}

// --- Layouts ----------------------------------------------------------------

TEST(CirrelaLayout, RingsShareExactlyTheTwoCrossingCells) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        const CirrelaLevelRow& p = Params(level);
        const int n = p.balls;
        EXPECT_EQ(p.cells, 2 * n - 2);
        EXPECT_DOUBLE_EQ(p.angleStep * n, 360.0);
        EXPECT_DOUBLE_EQ(p.frameStep * 3, p.angleStep);
        EXPECT_EQ(CellAt(level, 1, n / 4), 0);
        EXPECT_EQ(CellAt(level, 1, n / 2), p.lowerCrossing);
        EXPECT_EQ(CellAt(level, 0, 3 * n / 4), p.lowerCrossing);

        std::vector<int> seen(kCirrelaMaxCells, 0);
        for (int j = 0; j < n; ++j) {
            EXPECT_EQ(CellAt(level, 0, j), j);
            ++At(seen, CellAt(level, 0, j));
            ++At(seen, CellAt(level, 1, j));
        }
        // Every cell of the level lies on a ring, only the crossings on both;
        // no cell beyond the level's count is used.
        for (int cell = 0; cell < kCirrelaMaxCells; ++cell) {
            const bool crossing = cell == 0 || cell == p.lowerCrossing;
            EXPECT_EQ(At(seen, cell), cell >= p.cells ? 0 : crossing ? 2 : 1) << "cell " << cell;
        }
    }
}

TEST(CirrelaLayout, TargetIsThePatternAlongTheRings) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        const int n = Params(level).balls;
        std::vector<int> ring1, ring2;
        for (int j = 0; j < n; ++j) {
            ring1.push_back(j == 0 ? 3 : j < n / 2 ? 1 : 2);
            ring2.push_back(j < n / 2 ? 3 : j == n / 2 ? 2 : 4);
        }
        const CirrelaBalls& target = At(CirrelaTarget, level - 1);
        EXPECT_EQ(Along(target, level, 0), ring1);
        EXPECT_EQ(Along(target, level, 1), ring2);
        for (int cell = Params(level).cells; cell < kCirrelaMaxCells; ++cell) EXPECT_EQ(At(target, cell), 0);

        Board b(level);
        EXPECT_EQ(b.puzzle.Balls(), target);
        EXPECT_TRUE(b.puzzle.IsSolved());
    }
}

// --- Shifts and moves ----------------------------------------------------------

struct RingCase {
    int level, ring;
};
const RingCase kRingCases[] = {{1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1}, {4, 0}, {4, 1}};

TEST(CirrelaMoves, LeftRollsCounterclockwiseRightClockwiseAndTheyUndoEachOther) {
    for (const RingCase& c : kRingCases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " ring " << c.ring);
        Board b(c.level);
        b.host.recordFrames = false;
        b.puzzle.Shuffle();
        const CirrelaBalls start = b.puzzle.Balls();
        const int x = c.ring == 0 ? 120 : 380;

        b.puzzle.LeftClick(x, 166);
        EXPECT_EQ(b.puzzle.Balls(), Rolled(start, c.level, c.ring, true));
        b.puzzle.RightClick(x, 166);
        EXPECT_EQ(b.puzzle.Balls(), start);
        b.puzzle.RightClick(x, 166);
        EXPECT_EQ(b.puzzle.Balls(), Rolled(start, c.level, c.ring, false));
        b.puzzle.LeftClick(x, 166);
        EXPECT_EQ(b.puzzle.Balls(), start);

        for (int i = 0; i < Params(c.level).balls; ++i) b.puzzle.LeftClick(x, 166);
        EXPECT_EQ(b.puzzle.Balls(), start);
        for (int i = 0; i < Params(c.level).balls; ++i) b.puzzle.RightClick(x, 166);
        EXPECT_EQ(b.puzzle.Balls(), start);
    }
}

TEST(CirrelaMoves, LeftPressOnTheLeftRingOfTheSolvedFirstLevel) {
    Board b(1);
    b.puzzle.LeftClick(100, 166);
    const CirrelaBalls& balls = b.puzzle.Balls();
    EXPECT_EQ(balls[1], 3);  // from the upper crossing
    EXPECT_EQ(balls[0], 2);  // from cell 11
    EXPECT_EQ(Along(balls, 1, 1)[3], 2);
    EXPECT_FALSE(b.puzzle.IsSolved());
    EXPECT_EQ(b.host.solvedCount, 0);

    // The player sees it: the ball on the upper crossing, ring 1's position 3
    // at 135 degrees, is now the yellow one.
    const Surface& screen = b.host.events.back().screen;
    EXPECT_EQ(screen.pixel(249, 95), SpritePixel(FileSheet(), 1, 2, 25, 25));
    EXPECT_NE(SpritePixel(FileSheet(), 1, 2, 25, 25), SpritePixel(FileSheet(), 1, 3, 25, 25));
}

TEST(CirrelaMoves, OnlyXChoosesTheRing) {
    struct Case {
        int x, y, ring;
    };
    const Case cases[] = {{249, 166, 0}, {250, 166, 1}, {249, 0, 0}, {250, 332, 1}, {0, 0, 0},
                          {0, 332, 0},   {499, 0, 1},   {499, 332, 1}, {178, 166, 0}, {320, 166, 1}};
    for (const Case& c : cases) {
        for (bool left : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.x << "," << c.y << (left ? " left" : " right"));
            Board b(2);
            b.host.recordFrames = false;
            b.puzzle.Shuffle();
            const CirrelaBalls start = b.puzzle.Balls();
            test::Press(b.puzzle, left, c.x, c.y);
            EXPECT_EQ(b.puzzle.Balls(), Rolled(start, 2, c.ring, left));
            EXPECT_EQ(b.host.Trace(), "S5 F P30 F P30 F");
        }
    }
}

// --- Frames on the screen ---------------------------------------------------

TEST(CirrelaFrames, BothRollsShowTheirFramesInOrder) {
    for (const RingCase& c : kRingCases) {
        for (bool left : {true, false}) {
            SCOPED_TRACE(testing::Message() << "level " << c.level << " ring " << c.ring << (left ? " left" : " right"));
            Board b(c.level);
            b.puzzle.Shuffle();
            const CirrelaBalls before = b.puzzle.Balls();
            const CirrelaBalls after = Rolled(before, c.level, c.ring, left);
            const int x = c.ring == 0 ? 60 : 440;
            if (left) b.puzzle.LeftClick(x, 20);
            else b.puzzle.RightClick(x, 20);

            ASSERT_EQ(b.host.Trace(), "S5 F P30 F P30 F");
            const auto frames = b.host.Only(HostEvent::Present);
            for (const HostEvent* f : frames) EXPECT_EQ(f->rect, (Rect{50, 30, 400, 270}));
            // Left: old colours a third and two thirds on, then the new board.
            // Right: new colours two thirds and a third back, then still.
            const int first = left ? 1 : 2, second = left ? 2 : 1;
            const CirrelaBalls& moving = left ? before : after;
            const int overlaps =
                ExpectRings(frames[0]->screen, b.host.Sheet(), c.level, ExpectedBalls(c.level, moving, c.ring, first)) +
                ExpectRings(frames[1]->screen, b.host.Sheet(), c.level, ExpectedBalls(c.level, moving, c.ring, second));
            ExpectRings(frames[2]->screen, b.host.Sheet(), c.level, ExpectedBalls(c.level, after, c.ring, 0));
            // The big balls of the first levels brush each other near the
            // crossings, so there the order of drawing is seen.
            if (c.level <= 2) {
                EXPECT_GT(overlaps, 0);
            }
        }
    }
}

TEST(CirrelaFrames, DrawShowsTheWholeBoardWithTheLeftRingOnTheCrossings) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        Board b(level);
        b.puzzle.Shuffle();
        b.host.Screen().fill(0xFF123456u);
        b.puzzle.Draw();
        ASSERT_EQ(b.host.Trace(), "F F");
        EXPECT_EQ(b.host.events[0].rect, (Rect{0, 0, 500, 333}));
        EXPECT_EQ(b.host.events[1].rect, (Rect{50, 30, 400, 270}));
        const Surface& screen = b.host.events[1].screen;
        ExpectRings(screen, b.host.Sheet(), level, ExpectedBalls(level, b.puzzle.Balls(), 0, 0));
        // Outside the ring area the board is the background itself.
        int wrong = 0;
        for (int y = 0; y < 333; ++y)
            for (int x = 0; x < 500; ++x)
                if ((x < 50 || x >= 450 || y < 30 || y >= 300) && screen.pixel(x, y) != FileSheet().pixel(x, y) &&
                    !(x >= 420 && x < 492 && y >= 8 && y < 53))
                    ++wrong;
        EXPECT_EQ(wrong, 0);
    }
}

// --- Shuffle ----------------------------------------------------------------

TEST(CirrelaShuffle, DrawsRingDirectionAndStepsInOrderFromTheSolvedBoard) {
    struct Case {
        int level, first;  // first: the Random(100) draw
    };
    for (const Case& c : {Case{1, 0}, Case{2, 3}, Case{3, 1}, Case{4, 0}, Case{4, 99}}) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " first draw " << c.first);
        Board b(c.level);
        b.puzzle.Shuffle();  // any earlier board must not matter
        b.host.randomArgs.clear();
        b.host.state = kStateInPlay;

        const int n = Params(c.level).balls;
        const int rounds = (c.first + 10) * c.level;
        b.host.script.push_back(c.first);
        CirrelaBalls expected = At(CirrelaTarget, c.level - 1);
        std::vector<int> args = {100};
        for (int r = 0; r < rounds; ++r) {
            const int ring = (r * 7 + 3) % 5 < 2 ? 0 : 1, backward = (r / 3) % 2, steps = (r * 13 + c.first) % n;
            b.host.script.insert(b.host.script.end(), {ring, backward, steps});
            args.insert(args.end(), {2, 2, n});
            for (int s = 0; s <= steps; ++s) expected = Rolled(expected, c.level, ring, backward == 0);
        }
        b.host.Clear();
        b.puzzle.Shuffle();

        EXPECT_TRUE(b.host.script.empty());
        EXPECT_EQ(b.host.randomArgs, args);
        EXPECT_EQ(b.puzzle.Balls(), expected);
        EXPECT_EQ(b.host.state, kStateReady);
        EXPECT_TRUE(b.host.events.empty()) << "shuffling draws nothing";
    }
}

// --- Level and preview ------------------------------------------------------

bool PreviewShows(const Surface& screen, int level) {
    for (int v = 0; v < 45; ++v)
        for (int u = 0; u < 72; ++u)
            if (screen.pixel(420 + u, 8 + v) != FileSheet().pixel(500 + u, 45 * (level - 1) + v)) return false;
    return true;
}

TEST(CirrelaLevel, PreviewsDifferFromEachOther) {
    for (int a = 1; a <= 4; ++a)
        for (int b = a + 1; b <= 4; ++b) {
            Board board(b);
            board.puzzle.Draw();
            EXPECT_FALSE(PreviewShows(board.host.Screen(), a)) << a << " and " << b;
        }
}

TEST(CirrelaLevel, ChangeOptionStepsWithinOneToFour) {
    struct Case {
        int from;
        bool up;
        int to;
    };
    for (const Case& c : {Case{1, true, 2}, Case{2, true, 3}, Case{3, true, 4}, Case{4, true, 4},
                          Case{4, false, 3}, Case{3, false, 2}, Case{2, false, 1}, Case{1, false, 1}}) {
        SCOPED_TRACE(testing::Message() << c.from << (c.up ? " up" : " down"));
        Board b(c.from);
        b.puzzle.Shuffle();
        b.puzzle.LeftClick(100, 100);
        const CirrelaBalls board = b.puzzle.Balls();
        b.host.Clear();
        b.host.randomArgs.clear();

        b.puzzle.ChangeOption(c.up);
        EXPECT_EQ(b.puzzle.Level(), c.to);
        if (c.to == c.from) {
            EXPECT_EQ(b.puzzle.Balls(), board);
            EXPECT_TRUE(b.host.events.empty());
            EXPECT_TRUE(b.host.randomArgs.empty());
            EXPECT_EQ(b.host.state, kStateInPlay);
            continue;
        }
        EXPECT_EQ(b.host.state, kStateReady);
        EXPECT_EQ(b.host.randomArgs.front(), 100);
        EXPECT_EQ(b.host.randomArgs[3], Params(c.to).balls);
        ASSERT_EQ(b.host.Trace(), "F F");
        const Surface& screen = b.host.events.back().screen;
        EXPECT_TRUE(PreviewShows(screen, c.to));
        ExpectRings(screen, b.host.Sheet(), c.to, ExpectedBalls(c.to, b.puzzle.Balls(), 0, 0));
    }
}

TEST(CirrelaLevel, PreviewComesBackOnAFreshlyLoadedSheet) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        Board b(level);
        b.puzzle.Prepare();
        b.puzzle.Draw();
        EXPECT_TRUE(PreviewShows(b.host.Screen(), level));
        // Away and back: the shell loads the sheet again from the file.
        b.host.Sheet() = FileSheet();
        b.host.Screen().fill(0xFF000000u);
        const CirrelaBalls board = b.puzzle.Balls();
        b.puzzle.Draw();
        EXPECT_TRUE(PreviewShows(b.host.Screen(), level));
        EXPECT_EQ(b.puzzle.Balls(), board);
    }
}

TEST(CirrelaLevel, SetLevelKeepsToTheRangeAndLaysOutItsBoard) {
    struct Case {
        int set, level;
    };
    for (const Case& c : {Case{0, 1}, Case{-7, 1}, Case{3, 3}, Case{5, 4}, Case{1000, 4}}) {
        SCOPED_TRACE(c.set);
        FakeHost host(FileSheet());
        Cirrela puzzle(host);
        puzzle.SetLevel(c.set);
        EXPECT_EQ(puzzle.Level(), c.level);
        EXPECT_EQ(puzzle.Balls(), At(CirrelaTarget, c.level - 1));
        puzzle.Draw();
        ExpectRings(host.Screen(), host.Sheet(), c.level, ExpectedBalls(c.level, puzzle.Balls(), 0, 0));
    }
}

// --- Session state and solving ----------------------------------------------

TEST(CirrelaState, SolvingIsReportedAfterEveryMove) {
    // From a solved board, out and back in: solved once, by the move that
    // brings the pattern back, and moves go on in the solved state.
    Board s(1);
    s.host.recordFrames = false;
    s.puzzle.LeftClick(10, 10);
    EXPECT_EQ(s.host.Trace(), "S5 F P30 F P30 F");
    s.host.Clear();
    s.puzzle.RightClick(10, 10);
    EXPECT_EQ(s.host.Trace(), "S5 F P30 F P30 F V");
    EXPECT_EQ(s.host.state, kStateSolved);
    s.host.Clear();
    s.puzzle.RightClick(400, 10);
    s.puzzle.LeftClick(400, 10);
    EXPECT_EQ(s.host.Trace(), "S5 F P30 F P30 F S5 F P30 F P30 F V");
    EXPECT_EQ(s.host.state, kStateSolved);
    EXPECT_EQ(s.host.solvedCount, 1);
}

}  // namespace
}  // namespace qg
