#pragma once
// A host for the benchmarks: the generated sheet of one puzzle on a quiet host.

#include <cstdio>
#include <cstdlib>

#include <QString>

#include "core/QuietHost.h"
#include "puzzles/PuzzleRecords.h"
#include "sheets/SheetLoader.h"

namespace qg::bench {

inline Surface GeneratedSheet(int gameIndex) {
    const PuzzleRecord& record = Record(gameIndex);
    auto sheet = LoadSheet(QString(QG_PROGRAM_DIR), record);
    if (!sheet) {
        std::fprintf(stderr, "cannot load %s from %s\n", record.sheetFile, QG_PROGRAM_DIR);
        std::exit(1);
    }
    return std::move(*sheet);
}

class BenchHost : public QuietHost {
public:
    explicit BenchHost(int gameIndex) : QuietHost(GeneratedSheet(gameIndex), 2024) {}
};

}  // namespace qg::bench
