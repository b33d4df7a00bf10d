#pragma once
// PELLORA: lenses on the corners of six-sided cells.

#include "shell/Puzzle.h"

namespace qg {

class Pellora : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override {}
    void Shuffle() override { host().SetState(kStateReady); }
    void Draw() override;
    void LeftClick(int, int) override {}
    void RightClick(int, int) override {}

    // The board size, 1..3 (7, 19 or 37 cells).
    int Variant() const { return variant_; }
    void SetVariant(int variant) { variant_ = variant; }

private:
    int variant_ = 1;
};

}  // namespace qg
