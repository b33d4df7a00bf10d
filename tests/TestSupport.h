#pragma once
// What the puzzle tests share: the generated sheets, screen comparisons and
// dumping a screen for a look by eye.

#include <QImage>
#include <QString>

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"
#include "core/Surface.h"
#include "sheets/SheetLoader.h"

namespace qg::test {

// The puzzle's sheet as the build generated it, loaded once per run; a
// plain one of the least size for a puzzle that draws without a sheet.
inline const Surface& SheetOf(const PuzzleRecord& record) {
    static std::map<std::string, Surface> sheets;
    const std::string key = record.sheetFile ? record.sheetFile : record.name;
    const auto found = sheets.find(key);
    if (found != sheets.end()) return found->second;
    if (!record.sheetFile) return sheets.emplace(key, Surface(record.sheetMinWidth, record.sheetMinHeight)).first->second;
    auto sheet = LoadSheet(QString(QG_PROGRAM_DIR), record);
    if (!sheet) throw std::runtime_error(std::string(record.sheetFile) + " cannot be loaded from " + QG_PROGRAM_DIR);
    return sheets.emplace(key, std::move(*sheet)).first->second;
}

constexpr bool Contains(const Rect& r, int x, int y) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; }

// Pixels where two surfaces of one size differ, counted inside r or outside it.
inline int ChangedInside(const Surface& a, const Surface& b, const Rect& r) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += Contains(r, x, y) && a.pixel(x, y) != b.pixel(x, y);
    return n;
}
inline int ChangedOutside(const Surface& a, const Surface& b, const Rect& r) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += !Contains(r, x, y) && a.pixel(x, y) != b.pixel(x, y);
    return n;
}
inline bool SameScreen(const Surface& a, const Surface& b) { return ChangedOutside(a, b, Rect{}) == 0; }

// Two surfaces of any size, pixel for pixel.
inline bool SameSurface(const Surface& a, const Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

inline constexpr Rect kWholeBoard{0, 0, kBoardWidth, kBoardHeight};

// With QG_DUMP_DIR set, writes the screen there as NAME.png.
inline void Dump(const Surface& screen, const std::string& name) {
    const char* dir = std::getenv("QG_DUMP_DIR");
    if (!dir) return;
    QImage image(reinterpret_cast<const uchar*>(screen.data()), screen.width(), screen.height(), screen.bytesPerLine(),
                 QImage::Format_RGB32);
    image.save(QString(dir) + "/" + QString::fromStdString(name) + ".png");
}

// A press of the left or the right mouse button.
inline void Press(Puzzle& puzzle, bool left, int x, int y) { left ? puzzle.LeftClick(x, y) : puzzle.RightClick(x, y); }

}  // namespace qg::test
