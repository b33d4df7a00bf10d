#pragma once
// Loading a sprite sheet from a BMP file into a 32-bit surface.
//
// Sheets are uncompressed 24- or 32-bit Windows bitmaps, stored bottom-up or
// top-down. Only a regular file of at most kMaxSheetBytes is read, and only a
// file that holds every pixel its header announces is accepted: a damaged
// or unusual sheet is refused with the reason, never drawn half black.

#include <QString>

#include <optional>

#include "core/PuzzleRecord.h"
#include "core/Surface.h"

namespace qg {

// Why a sheet could not be loaded.
enum class SheetProblem {
    None,
    Missing,         // no such file
    NotRegularFile,  // a folder, FIFO, device... in its place
    Unreadable,      // no permission to read it, or a read error
    TooLarge,        // more bytes or pixels than any sheet needs
    Damaged,         // not a BMP, or cut off, or its header contradicts itself
    Unsupported,     // a BMP of another kind (compressed, palette, 16-bit...)
    TooSmall,        // fewer pixels than the puzzle's layout needs
};

inline constexpr qint64 kMaxSheetBytes = 64LL << 20;
inline constexpr int kMaxSheetSide = 8192;
inline constexpr qint64 kMaxSheetPixels = 16LL << 20;

struct SheetLoad {
    std::optional<Surface> sheet;
    SheetProblem problem = SheetProblem::None;
};

// The sheet at `path`, or why there is none (a sheet smaller than
// minWidth x minHeight cannot be drawn from, so it counts as not loadable).
SheetLoad ReadSheet(const QString& path, int minWidth, int minHeight);

// The same, when the reason does not matter.
inline std::optional<Surface> LoadSheet(const QString& path, int minWidth, int minHeight) {
    return ReadSheet(path, minWidth, minHeight).sheet;
}

// The sheet of a puzzle from the program directory (ending in the separator).
inline std::optional<Surface> LoadSheet(const QString& programDir, const PuzzleRecord& puzzle) {
    return LoadSheet(programDir + puzzle.sheetFile, puzzle.sheetMinWidth, puzzle.sheetMinHeight);
}

// The sheet decoded from a BMP file's bytes (the loader's second half).
SheetLoad DecodeSheet(const QByteArray& bytes, int minWidth, int minHeight);

// The reason in a few English words, for the log on stderr.
const char* Describe(SheetProblem problem);

}  // namespace qg
