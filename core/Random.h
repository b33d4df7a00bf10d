#pragma once
// The program's one pseudo-random generator. A fixed algorithm (xoshiro128**)
// and our own unbiased reduction, so a seed gives the same sequence everywhere.

#include <cstdint>

namespace qg {

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed = 1) { Seed(seed); }

    void Seed(std::uint64_t seed) {
        // splitmix64 spreads any seed, even 0, over the whole state.
        for (auto& word : s_) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = static_cast<std::uint32_t>(z ^ (z >> 31));
        }
    }

    std::uint32_t Next() {
        const std::uint32_t result = Rotl(s_[1] * 5u, 7) * 9u;
        const std::uint32_t t = s_[1] << 9;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 11);
        return result;
    }

    // Uniform 0..n-1 by rejection, so no value is favoured; 0 for n <= 1.
    int Random(int n) {
        if (n <= 1) return 0;
        const std::uint32_t range = static_cast<std::uint32_t>(n);
        const std::uint32_t limit = UINT32_MAX - UINT32_MAX % range;  // multiple of range
        std::uint32_t x;
        do { x = Next(); } while (x >= limit);
        return static_cast<int>(x % range);
    }

private:
    static std::uint32_t Rotl(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }
    std::uint32_t s_[4]{};
};

}  // namespace qg
