// NUBBLER: tables, hit test, turns with their frames on the screen, shuffle
// and the solved report, against the generated b3.bmp.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "puzzles/Nubbler.h"
#include "tests/FakeHost.h"
#include "tests/SolvedBoards.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

using test::Dump;
using test::FakeHost;
using test::HostEvent;

constexpr std::uint32_t kMarker = 0xFF12AB34u;

const Surface& SheetFile() { return test::SheetOf(kNubblerRecord); }

// Where things are, written out here rather than taken from the puzzle.
Rect Square(int plate) { return {80 + 100 * (plate % 3), 16 + 100 * (plate / 3), 100, 100}; }

NubblerPoint Centre(int plate, int frame, int position) {
    const NubblerPoint c = At(At(NubblerTurnFrames, frame), position);
    const Rect sq = Square(plate);
    return {sq.x + c.x, sq.y + c.y};
}

// The centre pixel of the button picture of a colour in the sheet.
std::uint32_t ButtonPixel(int colour) { return SheetFile().pixel(500 + 13 * colour + 6, 306); }

bool InButtonPlace(int plate, int frame, int x, int y) {
    for (int i = 0; i < 8; ++i) {
        const NubblerPoint c = Centre(plate, frame, i);
        if (std::abs(x - c.x) <= 6 && std::abs(y - c.y) <= 6) return true;
    }
    return false;
}

// Plate p turned `left` eighths anticlockwise: position j shows what j + left showed.
NubblerColours Turned(const NubblerColours& c, int plate, int left) {
    NubblerColours out = c;
    for (int j = 0; j < 8; ++j) At(out, plate * 8 + j) = At(c, plate * 8 + ((j + left) % 8 + 8) % 8);
    return out;
}

// Every button a different colour from its plate neighbours.
NubblerColours Pattern() {
    NubblerColours c{};
    for (int i = 0; i < kNubblerButtonCount; ++i) At(c, i) = static_cast<std::uint8_t>((i * 5 + i / 8) % 8);
    return c;
}

NubblerColours Agreeing() { return test::AgreeingNubbler(); }

class NubblerTest : public ::testing::Test {
protected:
    FakeHost host{SheetFile()};
    Nubbler puzzle{host};

    // Around its buttons a plate square shows the background under the mask,
    // with the plate picture of the frame over it.
    void ExpectPlateComposed(const Surface& screen, int plate, int frame) {
        const Surface& sheet = SheetFile();
        const Rect sq = Square(plate);
        int wrong = 0;
        for (int v = 0; v < 100; ++v)
            for (int u = 0; u < 100; ++u) {
                const int x = sq.x + u, y = sq.y + v;
                if (InButtonPlace(plate, frame, x, y)) continue;
                const std::uint32_t want = (sheet.pixel(x, y) & sheet.pixel(600 + u, 100 * frame + v)) | sheet.pixel(500 + u, 100 * frame + v);
                if (screen.pixel(x, y) != want) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "plate " << plate << " frame " << frame;
    }

    // The buttons of a plate show their colours at their centres in a frame.
    void ExpectButtonsShown(const Surface& screen, int plate, int frame, const NubblerColours& colours) {
        for (int i = 0; i < 8; ++i) {
            const NubblerPoint c = Centre(plate, frame, i);
            EXPECT_EQ(screen.pixel(c.x, c.y), ButtonPixel(At(colours, plate * 8 + i)))
                << "plate " << plate << " frame " << frame << " position " << i;
        }
    }
};

// --- Tables ---------------------------------------------------------------

TEST(NubblerTables, PairsFaceEachOtherAcrossEveryBorderOnce) {
    std::set<std::pair<int, int>> borders;
    std::set<int> buttons;
    for (const NubblerPair& pair : NubblerPairs) {
        const int a = pair.a.plate, b = pair.b.plate;
        const bool across = (b == a + 1 && a % 3 != 2);  // a left of b
        const bool down = (b == a + 3);                    // a above b
        ASSERT_TRUE(across || down) << a << " and " << b << " do not touch";
        EXPECT_EQ(pair.a.position, across ? 2 : 4);
        EXPECT_EQ(pair.b.position, across ? 6 : 0);
        // On the board the two buttons sit on one line, the border between them.
        const NubblerPoint pa = Centre(a, 0, pair.a.position), pb = Centre(b, 0, pair.b.position);
        if (across) {
            EXPECT_EQ(pa.y, pb.y);
            EXPECT_TRUE(pa.x < Square(b).x && Square(b).x < pb.x);
        } else {
            EXPECT_EQ(pa.x, pb.x);
            EXPECT_TRUE(pa.y < Square(b).y && Square(b).y < pb.y);
        }
        borders.insert({a, b});
        EXPECT_TRUE(buttons.insert(NubblerIndex(pair.a)).second);
        EXPECT_TRUE(buttons.insert(NubblerIndex(pair.b)).second);
    }
    EXPECT_EQ(borders.size(), 12u);  // 6 between columns, 6 between rows
}

TEST(NubblerTables, TurnFramesTurnClockwiseAroundThePivot) {
    constexpr double kPi = 3.14159265358979323846;
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 8; ++i) {
            const NubblerPoint c = At(At(NubblerTurnFrames, f), i);
            const double dx = c.x - 49, dy = c.y - 50;
            EXPECT_NEAR(std::hypot(dx, dy), 34.0, 1.6) << "frame " << f << " position " << i;
            double angle = std::atan2(dx, -dy) * 180.0 / kPi;  // clockwise from the top
            double want = 45.0 * i + 15.0 * f;
            double diff = std::fmod(angle - want + 720.0, 360.0);
            if (diff > 180.0) diff -= 360.0;
            EXPECT_NEAR(diff, 0.0, 3.0) << "frame " << f << " position " << i;
        }
}

TEST_F(NubblerTest, SheetLeavesButtonPlacesBlackAndButtonsTellApart) {
    const Surface& sheet = SheetFile();
    for (int f = 0; f < 3; ++f) {
        for (int i = 0; i < 8; ++i) {
            const NubblerPoint c = At(At(NubblerTurnFrames, f), i);
            for (int y = c.y - 6; y <= c.y + 6; ++y)
                for (int x = c.x - 6; x <= c.x + 6; ++x) {
                    ASSERT_EQ(sheet.pixel(500 + x, 100 * f + y) & 0xFFFFFFu, 0u) << "picture, frame " << f << " position " << i;
                    ASSERT_EQ(sheet.pixel(600 + x, 100 * f + y) & 0xFFFFFFu, 0u) << "mask, frame " << f << " position " << i;
                }
        }
        // The corners of the square are off the plate: the felt shows there.
        EXPECT_EQ(sheet.pixel(600, 100 * f) & 0xFFFFFFu, 0xFFFFFFu);
        EXPECT_EQ(sheet.pixel(699, 100 * f + 99) & 0xFFFFFFu, 0xFFFFFFu);
    }
    std::set<std::uint32_t> centres;
    for (int k = 0; k < 8; ++k) {
        centres.insert(ButtonPixel(k));
        // Round buttons go on without a mask: their corners must be black.
        for (const auto& [u, v] : {std::pair{0, 0}, std::pair{12, 0}, std::pair{0, 12}, std::pair{12, 12}})
            EXPECT_EQ(sheet.pixel(500 + 13 * k + u, 300 + v) & 0xFFFFFFu, 0u) << "button " << k;
    }
    EXPECT_EQ(centres.size(), 8u) << "two button colours share their centre pixel";
}

// --- Hit test -------------------------------------------------------------

struct HitCase {
    int x, y;
    std::optional<int> plate;  // none: nothing happens
};

constexpr std::nullopt_t none = std::nullopt;
constexpr HitCase kHits[] = {
    // Lines where plates meet.
    {180, 66, none}, {280, 66, none}, {180, 266, none}, {130, 116, none}, {330, 116, none}, {230, 216, none}, {180, 116, none},
    // The grid's left and top edge, and the lines just past its right and bottom edge.
    {80, 66, none}, {130, 16, none}, {380, 166, none}, {230, 316, none}, {79, 66, none}, {130, 15, none}, {0, 0, none}, {450, 100, none},
    // Just inside.
    {81, 66, 0}, {130, 17, 0}, {81, 17, 0}, {179, 66, 0}, {181, 66, 1}, {279, 66, 1}, {281, 66, 2}, {379, 66, 2},
    {130, 115, 0}, {130, 117, 3}, {130, 215, 3}, {130, 217, 6}, {130, 315, 6}, {230, 166, 4}, {379, 315, 8},
    {281, 117, 5}, {179, 215, 3}, {181, 217, 7},
};

TEST_F(NubblerTest, OnlyPointsStrictlyInsideAPlateTurnIt) {
    for (const HitCase& hit : kHits) {
        for (const bool left : {true, false}) {
            SCOPED_TRACE(testing::Message() << "(" << hit.x << ", " << hit.y << ") " << (left ? "left" : "right"));
            EXPECT_EQ(NubblerPlateAt(hit.x, hit.y), hit.plate);
            FakeHost h(SheetFile());
            Nubbler n(h);
            n.SetButtons(Pattern());
            test::Press(n, left, hit.x, hit.y);
            if (!hit.plate) {
                EXPECT_TRUE(h.events.empty());
                EXPECT_EQ(h.state, kStateReady);
                EXPECT_EQ(n.Buttons(), Pattern());
            } else {
                EXPECT_EQ(h.Trace(), "S3 F P50 F P50 F");
                EXPECT_EQ(h.state, kStateInPlay);
                EXPECT_EQ(n.Buttons(), Turned(Pattern(), *hit.plate, left ? 1 : -1));
                EXPECT_EQ(h.events.back().rect, Square(*hit.plate));
            }
        }
    }
}

// --- Turns ----------------------------------------------------------------

TEST_F(NubblerTest, ColoursMoveOnePlaceAroundTheTurnedPlateOnly) {
    struct Case {
        bool left;
        std::array<std::uint8_t, 8> after;  // with position j coloured j before
    };
    const Case cases[] = {
        {true, {1, 2, 3, 4, 5, 6, 7, 0}},   // anticlockwise: each takes its clockwise neighbour's colour
        {false, {7, 0, 1, 2, 3, 4, 5, 6}},  // clockwise
    };
    for (const Case& c : cases)
        for (int plate = 0; plate < 9; ++plate) {
            NubblerColours start = Pattern();
            for (int j = 0; j < 8; ++j) At(start, plate * 8 + j) = static_cast<std::uint8_t>(j);
            puzzle.SetButtons(start);
            if (c.left) puzzle.TurnPlateLeft(plate);
            else puzzle.TurnPlateRight(plate);
            NubblerColours want = start;
            std::copy(c.after.begin(), c.after.end(), want.begin() + plate * 8);
            EXPECT_EQ(puzzle.Buttons(), want) << (c.left ? "left" : "right") << " on plate " << plate;
        }
}

TEST_F(NubblerTest, TurnsUndoEachOtherOnTheBoardAndOnTheScreen) {
    for (const std::string moves : {"LR", "RL", "LLLLLLLL", "RRRRRRRR"}) {
        for (const int plate : {0, 4, 8}) {
            puzzle.SetButtons(Pattern());
            puzzle.Draw();
            const Surface before = host.Screen();
            for (const char m : moves) {
                const Rect sq = Square(plate);
                if (m == 'L') puzzle.LeftClick(sq.x + 50, sq.y + 50);
                else puzzle.RightClick(sq.x + 50, sq.y + 50);
            }
            EXPECT_EQ(puzzle.Buttons(), Pattern()) << moves << " on plate " << plate;
            EXPECT_TRUE(test::SameScreen(before, host.Screen())) << moves << " on plate " << plate << " changed the screen";
        }
    }
}

// Each turn shows three frames of the plate's square with two pauses between:
// left draws frames 2, 1, 0 with the colours already moved; right draws 1, 2
// with the old colours, then 0 with the new.
TEST_F(NubblerTest, FramesCarryTheButtonsAcrossInOrder) {
    struct Case {
        bool left;
        int plate;
        int frames[3];
        bool moved[3];  // colours already moved in that frame
    };
    const Case cases[] = {
        {true, 4, {2, 1, 0}, {true, true, true}},
        {false, 4, {1, 2, 0}, {false, false, true}},
        {true, 2, {2, 1, 0}, {true, true, true}},
        {false, 6, {1, 2, 0}, {false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.left ? "left" : "right") << " on plate " << c.plate);
        puzzle.SetButtons(Pattern());
        puzzle.Draw();
        const Surface drawn = host.Screen();
        host.Clear();
        const Rect sq = Square(c.plate);
        if (c.left) puzzle.LeftClick(sq.x + 20, sq.y + 80);
        else puzzle.RightClick(sq.x + 20, sq.y + 80);

        ASSERT_EQ(host.Trace(), "S3 F P50 F P50 F");
        const auto frames = host.Only(HostEvent::Present);
        const NubblerColours moved = Turned(Pattern(), c.plate, c.left ? 1 : -1);
        for (int k = 0; k < 3; ++k) {
            const Surface& screen = At(frames, k)->screen;
            EXPECT_EQ(At(frames, k)->rect, sq);
            ExpectButtonsShown(screen, c.plate, c.frames[k], c.moved[k] ? moved : Pattern());
            ExpectPlateComposed(screen, c.plate, c.frames[k]);
            if (k == 0) Dump(screen, c.left ? "nubbler_left_first" : "nubbler_right_first");
            // Nothing outside the plate's square changes.
            EXPECT_EQ(test::ChangedOutside(drawn, screen, sq), 0) << "frame " << k;
        }
    }
}

// --- Drawing --------------------------------------------------------------

TEST_F(NubblerTest, DrawShowsTheBackgroundAndEveryPlateAtRest) {
    host.Composition().fill(kMarker);
    host.Screen().fill(kMarker);
    puzzle.SetButtons(Pattern());
    puzzle.Draw();
    Dump(host.Screen(), "nubbler_board");

    const Surface& sheet = SheetFile();
    const Surface& screen = host.Screen();
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x) {
            if (x >= 80 && x < 380 && y >= 16 && y < 316) continue;  // the plates
            ASSERT_EQ(screen.pixel(x, y), sheet.pixel(x, y)) << x << "," << y;
            // The background goes straight to the screen, not through the composition.
            ASSERT_EQ(host.Composition().pixel(x, y), kMarker) << x << "," << y;
        }
    for (int p = 0; p < 9; ++p) ExpectPlateComposed(screen, p, 0);
    for (int p = 0; p < 9; ++p) ExpectButtonsShown(screen, p, 0, Pattern());
    ASSERT_FALSE(host.events.empty());
    EXPECT_EQ(host.events.back().rect, (Rect{0, 0, 500, 333})) << "the whole board is shown at the end";
    EXPECT_TRUE(host.Only(HostEvent::Sound).empty());
    EXPECT_TRUE(host.Only(HostEvent::Pause).empty());
}

// --- Shuffle --------------------------------------------------------------

// 72 colours, then 1001 plates, drawn from a seeded source of our own.
std::vector<int> ScriptFor(std::uint64_t seed) {
    RandomSource r(seed);
    std::vector<int> s;
    for (int i = 0; i < 72; ++i) s.push_back(r.Random(8));
    for (int i = 0; i < 1001; ++i) s.push_back(r.Random(9));
    return s;
}

TEST_F(NubblerTest, ShuffleColoursASolutionThenTurnsItAnticlockwise) {
    for (const bool prepare : {false, true})
        for (const std::uint64_t seed : {1u, 77u, 2024u}) {
            SCOPED_TRACE(testing::Message() << (prepare ? "Prepare" : "Shuffle") << " seed " << seed);
            FakeHost h(SheetFile());
            Nubbler n(h);
            const std::vector<int> script = ScriptFor(seed);
            h.script.assign(script.begin(), script.end());
            if (prepare) n.Prepare();
            else n.Shuffle();

            // Worked out here without turning anything: count the turns of
            // each plate, then read each place that many steps clockwise.
            NubblerColours solved{};
            for (int i = 0; i < 72; ++i) At(solved, i) = static_cast<std::uint8_t>(At(script, i));
            for (const NubblerPair& pair : NubblerPairs) At(solved, NubblerIndex(pair.a)) = At(solved, NubblerIndex(pair.b));
            int turns[9] = {};
            for (std::size_t i = 72; i < script.size(); ++i) ++turns[script[i]];
            NubblerColours want = solved;
            for (int p = 0; p < 9; ++p) want = Turned(want, p, turns[p]);

            EXPECT_EQ(n.Buttons(), want);
            std::vector<int> args(72, 8);
            args.insert(args.end(), 1001, 9);
            EXPECT_EQ(h.randomArgs, args);
            EXPECT_TRUE(h.events.empty()) << "shuffling draws and sounds nothing";
            EXPECT_EQ(h.state, kStateReady);
        }
}

TEST_F(NubblerTest, UndoingTheShuffleTurnsSolvesTheBoard) {
    for (const std::uint64_t seed : {5u, 6u, 99u, 31337u}) {
        FakeHost h(SheetFile());
        h.recordFrames = false;
        Nubbler n(h);
        const std::vector<int> script = ScriptFor(seed);
        h.script.assign(script.begin(), script.end());
        n.Shuffle();
        for (std::size_t i = script.size(); i-- > 72;) {
            const Rect sq = Square(script[i]);
            n.RightClick(sq.x + 50, sq.y + 50);
        }
        EXPECT_TRUE(n.IsSolved()) << "seed " << seed;
        EXPECT_EQ(h.state, kStateSolved) << "seed " << seed;
        EXPECT_EQ(h.Only(HostEvent::Solved).size(), 1u) << "seed " << seed;
    }
}

TEST_F(NubblerTest, AShuffleThatAgreesIsReportedOnlyAfterATurn) {
    std::vector<int> script(72, 5);  // one colour everywhere: every colouring agrees
    for (int i = 0; i < 1001; ++i) script.push_back(i % 9);
    host.script.assign(script.begin(), script.end());
    puzzle.Shuffle();
    puzzle.Draw();
    ASSERT_TRUE(puzzle.IsSolved());
    EXPECT_TRUE(host.Only(HostEvent::Solved).empty());
    EXPECT_EQ(host.state, kStateReady);

    host.Clear();
    puzzle.LeftClick(130, 266);
    EXPECT_EQ(host.Trace(), "S3 F P50 F P50 F V");
    EXPECT_EQ(host.state, kStateSolved);
}

// --- Solved ---------------------------------------------------------------

TEST_F(NubblerTest, TheTurnThatMakesAllPairsAgreeReportsItOnce) {
    struct Case {
        int plate;
        bool left;  // the solving turn
    };
    for (const Case c : {Case{0, true}, Case{4, false}, Case{8, true}, Case{5, false}}) {
        SCOPED_TRACE(testing::Message() << "plate " << c.plate << (c.left ? " left" : " right"));
        FakeHost h(SheetFile());
        Nubbler n(h);
        const NubblerColours start = Turned(Agreeing(), c.plate, c.left ? -1 : 1);
        ASSERT_FALSE(NubblerAgrees(start));
        n.SetButtons(start);
        const Rect sq = Square(c.plate);
        auto turn = [&](bool left) {
            if (left) n.LeftClick(sq.x + 50, sq.y + 30);
            else n.RightClick(sq.x + 50, sq.y + 30);
        };

        // A turn that leaves a pair apart reports nothing.
        turn(!c.left);
        turn(c.left);
        EXPECT_EQ(h.Trace(), "S3 F P50 F P50 F S3 F P50 F P50 F");
        EXPECT_EQ(h.state, kStateInPlay);

        turn(c.left);
        EXPECT_EQ(n.Buttons(), Agreeing());
        EXPECT_EQ(h.Only(HostEvent::Solved).size(), 1u);
        EXPECT_EQ(h.events.back().kind, HostEvent::Solved) << "reported after the last frame";
        ExpectButtonsShown(h.Only(HostEvent::Present).back()->screen, c.plate, 0, Agreeing());
        EXPECT_EQ(h.state, kStateSolved);

        // Turning on after solving: away and back again, no second report.
        h.Clear();
        turn(c.left);
        turn(!c.left);
        EXPECT_TRUE(n.IsSolved());
        EXPECT_EQ(h.Trace(), "S3 F P50 F P50 F S3 F P50 F P50 F");
        EXPECT_EQ(h.solvedCount, 1);
        EXPECT_EQ(h.state, kStateSolved);
    }
}

}  // namespace
}  // namespace qg
