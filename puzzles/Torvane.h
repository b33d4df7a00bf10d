#pragma once
// TORVANE: sixteen pieces on five turning plates; build the target pattern.

#include "shell/Puzzle.h"

namespace qg {

class Torvane : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override {}
    void Shuffle() override {}
    void Draw() override;
    void LeftClick(int, int) override {}
    void RightClick(int, int) override {}
    void DrawTarget() override {}
};

}  // namespace qg
