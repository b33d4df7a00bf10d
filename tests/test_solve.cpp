// The solvers behind the hints. Each solution must end solved when played
// with the puzzle's own Apply; where a solver promises a shortest solution
// its length is checked against distances this test finds on its own, by
// plain breadth-first searches over the positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "solve/Solve.h"
#include "tests/FakeHost.h"
#include "tests/PositionSamples.h"
#include "tests/SolvedBoards.h"

namespace qg {
namespace {

// How far the nearest solved position lies, by breadth-first search from p
// on the Encode text; -1 beyond maxDepth.
template <class Position>
int DistanceToSolved(const Position& from, int maxDepth) {
    std::set<std::string> seen{Encode(from)};
    std::vector<Position> layer{from};
    for (int d = 0; d <= maxDepth; ++d) {
        for (const Position& p : layer)
            if (IsSolved(p)) return d;
        std::vector<Position> next;
        for (const Position& p : layer)
            for (const Move m : LegalMoves(p)) {
                const Position q = Apply(p, m);
                if (seen.insert(Encode(q)).second) next.push_back(q);
            }
        layer = std::move(next);
    }
    return -1;
}

// Positions a seeded walk of 1..walk moves leads to from `solved`, each with
// its distance found by the search above.
template <class Position>
std::vector<std::pair<Position, int>> KnownDistances(const Position& solved, int walk, int perLength) {
    std::vector<std::pair<Position, int>> out;
    RandomSource pick(7);
    for (int length = 1; length <= walk; ++length)
        for (int k = 0; k < perLength; ++k) {
            Position p = solved;
            for (int i = 0; i < length; ++i) {
                const auto moves = LegalMoves(p);
                p = Apply(p, moves[static_cast<std::size_t>(pick.Random(static_cast<int>(moves.size())))]);
            }
            out.push_back({p, DistanceToSolved(p, length)});
        }
    return out;
}

template <class Position>
void ExpectShortest(const Position& p, int distance) {
    SCOPED_TRACE(Encode(p));
    const auto s = Solve(p);
    ASSERT_TRUE(s.has_value());
    EXPECT_TRUE(Solves(p, s->moves));
    EXPECT_EQ(static_cast<int>(s->moves.size()), distance);
    EXPECT_TRUE(s->shortest);
}

// ---- TORVANE ------------------------------------------------------------

TorvanePosition TorvaneAt(int boardPattern, int targetPattern) {
    return {TorvanePattern(boardPattern), TorvanePattern(targetPattern), targetPattern};
}

TEST(SolveTorvane, NearTheTargetEveryDistanceIsMet) {
    for (const int pattern : {3, 10, 32})
        for (const auto& [p, d] : KnownDistances(TorvaneAt(pattern, pattern), 6, 3)) ExpectShortest(p, d);
}

// Far positions from the game's own set-up, their distances found by the
// test's own search from both ends: all boards within `radius` moves of the
// target, then those of the start layer by layer until the two meet and no
// shorter way can be left.
std::uint32_t Key(const TorvaneColours& c) {
    std::uint32_t k = 0;
    for (const std::uint8_t v : c) k = k * 4 + (v - 1u);
    return k;
}

int MeetInTheMiddle(const TorvanePosition& p, int radius) {
    std::unordered_map<std::uint32_t, int> near{{Key(p.target), 0}};
    std::vector<TorvanePosition> layer{{p.target, p.target, p.lastPattern}};
    for (int d = 1; d <= radius; ++d) {
        std::vector<TorvanePosition> next;
        for (const TorvanePosition& q : layer)
            for (const Move m : LegalMoves(q)) {
                const TorvanePosition r = Apply(q, m);
                if (near.emplace(Key(r.board), d).second) next.push_back(r);
            }
        layer = std::move(next);
    }
    int best = 1 << 30;
    std::unordered_map<std::uint32_t, int> seen{{Key(p.board), 0}};
    layer = {p};
    for (int d = 0; d + radius + 1 < best && !layer.empty(); ++d) {
        for (const TorvanePosition& q : layer)
            if (const auto it = near.find(Key(q.board)); it != near.end()) best = std::min(best, d + it->second);
        std::vector<TorvanePosition> next;
        for (const TorvanePosition& q : layer)
            for (const Move m : LegalMoves(q)) {
                const TorvanePosition r = Apply(q, m);
                if (seen.emplace(Key(r.board), d + 1).second) next.push_back(r);
            }
        layer = std::move(next);
    }
    return best;
}

TEST(SolveTorvane, PositionsFromTheSetUpGetTheirShortest) {
    // Seeds whose boards lie at most 12 moves from their targets, within
    // reach of six from either end.
    for (const unsigned seed : {11u, 2u, 10u}) {
        test::FakeHost host;
        host.source = RandomSource{seed};
        Torvane puzzle(host);
        puzzle.Prepare();
        ExpectShortest(puzzle.Position(), MeetInTheMiddle(puzzle.Position(), 6));
    }
}

// Positions of the set-up 13 and 14 moves from their targets: the same
// search, with a ball of seven around the target, measured them once; too
// slow and too large for every run, their distances are kept as measured.
TEST(SolveTorvane, GoldenFarPositions) {
    struct Golden {
        const char* text;
        int distance;
    };
    const Golden golden[] = {
        {"3344233421142211 1324132443214321 38", 14},
        {"4343212143432121 4213243123412341 47", 13},
        {"4411344132213322 1111423442342233 34", 14},
    };
    for (const Golden& g : golden) {
        const auto p = Decode<TorvanePosition>(g.text);
        ASSERT_TRUE(p.has_value()) << g.text;
        ExpectShortest(*p, g.distance);
    }
}

TEST(SolveTorvane, ASolvedBoardNeedsNothingAndAStopEndsTheSearch) {
    const auto solved = Solve(TorvaneAt(5, 5));
    ASSERT_TRUE(solved.has_value());
    EXPECT_TRUE(solved->moves.empty());
    SolveStop stop{true};
    EXPECT_FALSE(Solve(TorvaneAt(5, 17), &stop).has_value());
    // Boards whose colours do not match the target's have no solution.
    TorvanePosition odd = TorvaneAt(5, 17);
    std::swap(odd.board[0], odd.target[15]);
    if (odd.board[0] != odd.target[15]) EXPECT_FALSE(Solve(odd).has_value());
}

// ---- NUBBLER ------------------------------------------------------------

TEST(SolveNubbler, NearASolvedBoardEveryDistanceIsMet) {
    const NubblerPosition solved{test::AgreeingNubbler()};
    for (const auto& [p, d] : KnownDistances(solved, 5, 4)) ExpectShortest(p, d);
}

// Turns of the nine plates commute, so a shortest solution is a number of
// turns per plate: the test tries all 8^9 and keeps the cheapest that agrees.
int CheapestTurns(const NubblerPosition& p) {
    int best = 1 << 30;
    std::array<int, kNubblerPlateCount> t{};
    for (long code = 0; code < (1L << 27); ++code) {
        long c = code;
        int cost = 0;
        for (int plate = 0; plate < kNubblerPlateCount; ++plate, c >>= 3) {
            At(t, plate) = static_cast<int>(c & 7);
            cost += std::min(At(t, plate), 8 - At(t, plate));
        }
        if (cost >= best) continue;
        bool agree = true;
        for (const NubblerPair& pair : NubblerPairs) {
            const auto colour = [&](NubblerButton b) {
                return At(p.buttons, NubblerIndex(b.plate, (b.position + At(t, b.plate)) % kNubblerPositions));
            };
            if (colour(pair.a) != colour(pair.b)) {
                agree = false;
                break;
            }
        }
        if (agree) best = cost;
    }
    return best;
}

TEST(SolveNubbler, MixedBoardsGetTheCheapestTurnsOfAll) {
    for (const unsigned seed : {1u}) {
        test::FakeHost host;
        host.source = RandomSource{seed};
        Nubbler puzzle(host);
        puzzle.Prepare();
        ExpectShortest(puzzle.Position(), CheapestTurns(puzzle.Position()));
    }
}

// ---- PELLORA and CIRRELA ------------------------------------------------

TEST(SolvePellora, TheSmallestBoardNearItsSolutionGetsTheShortest) {
    PelloraPosition solved;
    solved.variant = 1;
    for (const auto& [p, d] : KnownDistances(solved, 4, 4)) ExpectShortest(p, d);
}

TEST(SolveCirrela, TheFirstLevelNearItsSolutionGetsTheShortest) {
    CirrelaPosition solved;
    for (const auto& [p, d] : KnownDistances(solved, 10, 2)) ExpectShortest(p, d);
}

// The moves a Mix makes from its draws: PELLORA's fixed count of turns, and
// CIRRELA's rounds of steps.
class CountingHost : public test::FakeHost {
public:
    CountingHost() : FakeHost(Surface(700, 700)) {}
    int Random(int n) override {
        const int r = FakeHost::Random(n);
        draws.push_back(r);
        return r;
    }
    std::vector<int> draws;
};

template <class P>
void ExpectWithinTheMix() {
    for (const int option : test::OptionsOf(Record(test::PuzzleTraits<P>::kGame)))
        for (const unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
            CountingHost host;
            host.source = RandomSource{seed};
            P puzzle(host);
            puzzle.SetOption(option);
            puzzle.Prepare();
            host.draws.clear();
            puzzle.Shuffle();
            int mixed = 0;
            if constexpr (std::is_same_v<P, Pellora>) mixed = 20 * At(PelloraVariantParams, option - 1).cells + 1;
            else
                for (std::size_t i = 3; i < host.draws.size(); i += 3) mixed += host.draws[i] + 1;
            const auto p = puzzle.Position();
            SCOPED_TRACE(Encode(p));
            const auto s = Solve(p);
            ASSERT_TRUE(s.has_value());
            EXPECT_TRUE(Solves(p, s->moves));
            EXPECT_LE(static_cast<int>(s->moves.size()), mixed);
        }
}

TEST(SolvePellora, EverySizeIsSolvedInFewerMovesThanItsMix) { ExpectWithinTheMix<Pellora>(); }
TEST(SolveCirrela, EveryLevelIsSolvedInFewerMovesThanItsMix) { ExpectWithinTheMix<Cirrela>(); }

// ---- Every puzzle -------------------------------------------------------

template <class P>
class SolveAny : public ::testing::Test {};
using AllPuzzles = ::testing::Types<Torvane, Pellora, Nubbler, Cirrela>;
TYPED_TEST_SUITE(SolveAny, AllPuzzles);

// The positions every puzzle's tests use: each solution ends solved, and
// the text form leads to the same solution.
TYPED_TEST(SolveAny, SamplePositionsAreSolvedAlsoFromTheirText) {
    for (const auto& p : test::SamplePositions<TypeParam>()) {
        SCOPED_TRACE(Encode(p));
        const auto s = Solve(p);
        ASSERT_TRUE(s.has_value());
        EXPECT_TRUE(Solves(p, s->moves));
        EXPECT_EQ(s->moves.empty(), IsSolved(p));
        const auto fromText = SolveText(test::PuzzleTraits<TypeParam>::kGame, Encode(p));
        ASSERT_TRUE(fromText.has_value());
        EXPECT_EQ(fromText->moves, s->moves);
    }
    EXPECT_FALSE(SolveText(test::PuzzleTraits<TypeParam>::kGame, "not a position").has_value());
}

}  // namespace
}  // namespace qg
