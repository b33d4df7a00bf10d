#pragma once
// The five effects behind PlaySound, compiled into the audio module as WAV
// files, and their decoding into the samples the effect voice plays.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "audio/AudioEngine.h"

namespace qg {

// In the order PlaySound addresses them: 1 solved, 2 PELLORA, 3 NUBBLER,
// 4 TORVANE, 5 CIRRELA move.
inline constexpr const char* kEffectFiles[kEffectCount] = {"solved.wav", "lens.wav", "ratchet.wav", "clack.wav",
                                                           "marble.wav"};

// The WAV file of effect `index` (0..4); empty for any other index.
std::span<const std::uint8_t> EffectWave(int index);

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<float> samples;  // -1..1, channels interleaved
};

// Reads a RIFF WAV, walking its chunks; 16-bit PCM samples only. A file that
// is not one gives no samples.
Wav DecodeWav(std::span<const std::uint8_t> bytes);

}  // namespace qg
