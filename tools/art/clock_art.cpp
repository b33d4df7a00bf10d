// The clock's digit strip: eleven 11 x 20 cells, the digits 0..9 and a blank
// cell, drawn as a small seven-segment display lit in lime green on black.
// Unlit segments show faintly, as on a real display, so the blank cell shows
// them all dark.

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

constexpr int kCell = 11;
constexpr int kCells = 11;  // 0..9 and blank
constexpr int kHeight = 20;
constexpr int kBlank = 10;

// Segments a..g of each digit (bit 0 = a, top, clockwise, g in the middle).
constexpr unsigned char kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// Segment boxes inside a cell (x, y, w, h), a..g: at this size the segments
// are set pixel by pixel, so they stay crisp, and the corners between them
// stay open as on a real display. Column 0 and the top and bottom rows stay
// black, which keeps the digits apart on the clock.
struct Box {
    int x, y, w, h;
};
constexpr Box kBoxes[7] = {
    {3, 1, 5, 2},   // a
    {8, 3, 2, 6},   // b
    {8, 11, 2, 6},  // c
    {3, 17, 5, 2},  // d
    {1, 11, 2, 6},  // e
    {1, 3, 2, 6},   // f
    {3, 9, 5, 2},   // g
};

void DrawCell(QImage& strip, int cell, unsigned segments) {
    const QColor unlit(24, 44, 20), lit(150, 255, 96), litShade(96, 214, 62), litEdge(64, 150, 40);
    for (int s = 0; s < 7; ++s) {
        const Box& b = kBoxes[s];
        const bool on = (segments >> s) & 1u;
        for (int y = b.y; y < b.y + b.h; ++y)
            for (int x = b.x; x < b.x + b.w; ++x) {
                QColor c = unlit;
                if (on) {
                    // Lit from the top left: the lower or right half is a shade deeper,
                    // and the segment's ends are softened.
                    const bool lower = b.w > b.h ? y == b.y + 1 : x == b.x + 1;
                    const bool end = b.w > b.h ? (x == b.x || x == b.x + b.w - 1) : (y == b.y || y == b.y + b.h - 1);
                    c = end ? litShade : lower ? litShade : lit;
                    if (end && lower) c = litEdge;
                }
                strip.setPixelColor(cell * kCell + x, y, c);
            }
    }
}

}  // namespace

bool MakeClockPictures(const QString& dir, QStringList& files) {
    QImage strip = NewSheet(kCells * kCell, kHeight);
    for (int cell = 0; cell < kCells; ++cell) DrawCell(strip, cell, cell == kBlank ? 0u : kSegments[cell]);
    const QString name = "digits.png";
    if (!strip.save(dir + "/" + name, "PNG")) return false;
    files << name;
    return true;
}

}  // namespace art
