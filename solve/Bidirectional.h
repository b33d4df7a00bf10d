#pragma once
// A breadth-first search from the start and from the target at once, the
// smaller frontier growing a whole layer at a time; the first state both
// have seen joins a shortest path. On packed states of any puzzle.

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <vector>

#include "solve/StateTable.h"

namespace qg::solve {

// Space: int Moves(), int Inverse(int), Key Apply(Key, int). Nothing when
// the budget of states runs out first, or on stop.
template <class Space, class Key>
std::optional<std::vector<int>> BidirectionalSearch(const Space& space, Key start, Key target, long budget,
                                                    const std::atomic<bool>* stop) {
    if (start == target) return std::vector<int>{};
    using Table = StateTable<Key>;
    std::array<Table, 2> seen;
    std::array<std::vector<Key>, 2> frontier;
    const std::array<Key, 2> roots = {start, target};
    for (std::size_t side = 0; side < 2; ++side) {
        seen[side].Insert(roots[side], Table::kRoot);
        frontier[side].push_back(roots[side]);
    }
    const int moves = space.Moves();
    long states = 2;
    std::optional<Key> meet;
    while (!meet) {
        const std::size_t side = frontier[0].size() <= frontier[1].size() ? 0 : 1;
        Table& mine = seen[side];
        const Table& other = seen[1 - side];
        std::vector<Key> next;
        for (const Key v : frontier[side]) {
            if (stop && stop->load(std::memory_order_relaxed)) return std::nullopt;
            const int came = mine.Find(v);
            for (int m = 0; m < moves; ++m) {
                if (came != Table::kRoot && space.Inverse(came) == m) continue;
                const Key w = space.Apply(v, m);
                if (mine.Find(w) != Table::kAbsent) continue;
                mine.Insert(w, static_cast<std::uint8_t>(m));
                if (other.Find(w) != Table::kAbsent) {
                    meet = w;
                    break;
                }
                next.push_back(w);
                if (++states > budget) return std::nullopt;
            }
            if (meet) break;
        }
        if (!meet && next.empty()) return std::nullopt;
        frontier[side] = std::move(next);
    }
    // Back from the meeting state to the start, then on to the target.
    std::vector<int> path;
    for (Key v = *meet; v != roots[0];) {
        const int m = seen[0].Find(v);
        path.push_back(m);
        v = space.Apply(v, space.Inverse(m));
    }
    std::reverse(path.begin(), path.end());
    for (Key v = *meet; v != roots[1];) {
        const int back = space.Inverse(seen[1].Find(v));
        path.push_back(back);
        v = space.Apply(v, back);
    }
    return path;
}

}  // namespace qg::solve
