#include "solve/Permutation.h"

#include <array>
#include <limits>
#include <utility>

#include "solve/Bidirectional.h"

namespace qg::solve {

void Permutation::Apply(Colours& state, int move) const {
    const auto& sup = support[static_cast<std::size_t>(move)];
    const auto& f = from[static_cast<std::size_t>(move)];
    std::array<std::uint8_t, 128> held{};
    for (std::size_t k = 0; k < sup.size(); ++k) held[k] = state[static_cast<std::size_t>(f[static_cast<std::size_t>(sup[k])])];
    for (std::size_t k = 0; k < sup.size(); ++k) state[static_cast<std::size_t>(sup[k])] = held[k];
}

bool Permutation::Commute(int a, int b) const {
    if (moves[static_cast<std::size_t>(a)].place == moves[static_cast<std::size_t>(b)].place) return true;
    for (const int i : support[static_cast<std::size_t>(a)])
        for (const int j : support[static_cast<std::size_t>(b)])
            if (i == j) return false;
    return true;
}

// ---- The bidirectional search -------------------------------------------

namespace {

// A state as a number: the colours as digits. Only when they fit 64 bits.
struct Packer {
    int base = 0;
    int places = 0;
    bool Fits() const {
        long double room = 1;
        for (int i = 0; i < places; ++i) room *= base;
        return room < 1.8e19L;
    }
    std::uint64_t Pack(const Colours& s) const {
        std::uint64_t v = 0;
        for (int i = places - 1; i >= 0; --i) v = v * static_cast<std::uint64_t>(base) + (s[static_cast<std::size_t>(i)] - 1u);
        return v;
    }
    void Unpack(std::uint64_t v, Colours& s) const {
        for (int i = 0; i < places; ++i) {
            s[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v % static_cast<std::uint64_t>(base) + 1);
            v /= static_cast<std::uint64_t>(base);
        }
    }
};

}  // namespace

std::optional<std::vector<int>> ShortestWithin(const Permutation& puzzle, const Colours& start, long budget,
                                               const std::atomic<bool>* stop) {
    const Packer packer{puzzle.colours, puzzle.places};
    if (!packer.Fits()) return std::nullopt;
    // Moves on the packed state go through the colours.
    struct Space {
        const Permutation& puzzle;
        const Packer& packer;
        mutable Colours s;
        int Moves() const { return static_cast<int>(puzzle.moves.size()); }
        int Inverse(int m) const { return puzzle.inverse[static_cast<std::size_t>(m)]; }
        std::uint64_t Apply(std::uint64_t v, int m) const {
            packer.Unpack(v, s);
            puzzle.Apply(s, m);
            return packer.Pack(s);
        }
    };
    Space space{puzzle, packer, {}};
    space.s.assign(static_cast<std::size_t>(puzzle.places), 1);
    return BidirectionalSearch(space, packer.Pack(start), packer.Pack(puzzle.target), budget, stop);
}

// ---- Three-cycles -------------------------------------------------------

namespace {

// The labels after a word, and how many places no longer hold their own.
struct Tracker {
    const Permutation& puzzle;
    std::vector<int> label;
    int displaced = 0;
    explicit Tracker(const Permutation& p) : puzzle(p), label(static_cast<std::size_t>(p.places)) {
        for (int i = 0; i < p.places; ++i) label[static_cast<std::size_t>(i)] = i;
    }
    void Apply(int m) {
        const auto& sup = puzzle.support[static_cast<std::size_t>(m)];
        const auto& f = puzzle.from[static_cast<std::size_t>(m)];
        std::array<int, 128> held{};
        for (std::size_t k = 0; k < sup.size(); ++k) held[k] = label[static_cast<std::size_t>(f[static_cast<std::size_t>(sup[k])])];
        for (std::size_t k = 0; k < sup.size(); ++k) {
            const auto i = static_cast<std::size_t>(sup[k]);
            displaced -= label[i] != sup[k];
            label[i] = held[k];
            displaced += label[i] != sup[k];
        }
    }
};

}  // namespace

std::vector<std::vector<int>> FindThreeCycles(const Permutation& puzzle, const std::vector<int>& moves, int maxLength,
                                              int wanted) {
    std::vector<std::vector<int>> found;
    Tracker tracker(puzzle);
    std::vector<int> word;
    // Depth by depth, so the shortest come first.
    for (int length = 2; length <= maxLength && static_cast<int>(found.size()) < wanted; ++length) {
        auto dive = [&](auto&& self, int depth) -> void {
            if (static_cast<int>(found.size()) >= wanted) return;
            if (depth == length) {
                if (tracker.displaced == 3) found.push_back(word);
                return;
            }
            for (const int m : moves) {
                if (!word.empty()) {
                    const int last = word.back();
                    if (puzzle.inverse[static_cast<std::size_t>(last)] == m) continue;
                    // A run of one turn no longer than half its order.
                    int run = 0;
                    for (auto it = word.rbegin(); it != word.rend() && *it == m; ++it) ++run;
                    if (2 * (run + 1) > puzzle.order[static_cast<std::size_t>(m)]) continue;
                }
                word.push_back(m);
                tracker.Apply(m);
                self(self, depth + 1);
                tracker.Apply(puzzle.inverse[static_cast<std::size_t>(m)]);
                word.pop_back();
            }
        };
        dive(dive, 0);
    }
    return found;
}

CycleTable::CycleTable(const Permutation& puzzle, const std::vector<std::vector<int>>& cycles)
    : puzzle_(puzzle), cycles_(cycles), n_(puzzle.places) {
    const std::size_t size = static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_);
    cost_.assign(size, kNone);
    via_.assign(size, 0);
    const int moves = static_cast<int>(puzzle.moves.size());
    // Buckets by cost: the base words cost their length, each conjugation two.
    std::vector<std::vector<std::array<int, 3>>> bucket(kNone);
    for (std::size_t k = 0; k < cycles_.size(); ++k) {
        Tracker t(puzzle);
        for (const int m : cycles_[k]) t.Apply(m);
        // Where each label went.
        std::vector<int> where(static_cast<std::size_t>(n_));
        std::vector<int> moved;
        for (int i = 0; i < n_; ++i) {
            where[static_cast<std::size_t>(t.label[static_cast<std::size_t>(i)])] = i;
            if (t.label[static_cast<std::size_t>(i)] != i) moved.push_back(i);
        }
        if (moved.size() != 3) continue;
        const int x = moved[0], y = where[static_cast<std::size_t>(x)], z = where[static_cast<std::size_t>(y)];
        const int cost = static_cast<int>(cycles_[k].size());
        if (cost >= kNone) continue;
        const std::array<std::array<int, 3>, 3> turns = {{{x, y, z}, {y, z, x}, {z, x, y}}};
        for (int r = 0; r < 3; ++r) {
            const auto& tr = turns[static_cast<std::size_t>(r)];
            const std::size_t i = Index(tr[0], tr[1], tr[2]);
            if (cost_[i] <= cost) continue;
            cost_[i] = static_cast<std::uint8_t>(cost);
            via_[i] = static_cast<std::uint16_t>(moves + 3 * static_cast<int>(k) + r);
            bucket[static_cast<std::size_t>(cost)].push_back(tr);
        }
    }
    for (int c = 0; c + 2 < kNone; ++c) {
        for (std::size_t k = 0; k < bucket[static_cast<std::size_t>(c)].size(); ++k) {
            const auto tr = bucket[static_cast<std::size_t>(c)][k];
            if (cost_[Index(tr[0], tr[1], tr[2])] != c) continue;  // reached more cheaply since
            for (int m = 0; m < moves; ++m) {
                const auto& f = puzzle.from[static_cast<std::size_t>(m)];
                const int a = f[static_cast<std::size_t>(tr[0])], b = f[static_cast<std::size_t>(tr[1])],
                          d = f[static_cast<std::size_t>(tr[2])];
                const std::size_t i = Index(a, b, d);
                if (cost_[i] <= c + 2) continue;
                cost_[i] = static_cast<std::uint8_t>(c + 2);
                via_[i] = static_cast<std::uint16_t>(m);
                bucket[static_cast<std::size_t>(c + 2)].push_back({a, b, d});
            }
        }
        bucket[static_cast<std::size_t>(c)].clear();
        bucket[static_cast<std::size_t>(c)].shrink_to_fit();
    }
}

std::vector<int> CycleTable::Word(int a, int b, int c) const {
    // Conjugations outside in: m, then the inner word, then m undone.
    std::vector<int> outer;
    const int moves = static_cast<int>(puzzle_.moves.size());
    while (true) {
        const int via = via_[Index(a, b, c)];
        if (via >= moves) {
            std::vector<int> word = outer;
            const auto& base = cycles_[static_cast<std::size_t>((via - moves) / 3)];
            word.insert(word.end(), base.begin(), base.end());
            for (auto it = outer.rbegin(); it != outer.rend(); ++it) word.push_back(puzzle_.inverse[static_cast<std::size_t>(*it)]);
            return word;
        }
        outer.push_back(via);
        const auto& d = puzzle_.dest[static_cast<std::size_t>(via)];
        a = d[static_cast<std::size_t>(a)], b = d[static_cast<std::size_t>(b)], c = d[static_cast<std::size_t>(c)];
    }
}

// ---- Settling places ----------------------------------------------------

void SettleByFreeMoves(const Permutation& puzzle, const std::vector<int>& order, Colours& state,
                       std::vector<int>& sequence) {
    const int n = puzzle.places;
    const int moves = static_cast<int>(puzzle.moves.size());
    std::vector<bool> settled(static_cast<std::size_t>(n), false);
    std::vector<int> blocked(static_cast<std::size_t>(moves), 0);  // settled places each move touches
    // Moves through each place, so the search looks only at those.
    std::vector<std::vector<int>> through(static_cast<std::size_t>(n));
    for (int m = 0; m < moves; ++m)
        for (const int i : puzzle.support[static_cast<std::size_t>(m)]) through[static_cast<std::size_t>(i)].push_back(m);
    std::vector<int> dist(static_cast<std::size_t>(n)), via(static_cast<std::size_t>(n));
    std::vector<int> queue;
    for (const int p : order) {
        if (state[static_cast<std::size_t>(p)] != puzzle.target[static_cast<std::size_t>(p)]) {
            // Backwards from p: which place's content each free move would bring on.
            std::fill(dist.begin(), dist.end(), -1);
            queue.assign(1, p);
            dist[static_cast<std::size_t>(p)] = 0;
            int found = -1;
            for (std::size_t head = 0; head < queue.size() && found < 0; ++head) {
                const int v = queue[head];
                for (const int m : through[static_cast<std::size_t>(v)]) {
                    if (blocked[static_cast<std::size_t>(m)]) continue;
                    const int u = puzzle.from[static_cast<std::size_t>(m)][static_cast<std::size_t>(v)];
                    if (dist[static_cast<std::size_t>(u)] >= 0) continue;
                    dist[static_cast<std::size_t>(u)] = dist[static_cast<std::size_t>(v)] + 1;
                    via[static_cast<std::size_t>(u)] = m;
                    if (state[static_cast<std::size_t>(u)] == puzzle.target[static_cast<std::size_t>(p)]) {
                        found = u;
                        break;
                    }
                    queue.push_back(u);
                }
            }
            if (found < 0) continue;  // left unsettled
            for (int u = found; u != p;) {
                const int m = via[static_cast<std::size_t>(u)];
                puzzle.Apply(state, m);
                sequence.push_back(m);
                u = puzzle.dest[static_cast<std::size_t>(m)][static_cast<std::size_t>(u)];
            }
        }
        settled[static_cast<std::size_t>(p)] = true;
        for (const int m : through[static_cast<std::size_t>(p)]) ++blocked[static_cast<std::size_t>(m)];
    }
}

Operation::Operation(const Permutation& puzzle, std::vector<int> w) : word(std::move(w)) {
    std::vector<int> label(static_cast<std::size_t>(puzzle.places));
    for (int i = 0; i < puzzle.places; ++i) label[static_cast<std::size_t>(i)] = i;
    for (const int m : word) {
        std::vector<int> next(label.size());
        for (int i = 0; i < puzzle.places; ++i)
            next[static_cast<std::size_t>(i)] = label[static_cast<std::size_t>(puzzle.from[static_cast<std::size_t>(m)][static_cast<std::size_t>(i)])];
        label = std::move(next);
    }
    for (int i = 0; i < puzzle.places; ++i)
        if (label[static_cast<std::size_t>(i)] != i) moves.push_back({i, label[static_cast<std::size_t>(i)]});
}

bool FinishByCycles(const Permutation& puzzle, const CycleTable& table, const std::vector<Operation>& operations,
                    Colours& state, std::vector<int>& sequence, const std::atomic<bool>* stop) {
    const int n = puzzle.places;
    const auto& target = puzzle.target;
    auto right = [&](int i, std::uint8_t c) { return target[static_cast<std::size_t>(i)] == c; };
    while (true) {
        if (stop && stop->load(std::memory_order_relaxed)) return false;
        std::vector<int> wrong;
        for (int i = 0; i < n; ++i)
            if (!right(i, state[static_cast<std::size_t>(i)])) wrong.push_back(i);
        if (wrong.empty()) return true;
        // The cycle q -> p -> r: p gets q's colour; the cheapest per place put right.
        double best = std::numeric_limits<double>::max();
        std::array<int, 3> pick{-1, -1, -1};
        for (const int p : wrong) {
            const std::uint8_t need = target[static_cast<std::size_t>(p)];
            for (int q = 0; q < n; ++q) {
                if (q == p || state[static_cast<std::size_t>(q)] != need) continue;
                const bool qWasRight = right(q, need);
                for (int r = 0; r < n; ++r) {
                    if (r == p || r == q) continue;
                    const bool rWasRight = right(r, state[static_cast<std::size_t>(r)]);
                    // A right place only takes part when it stays right.
                    const bool rRight = right(r, state[static_cast<std::size_t>(p)]);
                    const bool qRight = right(q, state[static_cast<std::size_t>(r)]);
                    const int gain = 1 + (qRight - qWasRight) + (rRight - rWasRight);
                    if (gain <= 0) continue;
                    const int cost = table.Cost(q, p, r);
                    if (cost == CycleTable::kNone) continue;
                    const double score = static_cast<double>(cost) / gain;
                    if (score < best) {
                        best = score;
                        pick = {q, p, r};
                    }
                }
            }
        }
        const Operation* op = nullptr;
        for (const Operation& o : operations) {
            int gain = 0;
            for (const auto& [to, fromPlace] : o.moves)
                gain += right(to, state[static_cast<std::size_t>(fromPlace)]) - right(to, state[static_cast<std::size_t>(to)]);
            if (gain <= 0) continue;
            const double score = static_cast<double>(o.word.size()) / gain;
            if (score < best) {
                best = score;
                op = &o;
            }
        }
        if (op) {
            for (const int m : op->word) {
                puzzle.Apply(state, m);
                sequence.push_back(m);
            }
            continue;
        }
        if (pick[0] < 0) return false;
        for (const int m : table.Word(pick[0], pick[1], pick[2])) {
            puzzle.Apply(state, m);
            sequence.push_back(m);
        }
    }
}

// ---- Shortening ---------------------------------------------------------

std::vector<Move> Shorten(const Permutation& puzzle, const std::vector<int>& sequence) {
    // Runs as (a move standing for its place, net left turns).
    struct Run {
        int move;
        int turns;
    };
    auto leftOf = [&](int m) {
        const Move mv = puzzle.moves[static_cast<std::size_t>(m)];
        return mv.turn == Turn::Left ? m : puzzle.inverse[static_cast<std::size_t>(m)];
    };
    std::vector<Run> runs;
    for (const int m : sequence) {
        const int left = leftOf(m);
        const int turns = left == m ? 1 : -1;
        const int order = puzzle.order[static_cast<std::size_t>(left)];
        bool merged = false;
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
            if (it->move == left) {
                it->turns = ((it->turns + turns) % order + order) % order;
                if (it->turns == 0) runs.erase(std::next(it).base());
                merged = true;
                break;
            }
            if (!puzzle.Commute(it->move, left)) break;
        }
        if (!merged) runs.push_back({left, (turns + order) % order});
    }
    std::vector<Move> out;
    for (const Run& run : runs) {
        const int order = puzzle.order[static_cast<std::size_t>(run.move)];
        const Move left = puzzle.moves[static_cast<std::size_t>(run.move)];
        if (run.turns * 2 <= order) out.insert(out.end(), static_cast<std::size_t>(run.turns), left);
        else out.insert(out.end(), static_cast<std::size_t>(order - run.turns), Inverse(left));
    }
    return out;
}

}  // namespace qg::solve
