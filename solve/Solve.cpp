#include "solve/Solve.h"

#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>

#include "solve/Bidirectional.h"
#include "solve/Permutation.h"

namespace qg {
namespace {

template <class Position>
std::optional<Solution> Checked(const Position& position, std::vector<Move> moves, bool shortest) {
    if (!Solves(position, moves)) return std::nullopt;
    return Solution{std::move(moves), shortest};
}

// ---- TORVANE ------------------------------------------------------------
// 16 cells of two bits each; the board and the target hold the same colours.

struct TorvaneSpace {
    // Per move: the four cells it changes and where each takes its colour from.
    std::array<std::array<int, 4>, 2 * kTorvanePlateCount> cell{}, source{};
    TorvaneSpace() {
        for (int m = 0; m < Moves(); ++m) {
            TorvanePosition labels;
            for (int i = 0; i < kTorvaneCells; ++i) At(labels.board, i) = static_cast<std::uint8_t>(i);
            const TorvanePosition next = qg::Apply(labels, MoveOf(m));
            int k = 0;
            for (int i = 0; i < kTorvaneCells && k < 4; ++i)
                if (At(next.board, i) != i) {
                    At(At(cell, m), k) = i;
                    At(At(source, m), k) = At(next.board, i);
                    ++k;
                }
        }
    }
    static Move MoveOf(int m) { return {m / 2, m % 2 ? Turn::Right : Turn::Left}; }
    int Moves() const { return 2 * kTorvanePlateCount; }
    int Inverse(int m) const { return m ^ 1; }
    std::uint32_t Apply(std::uint32_t v, int m) const {
        const auto& c = At(cell, m);
        const auto& s = At(source, m);
        std::uint32_t out = v;
        for (int k = 0; k < 4; ++k) {
            const int to = At(c, k), fromCell = At(s, k);
            out &= ~(3u << (2 * to));
            out |= ((v >> (2 * fromCell)) & 3u) << (2 * to);
        }
        return out;
    }
    static std::uint32_t Pack(const TorvaneColours& colours) {
        std::uint32_t v = 0;
        for (int i = 0; i < kTorvaneCells; ++i) v |= static_cast<std::uint32_t>(At(colours, i) - 1) << (2 * i);
        return v;
    }
};

bool SameColours(const TorvaneColours& a, const TorvaneColours& b) {
    std::array<int, 5> count{};
    for (const std::uint8_t c : a) {
        if (c < 1 || c > 4) return false;
        ++At(count, c);
    }
    for (const std::uint8_t c : b) {
        if (c < 1 || c > 4) return false;
        --At(count, c);
    }
    for (const int n : count)
        if (n != 0) return false;
    return true;
}

// The search is iterative deepening on a lower bound: for each colour, and
// for each pair of colours seen as one, the exact number of moves that brings
// those cells onto the target's, from small tables over the 16-bit masks of
// the cells. The largest of them never overestimates.
class TorvaneSearch {
public:
    TorvaneSearch(const TorvaneSpace& space, const TorvaneColours& target, const SolveStop* stop)
        : space_(space), stop_(stop) {
        // Each move as a map on masks, a byte at a time.
        for (int m = 0; m < space.Moves(); ++m)
            for (int half = 0; half < 2; ++half)
                for (int byte = 0; byte < 256; ++byte) {
                    std::uint16_t out = 0;
                    for (int bit = 0; bit < 8; ++bit) {
                        if (!((byte >> bit) & 1)) continue;
                        const int cell = half * 8 + bit;
                        out |= static_cast<std::uint16_t>(1u << MaskDest(m, cell));
                    }
                    At(At(At(maskMove_, m), half), byte) = out;
                }
        for (int k = 0; k < 4; ++k) {
            classes_.push_back(1u << k);
            for (int l = k + 1; l < 4; ++l)
                if (k == 0) classes_.push_back((1u << k) | (1u << l));  // the other pairs are these' complements
        }
        for (const unsigned cls : classes_) {
            std::uint16_t goal = 0;
            for (int i = 0; i < kTorvaneCells; ++i)
                if ((cls >> (At(target, i) - 1)) & 1) goal |= static_cast<std::uint16_t>(1u << i);
            tables_.push_back(Distances(goal));
        }
    }

    std::optional<std::vector<int>> Run(std::uint32_t start, std::uint32_t target) {
        target_ = target;
        for (int bound = Bound(start);; ++bound) {
            path_.clear();
            const int r = Dive(start, 0, bound, -1, -1);
            if (r == kFound) return path_;
            if (r == kStopped) return std::nullopt;
        }
    }

private:
    static constexpr int kFound = -1, kStopped = -2;

    int MaskDest(int m, int cell) const {
        const auto& c = At(space_.cell, m);
        const auto& s = At(space_.source, m);
        for (int k = 0; k < 4; ++k)
            if (At(s, k) == cell) return At(c, k);
        return cell;
    }
    std::uint16_t MoveMask(std::uint16_t mask, int m) const {
        return At(At(At(maskMove_, m), 0), mask & 0xFF) | At(At(At(maskMove_, m), 1), mask >> 8);
    }
    std::vector<std::uint8_t> Distances(std::uint16_t goal) const {
        std::vector<std::uint8_t> d(1u << 16, 0xFF);
        std::vector<std::uint16_t> queue{goal};
        d[goal] = 0;
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const std::uint16_t v = queue[head];
            for (int m = 0; m < space_.Moves(); ++m) {
                const std::uint16_t w = MoveMask(v, m);
                if (d[w] != 0xFF) continue;
                d[w] = static_cast<std::uint8_t>(d[v] + 1);
                queue.push_back(w);
            }
        }
        return d;
    }
    static std::uint16_t Squeeze(std::uint32_t x) {
        x &= 0x55555555u;
        x = (x | (x >> 1)) & 0x33333333u;
        x = (x | (x >> 2)) & 0x0F0F0F0Fu;
        x = (x | (x >> 4)) & 0x00FF00FFu;
        x = (x | (x >> 8)) & 0x0000FFFFu;
        return static_cast<std::uint16_t>(x);
    }
    int Bound(std::uint32_t v) const {
        // The cells of each colour: both bits of a cell's pair matched, then
        // the pairs squeezed into one bit each.
        const std::uint32_t lo = v & 0x55555555u, hi = (v >> 1) & 0x55555555u;
        const std::array<std::uint16_t, 4> mask = {Squeeze(~lo & ~hi), Squeeze(lo & ~hi), Squeeze(~lo & hi),
                                                   Squeeze(lo & hi)};
        int h = 0;
        for (std::size_t t = 0; t < classes_.size(); ++t) {
            std::uint16_t m = 0;
            for (int k = 0; k < 4; ++k)
                if ((classes_[t] >> k) & 1) m |= At(mask, k);
            h = std::max(h, int{tables_[t][m]});
        }
        return h;
    }
    // Moves in a canonical order only: no move undone at once, no plate
    // turned the same way three times or a half turn made both ways, and of
    // two corner plates in a row (they commute) the lower first.
    bool Redundant(int m, int last, int beforeLast) const {
        if (last < 0) return false;
        const int plate = m / 2, lastPlate = last / 2;
        if (plate == lastPlate) return m != last || m % 2 == 1 || (beforeLast >= 0 && beforeLast / 2 == plate);
        const bool corner = plate != 2, lastCorner = lastPlate != 2;
        return corner && lastCorner && plate < lastPlate;
    }
    int Dive(std::uint32_t v, int depth, int bound, int last, int beforeLast) {
        if (v == target_) return kFound;
        const int f = depth + Bound(v);
        if (f > bound) return f;
        if ((++nodes_ & 0xFFF) == 0 && stop_ && stop_->load(std::memory_order_relaxed)) return kStopped;
        for (int m = 0; m < space_.Moves(); ++m) {
            if (Redundant(m, last, beforeLast)) continue;
            path_.push_back(m);
            const int r = Dive(space_.Apply(v, m), depth + 1, bound, m, last);
            if (r == kFound || r == kStopped) return r;
            path_.pop_back();
        }
        return bound + 1;
    }

    const TorvaneSpace& space_;
    const SolveStop* stop_;
    std::array<std::array<std::array<std::uint16_t, 256>, 2>, 2 * kTorvanePlateCount> maskMove_{};
    std::vector<unsigned> classes_;
    std::vector<std::vector<std::uint8_t>> tables_;
    std::uint32_t target_ = 0;
    std::vector<int> path_;
    long nodes_ = 0;
};

// ---- NUBBLER ------------------------------------------------------------
// The plates turn independently: a solution is a number of turns of each
// plate, costing the shorter way round. Depth first over the plates in
// order, a pair checked as soon as both its plates have their turn, the
// cheapest complete choice kept.

std::uint8_t NubblerColourAfter(const NubblerPosition& p, int plate, int position, int left) {
    return At(p.buttons, NubblerIndex(plate, (position + left) % kNubblerPositions));
}

int TurnCost(int left) { return std::min(left, kNubblerPositions - left); }

struct NubblerSearch {
    const NubblerPosition& start;
    const SolveStop* stop;
    std::array<int, kNubblerPlateCount> turns{}, best{};
    int bestCost = INT_MAX;
    bool stopped = false;

    bool Fits(int plate) const {
        for (const NubblerPair& pair : NubblerPairs) {
            const int other = pair.a.plate == plate ? pair.b.plate : pair.b.plate == plate ? pair.a.plate : -1;
            if (other < 0 || other > plate) continue;
            const NubblerButton mine = pair.a.plate == plate ? pair.a : pair.b;
            const NubblerButton theirs = pair.a.plate == plate ? pair.b : pair.a;
            if (NubblerColourAfter(start, mine.plate, mine.position, At(turns, plate)) !=
                NubblerColourAfter(start, theirs.plate, theirs.position, At(turns, other)))
                return false;
        }
        return true;
    }
    void Run(int plate, int cost) {
        if (cost >= bestCost || stopped) return;
        if (stop && stop->load(std::memory_order_relaxed)) {
            stopped = true;
            return;
        }
        if (plate == kNubblerPlateCount) {
            bestCost = cost;
            best = turns;
            return;
        }
        // Cheapest turns first, so a good bound comes early.
        for (const int left : {0, 1, 7, 2, 6, 3, 5, 4}) {
            At(turns, plate) = left;
            if (Fits(plate)) Run(plate + 1, cost + TurnCost(left));
        }
    }
};

// ---- PELLORA and CIRRELA ------------------------------------------------

// Shortest searches on the smallest board or level give up after this many states.
constexpr long kShortestBudget = 20000;

struct Prepared {
    solve::Permutation puzzle;
    std::vector<int> order;
    std::unique_ptr<solve::CycleTable> cycles;
    std::vector<solve::Operation> operations;
};

solve::Permutation PelloraPermutation(int variant) {
    const PelloraVariantRow& row = At(PelloraVariantParams, variant - 1);
    PelloraPosition shape;
    shape.variant = variant;
    const solve::Colours target(PelloraTarget.begin(), PelloraTarget.begin() + row.lenses);
    return solve::Permutation::Read(row.lenses, LegalMoves(shape), target, [&](Move m) {
        PelloraPosition labels;
        labels.variant = variant;
        for (int i = 0; i < kPelloraPositions; ++i) At(labels.lenses, i) = static_cast<std::uint8_t>(i);
        const PelloraPosition next = Apply(labels, m);
        return std::vector<int>(next.lenses.begin(), next.lenses.begin() + row.lenses);
    });
}

solve::Permutation CirrelaPermutation(int level) {
    const CirrelaLevelRow& row = At(CirrelaLevelParams, level - 1);
    CirrelaPosition shape;
    shape.level = level;
    const auto& t = At(CirrelaTarget, level - 1);
    const solve::Colours target(t.begin(), t.begin() + row.cells);
    return solve::Permutation::Read(row.cells, LegalMoves(shape), target, [&](Move m) {
        CirrelaPosition labels;
        labels.level = level;
        for (int i = 0; i < kCirrelaMaxCells; ++i) At(labels.balls, i) = static_cast<std::uint8_t>(i);
        const CirrelaPosition next = Apply(labels, m);
        return std::vector<int>(next.balls.begin(), next.balls.begin() + row.cells);
    });
}

// Lens positions from the rim inwards: what stays unsettled longest is the
// middle, where the most cells can still turn.
std::vector<int> PelloraOrder(int variant) {
    const int lenses = At(PelloraVariantParams, variant - 1).lenses;
    std::vector<std::pair<double, int>> key;
    std::vector<bool> placed(static_cast<std::size_t>(lenses), false);
    for (int cell = 0; cell < At(PelloraVariantParams, variant - 1).cells; ++cell) {
        const PelloraCell& c = PelloraCellAt(cell);
        for (std::size_t slot = 0; slot < 6; ++slot) {
            const int lens = c.lens[slot];
            if (placed[static_cast<std::size_t>(lens)]) continue;
            placed[static_cast<std::size_t>(lens)] = true;
            const double x = c.X() + LensSlotOffsets[0][slot].dx - kPelloraCentreX;
            const double y = c.Y() + LensSlotOffsets[0][slot].dy - kPelloraCentreY;
            key.push_back({-(std::hypot(x, y) * 1000.0) + std::atan2(y, x), lens});
        }
    }
    std::sort(key.begin(), key.end());
    std::vector<int> order;
    for (const auto& k : key) order.push_back(k.second);
    return order;
}

// Three-cycles from three cells round one corner of the middle cell.
std::vector<std::vector<int>> PelloraCycles(const solve::Permutation& p) {
    std::vector<int> moves;
    for (int m = 0; m < static_cast<int>(p.moves.size()); ++m) {
        const int place = p.moves[static_cast<std::size_t>(m)].place;
        if (place == 0 || place == 1 || place == 3) moves.push_back(m);
    }
    return solve::FindThreeCycles(p, moves, 8, 400);
}

// Turns of the rings as words of single steps, a segment (ring, steps) at a
// time, each the shorter way round.
std::vector<int> CirrelaWord(int balls, std::initializer_list<std::pair<int, int>> segments) {
    std::vector<int> w;
    for (const auto& [ring, steps] : segments) {
        const int k = ((steps % balls) + balls) % balls;
        const bool left = 2 * k <= balls;
        for (int i = 0; i < (left ? k : balls - k); ++i) w.push_back(ring * 2 + (left ? 0 : 1));  // LegalMoves: left, right
    }
    return w;
}

// Where each ball goes under a word.
std::vector<int> Destinations(const solve::Permutation& p, const std::vector<int>& word) {
    std::vector<int> at(static_cast<std::size_t>(p.places));
    for (int i = 0; i < p.places; ++i) at[static_cast<std::size_t>(i)] = i;
    for (const int m : word)
        for (auto& a : at) a = p.dest[static_cast<std::size_t>(m)][static_cast<std::size_t>(a)];
    return at;
}

// Three-cycles: a commutator carried round one ring until it meets the
// other ring in a single ball, then its commutator with a turn of that ring.
std::vector<std::vector<int>> CirrelaCycles(const solve::Permutation& p, int balls) {
    const auto n = static_cast<std::size_t>(p.places);
    using Perm = std::vector<int>;  // where each ball goes
    // power[r][k]: ring r turned k steps left.
    std::array<std::vector<Perm>, 2> power;
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < balls; ++k) power[static_cast<std::size_t>(r)].push_back(Destinations(p, CirrelaWord(balls, {{r, k}})));
    auto turn = [&](int r, int k) -> const Perm& {
        return power[static_cast<std::size_t>(r)][static_cast<std::size_t>(((k % balls) + balls) % balls)];
    };
    auto then = [&](const Perm& first, const Perm& second) {
        Perm out(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = second[static_cast<std::size_t>(first[i])];
        return out;
    };
    auto inverse = [&](const Perm& q) {
        Perm out(n);
        for (std::size_t i = 0; i < n; ++i) out[static_cast<std::size_t>(q[i])] = static_cast<int>(i);
        return out;
    };
    std::map<std::array<int, 3>, std::vector<int>> cheapest;
    for (int r = 0; r < 2; ++r) {
        const int s = 1 - r;
        std::vector<bool> onS(n, false);
        for (const int i : p.support[static_cast<std::size_t>(2 * s)]) onS[static_cast<std::size_t>(i)] = true;
        for (int a = 1; a < balls; ++a)
            for (int b = 1; b < balls; ++b) {
                const Perm commutator = then(then(then(turn(r, a), turn(s, b)), turn(r, -a)), turn(s, -b));
                for (int k = 0; k < balls; ++k) {
                    const Perm inner = then(then(turn(r, k), commutator), turn(r, -k));
                    int meet = 0;
                    for (std::size_t i = 0; i < n; ++i) meet += inner[i] != static_cast<int>(i) && onS[i];
                    if (meet != 1) continue;
                    const Perm undo = inverse(inner);
                    for (int c = 1; c < balls; ++c) {
                        const Perm at = then(then(then(turn(s, c), inner), turn(s, -c)), undo);
                        std::vector<int> cycle;
                        for (std::size_t i = 0; i < n && cycle.size() < 4; ++i)
                            if (at[i] != static_cast<int>(i)) cycle.push_back(static_cast<int>(i));
                        if (cycle.size() != 3) continue;
                        const int x = cycle[0], y = at[static_cast<std::size_t>(x)], z = at[static_cast<std::size_t>(y)];
                        auto word = CirrelaWord(balls, {{s, c}, {r, k + a}, {s, b}, {r, -a}, {s, -b}, {r, -k}, {s, -c},
                                                        {r, k}, {s, b}, {r, a}, {s, -b}, {r, -a - k}});
                        auto& kept = cheapest[{x, y, z}];
                        if (kept.empty() || word.size() < kept.size()) kept = std::move(word);
                    }
                }
            }
    }
    std::vector<std::vector<int>> cycles;
    for (auto& [key, word] : cheapest) cycles.push_back(std::move(word));
    std::sort(cycles.begin(), cycles.end(), [](const auto& x, const auto& y) { return x.size() < y.size(); });
    if (cycles.size() > 3000) cycles.resize(3000);
    return cycles;
}

// Each size or level is prepared once, on first use, and kept.
const Prepared& PreparedFor(int game, int option) {
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::unique_ptr<Prepared>> cache;
    const std::lock_guard lock(mutex);
    auto& slot = cache[{game, option}];
    if (!slot) {
        auto p = std::make_unique<Prepared>();
        if (game == kPellora) {
            p->puzzle = PelloraPermutation(option);
            p->order = PelloraOrder(option);
            p->cycles = std::make_unique<solve::CycleTable>(p->puzzle, PelloraCycles(p->puzzle));
        } else {
            p->puzzle = CirrelaPermutation(option);
            const int balls = At(CirrelaLevelParams, option - 1).balls;
            p->cycles = std::make_unique<solve::CycleTable>(p->puzzle, CirrelaCycles(p->puzzle, balls));
            for (int r = 0; r < 2; ++r)
                for (int k = 1; k < balls; ++k) p->operations.emplace_back(p->puzzle, CirrelaWord(balls, {{r, k}}));
            // The commutators, and each carried round either ring.
            for (int r = 0; r < 2; ++r)
                for (int a = 1; a < balls; ++a)
                    for (int b = 1; b < balls; ++b)
                        for (int carry = 0; carry < 2; ++carry)
                            for (int k = 0; k < balls; ++k) {
                                if (carry == 1 && k == 0) continue;
                                const int c = carry == 0 ? r : 1 - r;
                                p->operations.emplace_back(
                                    p->puzzle, CirrelaWord(balls, {{c, k}, {r, a}, {1 - r, b}, {r, -a}, {1 - r, -b}, {c, -k}}));
                            }
        }
        slot = std::move(p);
    }
    return *slot;
}

std::vector<Move> AsMoves(const solve::Permutation& p, const std::vector<int>& sequence) {
    std::vector<Move> out;
    for (const int m : sequence) out.push_back(p.moves[static_cast<std::size_t>(m)]);
    return out;
}

// CIRRELA: one ring's long stretch clear of both crossings is built ball by
// ball: the other ring brings the next colour to the upper crossing and one
// step of the ring takes it in. The other ring never touches that stretch,
// so what is built stays; at the end the other ring is turned to fit best.
void BuildRing(const solve::Permutation& p, int level, int ring, solve::Colours& state, std::vector<int>& sequence) {
    const int n = At(CirrelaLevelParams, level - 1).balls;
    const CirrelaRing& cells = At(At(CirrelaRings, level - 1), ring);
    const int feeder = 1 - ring;
    const int feedLeft = 2 * feeder, feedRight = 2 * feeder + 1;
    // The upper crossing lies at place 0 of the left ring and n/4 of the
    // right one; a step takes its ball into the stretch, whose far end fills first.
    const int crossing = ring == 0 ? 0 : n / 4;
    const int step = ring == 0 ? 0 : 3;  // left ring left (j to j + 1), right ring right (j to j - 1)
    const int upper = At(cells, crossing);
    const int length = 3 * n / 4 - 1;
    std::vector<int> stretch;
    for (int i = length; i >= 1; --i) stretch.push_back(At(cells, ((ring == 0 ? crossing + i : crossing - i) % n + n) % n));
    for (const int cell : stretch) {
        const std::uint8_t need = p.target[static_cast<std::size_t>(cell)];
        int bestSteps = -1;
        int bestMove = feedLeft;
        for (int k = 0; k <= n / 2 && bestSteps < 0; ++k)
            for (const int m : {feedLeft, feedRight}) {
                solve::Colours s = state;
                for (int i = 0; i < k; ++i) p.Apply(s, m);
                if (s[static_cast<std::size_t>(upper)] == need) {
                    bestSteps = k;
                    bestMove = m;
                    break;
                }
            }
        if (bestSteps < 0) return;  // the colour is used up on the other ring: leave the rest
        for (int i = 0; i < bestSteps; ++i) {
            p.Apply(state, bestMove);
            sequence.push_back(bestMove);
        }
        p.Apply(state, step);
        sequence.push_back(step);
    }
    int bestTurn = 0, bestRight = -1;
    for (int k = 0; k < n; ++k) {
        solve::Colours s = state;
        for (int i = 0; i < k; ++i) p.Apply(s, feedLeft);
        int right = 0;
        for (int c = 0; c < p.places; ++c) right += s[static_cast<std::size_t>(c)] == p.target[static_cast<std::size_t>(c)];
        if (right > bestRight) bestRight = right, bestTurn = k;
    }
    const int steps = bestTurn <= n / 2 ? bestTurn : n - bestTurn;
    const int m = bestTurn <= n / 2 ? feedLeft : feedRight;
    for (int i = 0; i < steps; ++i) {
        p.Apply(state, m);
        sequence.push_back(m);
    }
}

template <class Position>
std::optional<Solution> SolveByReduction(const Position& position, int game, int option, const solve::Colours& start,
                                         const SolveStop* stop) {
    const Prepared& prep = PreparedFor(game, option);
    const solve::Permutation& p = prep.puzzle;
    if (option == 1)
        if (const auto path = solve::ShortestWithin(p, start, kShortestBudget, stop))
            return Checked(position, AsMoves(p, *path), true);
    if (stop && stop->load()) return std::nullopt;
    // CIRRELA tries building either ring first and keeps the shorter.
    std::optional<std::vector<Move>> best;
    for (int variant = 0; variant < (game == kPellora ? 1 : 2); ++variant) {
        solve::Colours state = start;
        std::vector<int> sequence;
        if (game == kPellora) solve::SettleByFreeMoves(p, prep.order, state, sequence);
        else BuildRing(p, option, 1 - variant, state, sequence);
        if (!solve::FinishByCycles(p, *prep.cycles, prep.operations, state, sequence, stop)) return std::nullopt;
        auto moves = solve::Shorten(p, sequence);
        if (!best || moves.size() < best->size()) best = std::move(moves);
    }
    return Checked(position, std::move(*best), false);
}

}  // namespace

std::optional<Solution> Solve(const TorvanePosition& position, const SolveStop* stop) {
    if (IsSolved(position)) return Solution{{}, true};
    if (!SameColours(position.board, position.target)) return std::nullopt;
    static const TorvaneSpace space;
    TorvaneSearch search(space, position.target, stop);
    const auto path = search.Run(TorvaneSpace::Pack(position.board), TorvaneSpace::Pack(position.target));
    if (!path) return std::nullopt;
    std::vector<Move> moves;
    for (const int m : *path) moves.push_back(TorvaneSpace::MoveOf(m));
    return Checked(position, std::move(moves), true);
}

std::optional<Solution> Solve(const NubblerPosition& position, const SolveStop* stop) {
    NubblerSearch search{position, stop};
    search.Run(0, 0);
    if (search.stopped || search.bestCost == INT_MAX) return std::nullopt;
    std::vector<Move> moves;
    for (int plate = 0; plate < kNubblerPlateCount; ++plate) {
        const int left = At(search.best, plate);
        const Move m{plate, left <= kNubblerPositions / 2 ? Turn::Left : Turn::Right};
        for (int k = 0; k < TurnCost(left); ++k) moves.push_back(m);
    }
    return Checked(position, std::move(moves), true);
}

std::optional<Solution> Solve(const PelloraPosition& position, const SolveStop* stop) {
    if (IsSolved(position)) return Solution{{}, true};
    const int lenses = At(PelloraVariantParams, position.variant - 1).lenses;
    const solve::Colours start(position.lenses.begin(), position.lenses.begin() + lenses);
    return SolveByReduction(position, kPellora, position.variant, start, stop);
}

std::optional<Solution> Solve(const CirrelaPosition& position, const SolveStop* stop) {
    if (IsSolved(position)) return Solution{{}, true};
    const int cells = At(CirrelaLevelParams, position.level - 1).cells;
    const solve::Colours start(position.balls.begin(), position.balls.begin() + cells);
    return SolveByReduction(position, kCirrela, position.level, start, stop);
}

std::optional<Solution> SolveText(int gameIndex, std::string_view text, const SolveStop* stop) {
    auto solve = [&](auto decoded) -> std::optional<Solution> {
        if (!decoded) return std::nullopt;
        return Solve(*decoded, stop);
    };
    switch (gameIndex) {
    case kTorvane: return solve(Decode<TorvanePosition>(text));
    case kPellora: return solve(Decode<PelloraPosition>(text));
    case kNubbler: return solve(Decode<NubblerPosition>(text));
    case kCirrela: return solve(Decode<CirrelaPosition>(text));
    default: return std::nullopt;
    }
}

std::optional<std::vector<SolutionStep>> SolveSteps(int gameIndex, std::string_view text, const SolveStop* stop) {
    auto steps = [&](auto decoded) -> std::optional<std::vector<SolutionStep>> {
        if (!decoded) return std::nullopt;
        const auto solution = Solve(*decoded, stop);
        if (!solution) return std::nullopt;
        std::vector<SolutionStep> out;
        auto p = *decoded;
        for (const Move m : solution->moves) {
            out.push_back({Encode(p), m});
            p = Apply(p, m);
        }
        return out;
    };
    switch (gameIndex) {
    case kTorvane: return steps(Decode<TorvanePosition>(text));
    case kPellora: return steps(Decode<PelloraPosition>(text));
    case kNubbler: return steps(Decode<NubblerPosition>(text));
    case kCirrela: return steps(Decode<CirrelaPosition>(text));
    default: return std::nullopt;
    }
}

}  // namespace qg
