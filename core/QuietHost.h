#pragma once
// A host on which a puzzle runs without a window: real surfaces, services
// that cost nothing (no presenting, no sound, no sleeping), the State kept,
// and a seeded random sequence. For the benchmarks and the picture tools.

#include <cstdint>

#include "core/Puzzle.h"
#include "core/Random.h"

namespace qg {

class QuietHost : public PuzzleHost {
public:
    QuietHost(Surface sheet, std::uint64_t seed)
        : sheet_(std::move(sheet)), composition_(kBoardWidth, kBoardHeight), screen_(kBoardWidth, kBoardHeight),
          random_(seed) {}

    Surface& Sheet() override { return sheet_; }
    Surface& Composition() override { return composition_; }
    Surface& Screen() override { return screen_; }
    void Present(const Rect&) override {}
    void PlaySound(Sound) override {}
    void Pause(int) override {}
    void PuzzleSolved() override { state_ = kStateSolved; }
    std::uint8_t State() const override { return state_; }
    void SetState(std::uint8_t state) override { state_ = state; }
    int Random(int n) override { return random_.Random(n); }

private:
    Surface sheet_;
    Surface composition_;
    Surface screen_;
    std::uint8_t state_ = kStateReady;
    RandomSource random_;
};

}  // namespace qg
