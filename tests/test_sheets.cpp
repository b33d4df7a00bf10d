// Every generated sheet: its size, its file format, and the sprite rule
// pixel by pixel (masks pure black or white; pictures black wherever their
// mask is white, so ORing a picture never touches the table around a piece).

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <string>
#include <vector>

#include "core/Puzzle.h"
#include "puzzles/PuzzleRecords.h"
#include "sheets/SheetLoader.h"
#include "tests/TestSupport.h"

namespace qg {
namespace {

// One mask and the pictures drawn through it, in sheet coordinates.
struct SpriteGroup {
    int game;  // GameIndex of the sheet
    const char* what;
    Rect mask;
    std::vector<Rect> pictures;
};

const std::vector<SpriteGroup>& SpriteGroups() {
    static const std::vector<SpriteGroup> groups = {
        // TORVANE (b1.bmp)
        {kTorvane, "board pieces", {200, 333, 50, 50}, {{0, 333, 50, 50}, {50, 333, 50, 50}, {100, 333, 50, 50}, {150, 333, 50, 50}}},
        {kTorvane, "target tiles", {370, 333, 30, 30}, {{250, 333, 30, 30}, {280, 333, 30, 30}, {310, 333, 30, 30}, {340, 333, 30, 30}}},
        // PELLORA (b2.bmp): the lenses are ORed into an empty black tray without
        // a mask of their own; the tray's mask keeps the places the lenses pass.
        {kPellora, "lens cluster mask", {304, 531, 62, 62}, {}},
        // NUBBLER (b3.bmp): the plate in its three frames (the buttons are ORed without a mask).
        {kNubbler, "plate at rest", {600, 0, 100, 100}, {{500, 0, 100, 100}}},
        {kNubbler, "plate turned 15 degrees", {600, 100, 100, 100}, {{500, 100, 100, 100}}},
        {kNubbler, "plate turned 30 degrees", {600, 200, 100, 100}, {{500, 200, 100, 100}}},
        // CIRRELA (b4.bmp): per level four balls, then their mask.
        {kCirrela, "level 1 balls", {200, 333, 50, 50}, {{0, 333, 50, 50}, {50, 333, 50, 50}, {100, 333, 50, 50}, {150, 333, 50, 50}}},
        {kCirrela, "level 2 balls", {402, 333, 38, 38}, {{250, 333, 38, 38}, {288, 333, 38, 38}, {326, 333, 38, 38}, {364, 333, 38, 38}}},
        {kCirrela, "level 3 balls", {370, 371, 30, 30}, {{250, 371, 30, 30}, {280, 371, 30, 30}, {310, 371, 30, 30}, {340, 371, 30, 30}}},
        {kCirrela, "level 4 balls", {104, 383, 26, 26}, {{0, 383, 26, 26}, {26, 383, 26, 26}, {52, 383, 26, 26}, {78, 383, 26, 26}}},
    };
    return groups;
}

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

TEST(Sheets, EachLoadsAsA24BitBmpOfAtLeastItsSize) {
    for (const PuzzleRecord& record : kPuzzles) {
        SCOPED_TRACE(record.sheetFile);
        QFile file(QString(QG_PROGRAM_DIR) + record.sheetFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.read(30);
        ASSERT_EQ(header.size(), 30);
        EXPECT_EQ(header.left(2), QByteArray("BM"));
        EXPECT_EQ(static_cast<unsigned char>(header[28]) | (static_cast<unsigned char>(header[29]) << 8), 24);

        const auto sheet = LoadSheet(QString(QG_PROGRAM_DIR), record);
        ASSERT_TRUE(sheet.has_value());
        EXPECT_GE(sheet->width(), record.sheetMinWidth);
        EXPECT_GE(sheet->height(), record.sheetMinHeight);
    }
}

TEST(Sheets, MasksAreBlackOrWhiteAndPicturesBlackAroundThem) {
    for (const SpriteGroup& g : SpriteGroups()) {
        SCOPED_TRACE(std::string(Record(g.game).sheetFile) + " " + g.what);
        const Surface* sheet = &test::SheetOf(Record(g.game));
        ASSERT_LE(g.mask.x + g.mask.w, sheet->width());
        ASSERT_LE(g.mask.y + g.mask.h, sheet->height());

        int inside = 0, stray = 0;
        for (int v = 0; v < g.mask.h; ++v)
            for (int u = 0; u < g.mask.w; ++u) {
                const std::uint32_t m = sheet->pixel(g.mask.x + u, g.mask.y + v);
                if (m == kBlack) ++inside;
                else if (m != kWhite) ++stray;
            }
        EXPECT_EQ(stray, 0) << "grey mask pixels";
        // A real outline: neither empty nor the whole box.
        EXPECT_GT(inside, g.mask.w * g.mask.h / 4);
        EXPECT_LT(inside, g.mask.w * g.mask.h);

        for (const Rect& pic : g.pictures) {
            ASSERT_EQ(pic.w, g.mask.w);
            ASSERT_EQ(pic.h, g.mask.h);
            ASSERT_LE(pic.x + pic.w, sheet->width());
            ASSERT_LE(pic.y + pic.h, sheet->height());
            int leaks = 0, lit = 0;
            for (int v = 0; v < pic.h; ++v)
                for (int u = 0; u < pic.w; ++u) {
                    const std::uint32_t p = sheet->pixel(pic.x + u, pic.y + v);
                    if (sheet->pixel(g.mask.x + u, g.mask.y + v) == kWhite) leaks += p != kBlack;
                    else lit += p != kBlack;
                }
            EXPECT_EQ(leaks, 0) << "picture at " << pic.x << "," << pic.y << " is not black outside its mask";
            EXPECT_GT(lit, inside / 2) << "picture at " << pic.x << "," << pic.y << " is mostly empty";
        }
    }
}

// The board background is a picture of its own and must not be left black.
TEST(Sheets, BoardBackgroundIsPainted) {
    for (const PuzzleRecord& record : kPuzzles) {
        SCOPED_TRACE(record.sheetFile);
        const Surface* sheet = &test::SheetOf(record);
        int black = 0;
        for (int y = 0; y < kBoardHeight; y += 3)
            for (int x = 0; x < kBoardWidth; x += 3) black += sheet->pixel(x, y) == kBlack;
        EXPECT_LT(black, (kBoardWidth / 3) * (kBoardHeight / 3) / 2);
    }
}

}  // namespace
}  // namespace qg
