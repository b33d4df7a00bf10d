#pragma once
// CIRRELA: two rings of balls that cross each other at two points, rolled one
// place at a time. A ball on a crossing belongs to both rings.

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"

namespace qg {

inline constexpr int kCirrelaLevels = 4;
inline constexpr int kCirrelaMaxBalls = 24;  // per ring, at level 4
inline constexpr int kCirrelaMaxCells = 46;  // 2N - 2 at level 4

// Where the rings lie on the board. Positions count from 45 degrees (upper
// right of the centre) counterclockwise as seen on the screen.
inline constexpr std::array<int, 2> kCirrelaRingX = {178, 320};
inline constexpr int kCirrelaRingY = 166;
inline constexpr int kCirrelaRadius = 100;
inline constexpr double kCirrelaStartAngle = 45.0;

// The rings as places. The cursor rings a whole ring with its balls; a
// press anywhere left of x = 250 rolls the left ring, anywhere else the
// right one: only X picks the ring.
inline constexpr int kCirrelaRingReach = kCirrelaRadius + 26;
inline constexpr int kCirrelaSplitX = 250;
inline constexpr std::array<PlaceArea, 2> kCirrelaPlaceAreas = {{
    {{kCirrelaRingX[0] - kCirrelaRingReach, kCirrelaRingY - kCirrelaRingReach, 2 * kCirrelaRingReach, 2 * kCirrelaRingReach},
     INT_MIN, INT_MIN, kCirrelaSplitX - 1, INT_MAX},
    {{kCirrelaRingX[1] - kCirrelaRingReach, kCirrelaRingY - kCirrelaRingReach, 2 * kCirrelaRingReach, 2 * kCirrelaRingReach},
     kCirrelaSplitX, INT_MIN, INT_MAX, INT_MAX},
}};

// Every frame of a move redraws this rectangle only; all balls lie inside it.
inline constexpr Rect kCirrelaRingArea{50, 30, 400, 270};
// The small picture of the solved pattern, and where each level's lies in the sheet.
inline constexpr Rect kCirrelaPreviewPlace{420, 8, 72, 45};
inline constexpr int kCirrelaPreviewX = 500;
inline constexpr int kCirrelaPreviewH = 45;

struct CirrelaLevelRow {
    int balls;           // N, balls per ring
    int cells;           // 2N - 2: both crossings are shared
    double angleStep;    // 360 / N degrees between neighbours
    double frameStep;    // a third of the angle step
    int lowerCrossing;   // ring 0's position 3N/4, ring 1's N/2; the upper one is cell 0
    int ballSize;        // S: the sprites are S x S
    int rowX, rowY;      // sprite row in the sheet: colours 1..4, then the mask
};

inline constexpr std::array<CirrelaLevelRow, kCirrelaLevels> CirrelaLevelParams = {{
    {12, 22, 30.0, 10.0, 9, 50, 0, 333},
    {16, 30, 22.5, 7.5, 12, 38, 250, 333},
    {20, 38, 18.0, 6.0, 15, 30, 250, 371},
    {24, 46, 15.0, 5.0, 18, 26, 0, 383},
}};

// Cells 0..2N-3. The cell on each position of ring 0 and ring 1, per level;
// positions past N are unused.
using CirrelaRing = std::array<std::uint8_t, kCirrelaMaxBalls>;
inline constexpr std::array<std::array<CirrelaRing, 2>, kCirrelaLevels> CirrelaRings = {{
    {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
      {19, 20, 21, 0, 12, 13, 9, 14, 15, 16, 17, 18}}},
    {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
      {26, 27, 28, 29, 0, 16, 17, 18, 12, 19, 20, 21, 22, 23, 24, 25}}},
    {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
      {33, 34, 35, 36, 37, 0, 20, 21, 22, 23, 15, 24, 25, 26, 27, 28, 29, 30, 31, 32}}},
    {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23},
      {40, 41, 42, 43, 44, 45, 0, 24, 25, 26, 27, 28, 18, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}}},
}};

// Colour 1..4 of the ball in each cell; cells past the level's cell count
// stay 0, no ball.
using CirrelaBalls = std::array<std::uint8_t, kCirrelaMaxCells>;

// The solved board of each level, by cell.
inline constexpr std::array<CirrelaBalls, kCirrelaLevels> CirrelaTarget = {{
    {3, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 4, 4, 4, 4, 4, 3, 3, 3},
    {3, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3},
    {3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
     3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3},
    {3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
     3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3},
}};

// The position: the level (which lays out the rings) and the ball in every
// cell; cells past the level's count hold 0.
struct CirrelaPosition {
    int level = 1;
    CirrelaBalls balls = CirrelaTarget[0];
    friend bool operator==(const CirrelaPosition&, const CirrelaPosition&) = default;
};

bool IsSolved(const CirrelaPosition& position);
// Rolls ring m.place (0 left, 1 right) one place, left counterclockwise; any
// other place leaves the position as it is.
CirrelaPosition Apply(const CirrelaPosition& position, Move move);
std::vector<Move> LegalMoves(const CirrelaPosition& position);  // both rings, both ways
// The level's digit, a space and the colours (1..4) of its 2N - 2 cells.
std::string Encode(const CirrelaPosition& position);
template <>
std::optional<CirrelaPosition> Decode<CirrelaPosition>(std::string_view text);

inline constexpr PuzzleRecord kCirrelaRecord{
    .name = "CIRRELA",
    .sheetFile = "b4.bmp",
    .sheetMinWidth = 572,
    .sheetMinHeight = 409,
    .rulesRect = {335, 288, 152, 36},
    .optionMin = 1,
    .optionMax = kCirrelaLevels,
    .optionSetting = "cmode",
    .tableKey = "cirr",
    .buttonName = "CirrelaBtn",
    .buttonPicture = "cirrela",
    .key = '4',
    .hint = {"CIRRELA wartet schon auf mich.", "CIRRELA waits for me."},
    .rules = {"Rolle die Kugeln in den CIRRELA-Ringen.\rStelle die rechts oben gezeigte Ordnung her.",
              "Roll the balls in the CIRRELA-rings.\rTry to build the pattern shown right."},
    // The first level mixed; its pattern shows small at the top right.
    .helpPictures = {{{.name = "cirrela", .option = 1}}},
    .sound = Sound::Marble,
};

class Cirrela : public Puzzle {
public:
    explicit Cirrela(PuzzleHost& host);

    void Prepare() override;
    void Shuffle() override;
    void Draw() override;
    std::span<const PlaceArea> PlaceAreas() const override { return kCirrelaPlaceAreas; }
    void ChangeOption(bool up) override;

    // The level, 1..4 (12 to 24 balls per ring). Values outside are clamped;
    // a new level starts from its solved board until the next Shuffle.
    int Level() const { return position_.level; }
    int Option() const override { return position_.level; }
    void SetOption(int option) override { SetLevel(option); }
    void SetLevel(int level);

    // A move of one ring (0 left, 1 right): left counterclockwise, right clockwise,
    // with its sound, two paced frames, the final picture and the solved test.
    void RollRingLeft(int ring);
    void RollRingRight(int ring);
    // The ring area with every ball; the moving ring turned by frame (0..2)
    // frame steps and drawing the crossing balls. Presented.
    void DrawRings(int movingRing, int frame);
    void DrawBall(int colour, int x, int y);
    bool IsSolved() const override;

    const CirrelaPosition& Position() const { return position_; }
    std::string PositionText() const override { return Encode(position_); }
    bool SetPositionText(std::string_view text) override { return ReadPosition(position_, text); }
    void SetPosition(const CirrelaPosition& position) { position_ = position; }
    const CirrelaBalls& Balls() const { return position_.balls; }

protected:
    void AnimateMove(qg::Move m) override;

private:
    const CirrelaLevelRow& Params() const { return At(CirrelaLevelParams, position_.level - 1); }
    const CirrelaRing& Ring(int ring) const;
    void PaintPreview();
    void SetSolvedBoard();

    CirrelaPosition position_;
};

}  // namespace qg
