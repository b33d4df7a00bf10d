// PELLORA: the cell and lens tables, the hit test, the turns with their frames,
// shuffling, the solved signal and the board sizes, checked on the board and
// on the screen's pixels drawn from the generated b2.bmp.
// With QG_DUMP_DIR set, the drawn boards are written there as PNG files.

#include <gtest/gtest.h>

#include <QColor>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "puzzles/Pellora.h"
#include "tests/FakeHost.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

using test::ChangedInside;
using test::ChangedOutside;
using test::Dump;
using test::FakeHost;
using test::HostEvent;
using test::kWholeBoard;

constexpr std::uint32_t kBlack = 0xFF000000u;

const Surface& PelloraSheet() { return test::SheetOf(kPelloraRecord); }

const PelloraVariantRow& Params(int variant) { return At(PelloraVariantParams, variant - 1); }

// Where each lens position's corner lies on the board, from the first cell
// that holds it.
std::pair<int, int> Corner(int position) {
    for (const PelloraCell& c : PelloraCells)
        for (std::size_t s = 0; s < 6; ++s)
            if (c.lens[s] == position) return {c.X() + LensSlotOffsets[0][s].dx, c.Y() + LensSlotOffsets[0][s].dy};
    throw std::logic_error("position on no cell");
}

Rect ClusterRect(int cell) { return {PelloraCellAt(cell).X() - 28, PelloraCellAt(cell).Y() - 31, 56, 62}; }

// The board picture of a variant as the board shows it without lenses.
std::uint32_t PictureAt(int variant, int x, int y) {
    const Surface& sheet = PelloraSheet();
    const PelloraVariantRow& v = Params(variant);
    if (x >= v.boardX && x < v.boardX + 2 * v.halfWidth && y >= v.boardY && y < v.boardY + 2 * v.halfHeight)
        return sheet.pixel(v.sheetX + x - v.boardX, v.sheetY + y - v.boardY);
    return sheet.pixel(x, y);
}

std::uint32_t LensPixel(int colour, int u, int v) {
    return PelloraSheet().pixel(kPelloraLensX + u, kPelloraLensSize * (colour - 1) + v);
}

// The colour whose lens shows unmixed at (x, y): the 3 x 3 middle of its
// picture, pixel for pixel; 0 if none.
int LensShownAt(const Surface& screen, int x, int y) {
    const int c = kPelloraLensSize / 2;
    for (int colour = 1; colour <= kPelloraColours; ++colour) {
        bool all = true;
        for (int v = -1; v <= 1 && all; ++v)
            for (int u = -1; u <= 1 && all; ++u) all = screen.pixel(x + u, y + v) == LensPixel(colour, c + u, c + v);
        if (all) return colour;
    }
    return 0;
}

// What the player should see: the variant's picture with every lens of the
// variant whole on its corner.
Surface ExpectedBoard(int variant, const PelloraBoard& board) {
    Surface s(kBoardWidth, kBoardHeight);
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x) s.setPixel(x, y, PictureAt(variant, x, y));
    const int half = kPelloraLensSize / 2;
    for (int p = 0; p < Params(variant).lenses; ++p) {
        const auto [cx, cy] = Corner(p);
        for (int v = 0; v < kPelloraLensSize; ++v)
            for (int u = 0; u < kPelloraLensSize; ++u) {
                const std::uint32_t lens = LensPixel(At(board, p), u, v);
                if (lens != kBlack) s.setPixel(cx - half + u, cy - half + v, lens);
            }
    }
    return s;
}

// What a cell shows in `frame`, unmixed: its lenses at that frame's places
// as far as the cluster mask keeps them, the picture everywhere else.
Surface ExpectedCell(const Surface& screen, int variant, const PelloraBoard& board, int cell, int frame) {
    Surface s = screen;
    const Surface& sheet = PelloraSheet();
    const PelloraCell& c = PelloraCellAt(cell);
    const Rect r = ClusterRect(cell);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) s.setPixel(x, y, PictureAt(variant, x, y));
    const int half = kPelloraLensSize / 2;
    for (std::size_t slot = 0; slot < 6; ++slot) {
        const LensOffset o = At(LensSlotOffsets, frame)[slot];
        for (int v = 0; v < kPelloraLensSize; ++v)
            for (int u = 0; u < kPelloraLensSize; ++u) {
                const int x = c.X() + o.dx - half + u, y = c.Y() + o.dy - half + v;
                const int tx = x - c.X() + 31, ty = y - c.Y() + 31;  // in the cluster tile
                const std::uint32_t lens = LensPixel(At(board, c.lens[slot]), u, v);
                if (lens == kBlack || x < r.x || x >= r.x + r.w || y < r.y || y >= r.y + r.h) continue;
                if (sheet.pixel(kPelloraClusterMask.x + tx, kPelloraClusterMask.y + ty) != kBlack) s.setPixel(x, y, lens);
            }
    }
    return s;
}

// `board` with the lenses of `cell` carried `steps` corners on clockwise.
PelloraBoard TurnedClockwise(PelloraBoard board, int cell, int steps) {
    const auto& lens = PelloraCellAt(cell).lens;
    const PelloraBoard old = board;
    for (int k = 0; k < 6; ++k) At(board, At(lens, (k + steps) % 6)) = At(old, At(lens, k));
    return board;
}

class PelloraTest : public ::testing::Test {
protected:
    // Copies of the screen are kept only where a test looks at the frames.
    PelloraTest() : host(PelloraSheet()), puzzle(host) { host.recordFrames = false; }

    // A shuffled board of `variant`, drawn, with the record cleared.
    void Show(int variant) {
        puzzle.SetVariant(variant);
        puzzle.Shuffle();
        puzzle.Draw();
        host.Clear();
        host.randomArgs.clear();
    }
    void ShowBoard(int variant, const PelloraBoard& board) {
        puzzle.SetVariant(variant);
        puzzle.SetBoard(board);
        puzzle.Draw();
        host.Clear();
    }
    void Press(bool left, int x, int y) { test::Press(puzzle, left, x, y); }
    void PressCell(bool left, int cell) { Press(left, PelloraCellAt(cell).X(), PelloraCellAt(cell).Y()); }

    FakeHost host;
    Pellora puzzle;
};

// ---------------------------------------------------------------- tables --

// A corner shared by two or three cells is the same point for each of them,
// seen through the slot that points at it, and carries one lens position.
TEST(PelloraTables, SharedCornersCarryOnePositionOnTheMatchingSlot) {
    std::map<std::pair<int, int>, int> positionAt;
    std::map<int, std::pair<int, int>> cornerOf;
    for (int cell = 0; cell < kPelloraCells; ++cell) {
        const PelloraCell& c = PelloraCellAt(cell);
        for (std::size_t s = 0; s < 6; ++s) {
            const std::pair<int, int> corner{c.X() + LensSlotOffsets[0][s].dx, c.Y() + LensSlotOffsets[0][s].dy};
            const int p = c.lens[s];
            SCOPED_TRACE(::testing::Message() << "cell " << cell << " slot " << s << " position " << p);
            ASSERT_TRUE(p >= 0 && p < kPelloraPositions);
            const auto [it, fresh] = positionAt.emplace(corner, p);
            EXPECT_EQ(it->second, p) << "two positions on one corner";
            const auto [jt, freshP] = cornerOf.emplace(p, corner);
            EXPECT_EQ(jt->second, corner) << "one position on two corners";
        }
    }
    EXPECT_EQ(positionAt.size(), static_cast<std::size_t>(kPelloraPositions));
}

TEST(PelloraTables, EachVariantUsesExactlyItsPositionsAndFitsItsPicture) {
    for (int variant = 1; variant <= 3; ++variant) {
        SCOPED_TRACE(::testing::Message() << "variant " << variant);
        const PelloraVariantRow& v = Params(variant);
        std::set<int> used;
        for (int cell = 0; cell < v.cells; ++cell)
            for (int p : PelloraCellAt(cell).lens) used.insert(p);
        EXPECT_EQ(used.size(), static_cast<std::size_t>(v.lenses));
        EXPECT_EQ(*used.begin(), 0);
        EXPECT_EQ(*used.rbegin(), v.lenses - 1);

        EXPECT_EQ(v.sheetCentreX, v.sheetX + v.halfWidth);
        EXPECT_EQ(v.sheetCentreY, v.sheetY + v.halfHeight);
        EXPECT_EQ(v.boardX, kPelloraCentreX - v.halfWidth);
        EXPECT_EQ(v.boardY, kPelloraCentreY - v.halfHeight);
        // Every cell restores its 56 x 66 from inside the picture, shows its
        // cluster inside the picture's place, and stays clear of the scratch tile.
        for (int cell = 0; cell < v.cells; ++cell) {
            const PelloraCell& c = PelloraCellAt(cell);
            const int sx = v.sheetCentreX + kPelloraCellDx * c.q - 28, sy = v.sheetCentreY + kPelloraCellDy * c.r - 33;
            EXPECT_TRUE(sx >= v.sheetX && sy >= v.sheetY && sx + 56 <= v.sheetX + 2 * v.halfWidth &&
                        sy + 66 <= v.sheetY + 2 * v.halfHeight)
                << "cell " << cell;
            const Rect r = ClusterRect(cell);
            EXPECT_TRUE(r.x >= v.boardX && r.y >= v.boardY && r.x + r.w <= v.boardX + 2 * v.halfWidth &&
                        r.y + r.h <= v.boardY + 2 * v.halfHeight)
                << "cell " << cell;
            EXPECT_LE(r.x + r.w, kPelloraScratch.x) << "cell " << cell;
        }
    }
}

// Angles counterclockwise from the right, seen from the figure's centre.
TEST(PelloraTables, TargetIsTheSectorOfEachCorner) {
    const int sectorColour[6] = {3, 2, 1, 4, 5, 6};
    for (int p = 0; p < kPelloraPositions; ++p) {
        const auto [x, y] = Corner(p);
        double a = std::atan2(kPelloraCentreY - y, x - kPelloraCentreX) * 180 / std::numbers::pi;
        if (a < 0) a += 360;
        const int sector = static_cast<int>(a / 60);
        EXPECT_EQ(At(PelloraTarget, p), sectorColour[sector]) << "position " << p << " at " << a << " degrees";
        EXPECT_GT(std::min(a - 60 * sector, 60 * (sector + 1) - a), 4.5) << "position " << p << " lies on a border";
    }
}

// Each in-between place lies on the way round, about 22 px out, between the
// lens's corner and the corner of the slot before it, in order.
TEST(PelloraTables, InBetweenPlacesLeadCounterclockwiseToThePrecedingCorner) {
    auto angle = [](LensOffset o) { return std::atan2(-o.dy, o.dx) * 180 / std::numbers::pi; };
    for (std::size_t slot = 0; slot < 6; ++slot) {
        const double start = angle(LensSlotOffsets[0][slot]);
        double last = 0;
        for (std::size_t f = 1; f < kPelloraFrames; ++f) {
            const LensOffset o = LensSlotOffsets[f][slot];
            const double turned = std::remainder(angle(o) - start + 360, 360);  // counterclockwise from the corner
            EXPECT_GT(turned, last) << "slot " << slot << " frame " << f;
            EXPECT_LT(turned, 60) << "slot " << slot << " frame " << f;
            EXPECT_NEAR(std::hypot(o.dx, o.dy), 22, 1) << "slot " << slot << " frame " << f;
            last = turned;
        }
        const double toPrevious = std::remainder(angle(LensSlotOffsets[0][(slot + 5) % 6]) - start + 360, 360);
        EXPECT_NEAR(toPrevious, 60, 1) << "slot " << slot;
    }
}

TEST(PelloraTables, EachColourFillsASixthOfEveryVariant) {
    for (int variant = 1; variant <= 3; ++variant) {
        const int lenses = Params(variant).lenses;
        for (int colour = 1; colour <= kPelloraColours; ++colour)
            EXPECT_EQ(std::count(PelloraTarget.begin(), PelloraTarget.begin() + lenses, colour), lenses / 6)
                << "variant " << variant << " colour " << colour;
    }
}

// The picture tells where each lens belongs: the island of every cell round a
// corner points at it in the colour of that corner's lens in the solved board.
TEST(PelloraPictures, IslandsPointAtEachLensInItsColour) {
    // Told apart by hue, against the mean hue of each lens picture.
    auto hue = [](std::uint32_t px) { return QColor::fromRgb(px).hsvHueF(); };
    double lensHue[kPelloraColours + 1] = {};
    for (int colour = 1; colour <= kPelloraColours; ++colour) {
        long r = 0, g = 0, b = 0;
        for (int v = 0; v < kPelloraLensSize; ++v)
            for (int u = 0; u < kPelloraLensSize; ++u) {
                const std::uint32_t px = LensPixel(colour, u, v);
                r += (px >> 16) & 0xFF, g += (px >> 8) & 0xFF, b += px & 0xFF;
            }
        const long n = kPelloraLensSize * kPelloraLensSize;
        lensHue[colour] = hue(qRgb(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)));
    }
    auto nearest = [&](std::uint32_t px) {
        int best = 0;
        double bestDistance = 2;
        for (int colour = 1; colour <= kPelloraColours; ++colour) {
            const double d = std::abs(std::remainder(hue(px) - lensHue[colour], 1.0));
            if (d < bestDistance) bestDistance = d, best = colour;
        }
        return best;
    };
    for (int variant = 1; variant <= 3; ++variant)
        for (int cell = 0; cell < Params(variant).cells; ++cell) {
            const PelloraCell& c = PelloraCellAt(cell);
            for (std::size_t s = 0; s < 6; ++s) {
                const LensOffset o = LensSlotOffsets[0][s];
                const int x = c.X() + o.dx / 2, y = c.Y() + o.dy / 2;
                EXPECT_EQ(nearest(PictureAt(variant, x, y)), At(PelloraTarget, c.lens[s]))
                    << "variant " << variant << " cell " << cell << " towards slot " << s;
            }
        }
}

// -------------------------------------------------------------- hit test --

// Squares of 39 x 39 round each centre, strict on all four sides; where they
// overlap the highest-numbered cell wins. A miss does nothing at all.
TEST_F(PelloraTest, PressTurnsTheHighestCellWhoseSquareHoldsIt) {
    struct Case {
        int variant, x, y;
        std::optional<int> cell;
    };
    constexpr std::nullopt_t none = std::nullopt;
    const Case cases[] = {
        {1, 192, 148, 3},            // squares of 0, 1 and 3
        {1, 173, 111, none},         // 20 px above cell 0
        {1, 192, 115, 1},            // squares of 0 and 1; cell 8 is not on the small board
        {3, 192, 115, 8},            // squares of 0, 1 and 8
        {1, 153, 131, none},         // 20 px left of cell 0
        {3, 153, 131, 10},
        {1, 192 + 19, 164 + 19, 6},  // inner corner of cell 3's square, also in 6
        {1, 192 - 19, 164, 3},       // squares of 2 and 3
        {2, 268, 164, 13},
        {1, 268, 164, none},
        {3, 306 + 19, 164, 28},
        {3, 306 + 20, 164, none},
        {3, 249, 263 + 20, none},
        {3, 249, 263 + 19, 36},
        {3, 420, 20, none},          // the scratch tile's place
        {3, INT_MIN, INT_MAX, none},
        {3, -1, -1, none},
    };
    for (const Case& c : cases)
        for (bool left : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "variant " << c.variant << " press at " << c.x << "," << c.y
                                              << (left ? " left" : " right"));
            Show(c.variant);
            const PelloraBoard before = puzzle.Board();
            EXPECT_EQ(puzzle.HitTest(c.x, c.y), c.cell);
            Press(left, c.x, c.y);
            if (!c.cell) {
                EXPECT_EQ(host.Trace(), "");
                EXPECT_EQ(host.state, kStateReady);
                EXPECT_TRUE(puzzle.Board() == before);
            } else {
                ASSERT_FALSE(host.events.empty());
                EXPECT_EQ(host.events.back().rect, ClusterRect(*c.cell));
                EXPECT_EQ(host.state, kStateInPlay);
            }
        }
}

// ----------------------------------------------------------------- moves --

TEST_F(PelloraTest, TurnsUndoEachOtherOnBoardAndScreen) {
    struct Case {
        const char* name;
        std::vector<bool> presses;  // true: left button
    };
    const Case cases[] = {
        {"left then right", {true, false}},
        {"right then left", {false, true}},
        {"six left", std::vector<bool>(6, true)},
        {"six right", std::vector<bool>(6, false)},
    };
    Show(3);
    for (const Case& c : cases)
        for (int cell = 0; cell < kPelloraCells; ++cell) {
            SCOPED_TRACE(::testing::Message() << c.name << " on cell " << cell);
            const PelloraBoard before = puzzle.Board();
            const Surface screen = host.Screen();
            for (bool left : c.presses) PressCell(left, cell);
            EXPECT_TRUE(puzzle.Board() == before);
            EXPECT_EQ(ChangedInside(screen, host.Screen(), kWholeBoard), 0);
        }
}

// Read from the pixels: after a left press each corner shows the lens that
// sat on the next corner clockwise (it came counterclockwise), after a right
// press the lens of the next corner counterclockwise.
TEST_F(PelloraTest, LeftTurnsCounterclockwiseRightClockwiseOnTheScreen) {
    for (bool left : {true, false})
        for (int cell = 0; cell < kPelloraCells; ++cell) {
            SCOPED_TRACE(::testing::Message() << "cell " << cell << (left ? " left" : " right"));
            Show(3);
            const PelloraCell& c = PelloraCellAt(cell);
            int before[6], after[6];
            for (std::size_t s = 0; s < 6; ++s)
                before[s] = LensShownAt(host.Screen(), c.X() + LensSlotOffsets[0][s].dx, c.Y() + LensSlotOffsets[0][s].dy);
            PressCell(left, cell);
            for (std::size_t s = 0; s < 6; ++s) {
                after[s] = LensShownAt(host.Screen(), c.X() + LensSlotOffsets[0][s].dx, c.Y() + LensSlotOffsets[0][s].dy);
                ASSERT_NE(after[s], 0);
            }
            for (int s = 0; s < 6; ++s)
                EXPECT_EQ(after[s], before[(s + (left ? 1 : 5)) % 6]) << "slot " << s;
        }
}

// Left: frames 1, 2, 3 with the old colours, then the turn and frame 0.
// Right: the turn first, frames 3, 2, 1 with the new colours, then frame 0.
// Each frame shows only the cell's 56 x 62 and changes nothing outside it.
TEST_F(PelloraTest, MoveShowsItsFramesAndPausesInOrder) {
    host.recordFrames = true;
    for (int cell : {3, 0, 12, 19, 27, 36})
        for (bool left : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "cell " << cell << (left ? " left" : " right"));
            Show(3);
            const Surface before = host.Screen();
            const PelloraBoard old = puzzle.Board();
            PressCell(left, cell);
            const PelloraBoard moved = puzzle.Board();
            EXPECT_TRUE(moved == TurnedClockwise(old, cell, left ? 5 : 1));

            EXPECT_EQ(host.Trace(), "S2 F P40 F P40 F P40 F");
            const auto frames = host.Only(HostEvent::Present);
            ASSERT_EQ(frames.size(), 4u);
            const int frameOf[2][4] = {{3, 2, 1, 0}, {1, 2, 3, 0}};
            const PelloraCell& c = PelloraCellAt(cell);
            for (std::size_t e = 0; e < frames.size(); ++e) {
                const int f = frameOf[left][e];
                SCOPED_TRACE(::testing::Message() << "shown frame " << e << " (offsets of frame " << f << ")");
                const Surface& screen = frames[e]->screen;
                EXPECT_EQ(frames[e]->rect, ClusterRect(cell));
                const PelloraBoard& shown = (left && f != 0) ? old : moved;
                for (std::size_t s = 0; s < 6; ++s) {
                    const LensOffset o = At(LensSlotOffsets, f)[s];
                    EXPECT_EQ(LensShownAt(screen, c.X() + o.dx, c.Y() + o.dy), At(shown, c.lens[s])) << "slot " << s;
                }
                EXPECT_EQ(ChangedOutside(before, screen, ClusterRect(cell)), 0);
                if (cell == 3) Dump(screen, std::string("pellora_turn_") + (left ? "left_" : "right_") + std::to_string(e));
            }
            EXPECT_EQ(ChangedInside(ExpectedBoard(3, moved), host.Screen(), kWholeBoard), 0);
        }
}

// Whole boards and every in-between frame of every cell through the real
// drawing: at rest the screen is exactly the picture with whole lenses on
// it; on the way it is the picture with the lenses as the cluster mask
// leaves them, never mixed with the picture, and each lens shows its own
// colour at its centre.
TEST_F(PelloraTest, EveryLensShowsUnmixedAtRestAndOnItsWay) {
    for (int variant = 1; variant <= 3; ++variant) {
        SCOPED_TRACE(::testing::Message() << "variant " << variant);
        Show(variant);
        const Surface rest = host.Screen();
        EXPECT_EQ(ChangedInside(ExpectedBoard(variant, puzzle.Board()), rest, kWholeBoard), 0);
        Dump(rest, "pellora_board_" + std::to_string(variant));
        for (int cell = 0; cell < Params(variant).cells; ++cell) {
            const PelloraCell& c = PelloraCellAt(cell);
            for (int f = 1; f < kPelloraFrames; ++f) {
                const Surface expected = ExpectedCell(host.Screen(), variant, puzzle.Board(), cell, f);
                puzzle.DrawCell(cell, f);
                EXPECT_EQ(ChangedInside(expected, host.Screen(), kWholeBoard), 0) << "cell " << cell << " frame " << f;
                for (std::size_t s = 0; s < 6; ++s) {
                    const LensOffset o = At(LensSlotOffsets, f)[s];
                    EXPECT_EQ(LensShownAt(host.Screen(), c.X() + o.dx, c.Y() + o.dy), At(puzzle.Board(), c.lens[s]))
                        << "cell " << cell << " frame " << f << " slot " << s;
                }
            }
            puzzle.DrawCell(cell, 0);
            EXPECT_EQ(ChangedInside(rest, host.Screen(), kWholeBoard), 0) << "cell " << cell << " back at rest";
        }
    }
}

// Draw shows the bare picture first (the scratch tile's place included),
// then every cell of the variant with its lenses.
TEST_F(PelloraTest, DrawShowsThePictureThenEachCell) {
    host.recordFrames = true;
    for (int variant = 1; variant <= 3; ++variant) {
        SCOPED_TRACE(::testing::Message() << "variant " << variant);
        puzzle.SetVariant(variant);
        puzzle.Shuffle();
        host.Clear();
        host.Screen().fill(0xFF123456u);
        puzzle.Draw();
        const int cells = Params(variant).cells;
        std::string trace = "F";
        for (int cell = 0; cell < cells; ++cell) trace += " F";
        EXPECT_EQ(host.Trace(), trace);
        ASSERT_EQ(host.events.size(), static_cast<std::size_t>(cells + 1));
        EXPECT_EQ(host.events[0].rect, kWholeBoard);
        Surface bare(kBoardWidth, kBoardHeight);
        for (int y = 0; y < kBoardHeight; ++y)
            for (int x = 0; x < kBoardWidth; ++x) bare.setPixel(x, y, PictureAt(variant, x, y));
        EXPECT_EQ(ChangedInside(bare, host.events[0].screen, kWholeBoard), 0);
        for (int cell = 0; cell < cells; ++cell) EXPECT_EQ(At(host.events, cell + 1).rect, ClusterRect(cell));
        EXPECT_EQ(ChangedInside(ExpectedBoard(variant, puzzle.Board()), host.Screen(), kWholeBoard), 0);
    }
}

// Shuffle starts from the solved board and makes 20 x cells + 1 left turns
// of cells drawn at random; it draws nothing and leaves State 0.
TEST_F(PelloraTest, ShuffleTurnsTheSolvedBoardAtRandom) {
    for (int variant = 1; variant <= 3; ++variant) {
        SCOPED_TRACE(::testing::Message() << "variant " << variant);
        const PelloraVariantRow& v = Params(variant);
        puzzle.SetVariant(variant);
        PelloraBoard scrambled = PelloraTarget;
        std::reverse(scrambled.begin(), scrambled.end());
        puzzle.SetBoard(scrambled);
        host.state = kStateSolved;
        host.Clear();
        host.randomArgs.clear();

        // Every turn on cell 0: 20 x cells + 1 is 3 more than a whole number of rounds.
        host.script.assign(static_cast<std::size_t>(20 * v.cells + 1), 0);
        puzzle.Shuffle();
        EXPECT_EQ(host.Trace(), "");
        EXPECT_EQ(host.state, kStateReady);
        EXPECT_EQ(host.randomArgs, std::vector<int>(static_cast<std::size_t>(20 * v.cells + 1), v.cells));
        PelloraBoard expected = TurnedClockwise(PelloraTarget, 0, 3);
        std::copy(scrambled.begin() + v.lenses, scrambled.end(), expected.begin() + v.lenses);
        EXPECT_TRUE(puzzle.Board() == expected);

        // Seeded: a sixth of each colour, on the variant's positions only.
        puzzle.Shuffle();
        for (int colour = 1; colour <= kPelloraColours; ++colour)
            EXPECT_EQ(std::count(puzzle.Board().begin(), puzzle.Board().begin() + v.lenses, colour), v.lenses / 6);
        EXPECT_TRUE(std::equal(puzzle.Board().begin() + v.lenses, puzzle.Board().end(), scrambled.begin() + v.lenses));
        EXPECT_FALSE(puzzle.IsSolved());
    }
}

TEST_F(PelloraTest, PrepareShufflesAndDrawsNothing) {
    host.state = kStateNotPrepared;
    puzzle.SetVariant(2);
    puzzle.Prepare();
    EXPECT_EQ(host.Trace(), "");
    EXPECT_EQ(host.state, kStateReady);
    EXPECT_EQ(host.randomArgs, std::vector<int>(381, 19));
}

// A move that leaves the board solved calls PuzzleSolved, in every State;
// the shell ignores the call in State 3.
TEST_F(PelloraTest, SolvingMoveCallsPuzzleSolved) {
    struct Case {
        const char* name;
        bool left;
        int steps;  // the board is the solved one turned this far clockwise
        std::uint8_t state;
        const char* trace;
        std::uint8_t after;
        int solved;
    };
    const Case cases[] = {
        {"left press solves", true, 1, kStateInPlay, "S2 F P40 F P40 F P40 F V", kStateSolved, 1},
        {"right press solves", false, 5, kStateInPlay, "S2 F P40 F P40 F P40 F V", kStateSolved, 1},
        {"first move solves", true, 1, kStateReady, "S2 F P40 F P40 F P40 F V", kStateSolved, 1},
        {"solved again", false, 5, kStateSolved, "S2 F P40 F P40 F P40 F V", kStateSolved, 0},
        {"one turn short", true, 2, kStateInPlay, "S2 F P40 F P40 F P40 F", kStateInPlay, 0},
        {"turned away", false, 0, kStateSolved, "S2 F P40 F P40 F P40 F", kStateSolved, 0},
    };
    for (int variant = 1; variant <= 3; ++variant)
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << "variant " << variant << ": " << c.name);
            const int cell = Params(variant).cells - 1;  // its outermost cell
            ShowBoard(variant, TurnedClockwise(PelloraTarget, cell, c.steps));
            host.state = c.state;
            host.solvedCount = 0;
            PressCell(c.left, cell);
            EXPECT_EQ(host.Trace(), c.trace);
            EXPECT_EQ(host.state, c.after);
            EXPECT_EQ(host.solvedCount, c.solved);
        }
}

// Positions beyond the small board's 24 keep whatever they hold; they are
// neither drawn nor compared.
TEST_F(PelloraTest, SmallBoardIgnoresPositionsBeyondItsLenses) {
    PelloraBoard board = TurnedClockwise(PelloraTarget, 3, 1);
    for (int p = 24; p < kPelloraPositions; ++p) At(board, p) = static_cast<std::uint8_t>(At(PelloraTarget, p) % 6 + 1);
    ShowBoard(1, board);
    EXPECT_EQ(ChangedInside(ExpectedBoard(1, board), host.Screen(), kWholeBoard), 0);
    for (int p = 24; p < kPelloraPositions; ++p) {
        const auto [x, y] = Corner(p);
        EXPECT_EQ(host.Screen().pixel(x, y), PictureAt(1, x, y)) << "position " << p;
    }
    EXPECT_FALSE(puzzle.IsSolved());
    host.state = kStateInPlay;
    PressCell(true, 3);
    EXPECT_EQ(host.Trace(), "S2 F P40 F P40 F P40 F V");
    EXPECT_TRUE(puzzle.IsSolved());
    EXPECT_TRUE(std::equal(board.begin() + 24, board.end(), puzzle.Board().begin() + 24));
}

// ---------------------------------------------------------- board sizes --

TEST_F(PelloraTest, ChangeOptionStepsThroughTheSizesWithoutWrapping) {
    struct Case {
        int from;
        bool up;
        int to;
    };
    const Case cases[] = {{1, true, 2}, {2, true, 3}, {3, true, 3}, {3, false, 2}, {2, false, 1}, {1, false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "variant " << c.from << (c.up ? " up" : " down"));
        Show(c.from);
        PressCell(true, 3);
        const PelloraBoard before = puzzle.Board();
        host.Clear();
        host.randomArgs.clear();
        puzzle.ChangeOption(c.up);
        EXPECT_EQ(puzzle.Variant(), c.to);
        if (c.from == c.to) {
            EXPECT_EQ(host.Trace(), "");
            EXPECT_TRUE(host.randomArgs.empty());
            EXPECT_TRUE(puzzle.Board() == before);
            EXPECT_EQ(host.state, kStateInPlay);
            continue;
        }
        const PelloraVariantRow& v = Params(c.to);
        EXPECT_EQ(host.state, kStateReady);
        EXPECT_EQ(host.randomArgs, std::vector<int>(static_cast<std::size_t>(20 * v.cells + 1), v.cells));
        ASSERT_EQ(host.Only(HostEvent::Present).size(), static_cast<std::size_t>(v.cells + 1));
        EXPECT_EQ(host.events.front().rect, kWholeBoard);
        EXPECT_EQ(ChangedInside(ExpectedBoard(c.to, puzzle.Board()), host.Screen(), kWholeBoard), 0);
    }
}

TEST_F(PelloraTest, VariantIsKeptInItsRange) {
    const std::pair<int, int> cases[] = {{1, 1}, {2, 2}, {3, 3}, {0, 1}, {-5, 1}, {4, 3}, {INT_MAX, 3}};
    for (auto [set, got] : cases) {
        puzzle.SetVariant(set);
        EXPECT_EQ(puzzle.Variant(), got) << "set " << set;
    }
}

}  // namespace
}  // namespace qg
