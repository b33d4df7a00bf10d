#pragma once
// NUBBLER: nine plates of eight buttons; facing buttons must agree.

#include "shell/Puzzle.h"

namespace qg {

class Nubbler : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override {}
    void Shuffle() override {}
    void Draw() override;
    void LeftClick(int, int) override {}
    void RightClick(int, int) override {}

};

}  // namespace qg
