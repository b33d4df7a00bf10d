#pragma once
// Loading a sprite sheet from a BMP file into a 32-bit surface.

#include <QString>

#include <optional>

#include "core/PuzzleRecord.h"
#include "core/Surface.h"

namespace qg {

// The sheet at `path`, or nothing when the file is missing, is not a readable
// BMP, or is smaller than minWidth x minHeight (such a sheet cannot be drawn
// from, so it counts as not loadable).
std::optional<Surface> LoadSheet(const QString& path, int minWidth, int minHeight);

// The sheet of a puzzle from the program directory (ending in the separator).
inline std::optional<Surface> LoadSheet(const QString& programDir, const PuzzleRecord& puzzle) {
    return LoadSheet(programDir + puzzle.sheetFile, puzzle.sheetMinWidth, puzzle.sheetMinHeight);
}

}  // namespace qg
