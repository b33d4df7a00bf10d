// Fuzz target: the sheet decoder. Whatever the bytes, it reads nothing
// outside them, and a sheet it accepts has the size its header announces,
// within the limits.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sheets/SheetLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input itself, not a copy with a terminating zero behind it, so
    // that even a read one byte past its end is caught.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qg::SheetLoad load = qg::DecodeSheet(bytes, 1, 1);
    if (load.sheet.has_value() != (load.problem == qg::SheetProblem::None)) {
        std::fprintf(stderr, "fuzz_sheet: a sheet and a problem disagree\n");
        std::abort();
    }
    if (load.sheet) {
        const qg::Surface& s = *load.sheet;
        if (s.width() <= 0 || s.height() <= 0 || s.width() > qg::kMaxSheetSide || s.height() > qg::kMaxSheetSide ||
            qint64(s.width()) * s.height() > qg::kMaxSheetPixels) {
            std::fprintf(stderr, "fuzz_sheet: an accepted sheet is out of bounds\n");
            std::abort();
        }
        volatile std::uint32_t sum = 0;
        for (int y = 0; y < s.height(); ++y) sum = sum + s.pixel(s.width() - 1, y);
    }
    return 0;
}
