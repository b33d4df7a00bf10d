#pragma once
// A puzzle seen as moves that permute places: what the searches of PELLORA
// and CIRRELA share. The permutations are read off each puzzle's own Apply
// (a board whose places carry their own numbers), so the rules live in one
// place only.

#include <algorithm>
#include <atomic>
#include <memory>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Puzzle.h"

namespace qg::solve {

using Colours = std::vector<std::uint8_t>;

struct Permutation {
    int places = 0;
    std::vector<Move> moves;
    // After move m the place i holds what place from[m][i] held; dest is the
    // other way round, and support lists the places m changes.
    std::vector<std::vector<int>> from, dest, support;
    std::vector<int> inverse;      // the move that undoes m
    std::vector<int> order;        // how often m must be made to change nothing, per move's place
    Colours target;                // what each place holds when solved
    int colours = 0;               // colours are 1..colours

    // From a function giving, for labels 0..places-1 on the places, the labels
    // after each move.
    template <class ApplyLabels>
    static Permutation Read(int places, const std::vector<Move>& moves, const Colours& target, ApplyLabels&& apply);

    void Apply(Colours& state, int move) const;
    bool Commute(int a, int b) const;
};

// A bidirectional breadth-first search between the state and the target that
// gives up after `budget` states; a found sequence is a shortest one.
std::optional<std::vector<int>> ShortestWithin(const Permutation& puzzle, const Colours& start, long budget,
                                               const std::atomic<bool>* stop);

// Every three-cycle of places that conjugating a few short words can make:
// for each ordered triple (a, b, c) the cheapest word moving what a holds to
// b, b to c and c to a, touching nothing else. Built once per puzzle size.
class CycleTable {
public:
    // Each word of `cycles` must be a single three-cycle.
    CycleTable(const Permutation& puzzle, const std::vector<std::vector<int>>& cycles);
    int Cost(int a, int b, int c) const { return cost_[Index(a, b, c)]; }
    std::vector<int> Word(int a, int b, int c) const;
    static constexpr int kNone = 255;

private:
    std::size_t Index(int a, int b, int c) const {
        return (static_cast<std::size_t>(a) * static_cast<std::size_t>(n_) + static_cast<std::size_t>(b)) *
                   static_cast<std::size_t>(n_) + static_cast<std::size_t>(c);
    }
    const Permutation& puzzle_;
    std::vector<std::vector<int>> cycles_;
    int n_;
    std::vector<std::uint8_t> cost_;
    std::vector<std::uint16_t> via_;  // a move to conjugate by, or kMoves + 3 * cycle + rotation
};

// Settles the places in `order` one by one, each by the shortest way a lens
// or ball of its colour can travel there by moves that touch no settled
// place; places with no such way are left for FinishByCycles.
void SettleByFreeMoves(const Permutation& puzzle, const std::vector<int>& order, Colours& state,
                       std::vector<int>& sequence);

// A word that moves few places, as what it does to them.
struct Operation {
    std::vector<int> word;
    std::vector<std::pair<int, int>> moves;  // (place, the place its content comes from)
    Operation(const Permutation& puzzle, std::vector<int> w);
};

// Puts the remaining places right, each time by what puts most places right
// for its length: one of the operations, or a conjugated three-cycle, which
// leaves every other place as it is, so it always gets on. False when stopped.
bool FinishByCycles(const Permutation& puzzle, const CycleTable& table, const std::vector<Operation>& operations,
                    Colours& state, std::vector<int>& sequence, const std::atomic<bool>* stop);

// The words of length up to maxLength over the given moves whose effect is a
// single three-cycle; at most `wanted` of them, shortest first.
std::vector<std::vector<int>> FindThreeCycles(const Permutation& puzzle, const std::vector<int>& moves, int maxLength,
                                              int wanted);

// Merges neighbouring turns of one place (past moves that commute with them)
// and drops what cancels; the result has the same effect.
std::vector<Move> Shorten(const Permutation& puzzle, const std::vector<int>& sequence);

template <class ApplyLabels>
Permutation Permutation::Read(int places, const std::vector<Move>& moves, const Colours& target, ApplyLabels&& apply) {
    Permutation p;
    p.places = places;
    p.moves = moves;
    p.target = target;
    for (const std::uint8_t c : target) p.colours = std::max(p.colours, int{c});
    const int n = static_cast<int>(moves.size());
    for (int m = 0; m < n; ++m) {
        std::vector<int> from = apply(moves[static_cast<std::size_t>(m)]);
        std::vector<int> dest(static_cast<std::size_t>(places));
        std::vector<int> support;
        for (int i = 0; i < places; ++i) {
            dest[static_cast<std::size_t>(from[static_cast<std::size_t>(i)])] = i;
            if (from[static_cast<std::size_t>(i)] != i) support.push_back(i);
        }
        p.from.push_back(std::move(from));
        p.dest.push_back(std::move(dest));
        p.support.push_back(std::move(support));
    }
    for (int m = 0; m < n; ++m) {
        int inv = -1;
        for (int k = 0; k < n; ++k)
            if (p.from[static_cast<std::size_t>(k)] == p.dest[static_cast<std::size_t>(m)]) inv = k;
        p.inverse.push_back(inv);
        // The order of the turn: apply it to the labels until they return.
        std::vector<int> labels(static_cast<std::size_t>(places));
        for (int i = 0; i < places; ++i) labels[static_cast<std::size_t>(i)] = i;
        std::vector<int> cur = labels;
        int order = 0;
        do {
            std::vector<int> next(cur.size());
            for (int i = 0; i < places; ++i)
                next[static_cast<std::size_t>(i)] = cur[static_cast<std::size_t>(p.from[static_cast<std::size_t>(m)][static_cast<std::size_t>(i)])];
            cur = std::move(next);
            ++order;
        } while (cur != labels && order < 1000);
        p.order.push_back(order);
    }
    return p;
}

}  // namespace qg::solve
