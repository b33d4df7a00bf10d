#pragma once
// A host for the benchmarks: real surfaces and the generated sheet, and
// services that cost nothing (no sleeping, no recording).

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QString>

#include "core/Puzzle.h"
#include "core/Random.h"
#include "puzzles/PuzzleRecords.h"
#include "sheets/SheetLoader.h"

namespace qg::bench {

class BenchHost : public PuzzleHost {
public:
    explicit BenchHost(int gameIndex)
        : composition_(kBoardWidth, kBoardHeight), screen_(kBoardWidth, kBoardHeight) {
        const PuzzleRecord& record = Record(gameIndex);
        auto sheet = LoadSheet(QString(QG_PROGRAM_DIR), record);
        if (!sheet) {
            std::fprintf(stderr, "cannot load %s from %s\n", record.sheetFile, QG_PROGRAM_DIR);
            std::exit(1);
        }
        sheet_ = std::move(*sheet);
    }

    Surface& Sheet() override { return sheet_; }
    Surface& Composition() override { return composition_; }
    Surface& Screen() override { return screen_; }
    void Present(const Rect&) override {}
    void PlaySound(Sound) override {}
    void Pause(int) override {}
    void PuzzleSolved() override { state_ = kStateSolved; }
    std::uint8_t State() const override { return state_; }
    void SetState(std::uint8_t s) override { state_ = s; }
    int Random(int n) override { return random_.Random(n); }

private:
    Surface sheet_, composition_, screen_;
    std::uint8_t state_ = kStateReady;
    RandomSource random_{2024};
};

}  // namespace qg::bench
