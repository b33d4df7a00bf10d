#include "audio/EffectWaves.h"

#include <algorithm>
#include <cstring>

namespace qg {
namespace {

std::uint32_t Le(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

Wav DecodeWav(std::span<const std::uint8_t> b) {
    Wav w;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) return w;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint8_t* chunk = b.data() + at;
        const std::size_t size = Le(chunk + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t avail = std::min(size, b.size() - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && avail >= 16) {
            w.format = static_cast<int>(Le(chunk + 8, 2));
            w.channels = static_cast<int>(Le(chunk + 10, 2));
            w.rate = static_cast<int>(Le(chunk + 12, 4));
            w.bits = static_cast<int>(Le(chunk + 22, 2));
        } else if (std::memcmp(chunk, "data", 4) == 0 && w.format == 1 && w.bits == 16) {
            for (std::size_t i = 0; i + 1 < avail; i += 2)
                w.samples.push_back(static_cast<float>(static_cast<std::int16_t>(Le(chunk + 8 + i, 2))) / 32768.0f);
        }
        at = body + size + (size & 1);
    }
    return w;
}

}  // namespace qg
