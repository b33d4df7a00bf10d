#pragma once
// CIRRELA: two crossing rings of balls.

#include "shell/Puzzle.h"

namespace qg {

class Cirrela : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override {}
    void Shuffle() override { host().SetState(kStateReady); }
    void Draw() override;
    void LeftClick(int, int) override {}
    void RightClick(int, int) override {}

    // The level, 1..4 (12 to 24 balls per ring).
    int Level() const { return level_; }
    void SetLevel(int level) { level_ = level; }

private:
    int level_ = 1;
};

}  // namespace qg
