#pragma once
// The states a breadth-first search has seen, each with the move that
// reached it: open addressing on a packed key, far lighter than a node-based
// map for millions of states.

#include <cstdint>
#include <vector>

namespace qg::solve {

template <class Key>
class StateTable {
public:
    static constexpr int kAbsent = -1;
    static constexpr int kRoot = 255;  // a search's own start

    explicit StateTable(std::size_t capacity = 1 << 12) { Reset(capacity); }

    // The move stored for key, or kAbsent.
    int Find(Key key) const {
        for (std::size_t i = Slot(key);; i = (i + 1) & mask_) {
            if (keys_[i] == kEmpty) return kAbsent;
            if (keys_[i] == key) return moves_[i];
        }
    }
    // Stores key once; a key already there keeps its move.
    void Insert(Key key, std::uint8_t move) {
        if (2 * (size_ + 1) > keys_.size()) Grow();
        for (std::size_t i = Slot(key);; i = (i + 1) & mask_) {
            if (keys_[i] == key) return;
            if (keys_[i] == kEmpty) {
                keys_[i] = key;
                moves_[i] = move;
                ++size_;
                return;
            }
        }
    }
    std::size_t size() const { return size_; }
    std::size_t bytes() const { return keys_.capacity() * sizeof(Key) + moves_.capacity(); }

private:
    // No valid state packs to all ones: it would be one colour everywhere.
    static constexpr Key kEmpty = static_cast<Key>(~Key{0});

    std::size_t Slot(Key key) const {
        std::uint64_t h = static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
        return static_cast<std::size_t>(h) & mask_;
    }
    void Reset(std::size_t capacity) {
        keys_.assign(capacity, kEmpty);
        moves_.assign(capacity, 0);
        mask_ = capacity - 1;
        size_ = 0;
    }
    void Grow() {
        std::vector<Key> keys = std::move(keys_);
        std::vector<std::uint8_t> moves = std::move(moves_);
        Reset(keys.size() * 2);
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] != kEmpty) Insert(keys[i], moves[i]);
    }

    std::vector<Key> keys_;
    std::vector<std::uint8_t> moves_;
    std::size_t mask_ = 0;
    std::size_t size_ = 0;
};

}  // namespace qg::solve
