#pragma once
// PELLORA: a six-sided board of six-sided cells with a lens on every cell
// corner. A press on a cell turns the six lenses on its corners one corner on;
// the board is solved when every lens lies in the sector of its own colour.
//
// The tables are here rather than in the .cpp because the picture generator
// and the tests draw and check against the same geometry.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"

namespace qg {

inline constexpr int kPelloraVariants = 3;    // board sizes
inline constexpr int kPelloraCells = 37;      // of the largest board
inline constexpr int kPelloraPositions = 96;  // lens positions of the largest board
inline constexpr int kPelloraColours = 6;
inline constexpr int kPelloraFrames = 4;      // 0 at rest, 1..3 on the way
inline constexpr int kPelloraCentreX = 192;   // the board figure's centre, every variant
inline constexpr int kPelloraCentreY = 164;
inline constexpr int kPelloraCellDx = 19;     // per column offset q
inline constexpr int kPelloraCellDy = 33;     // per row offset r
inline constexpr int kPelloraHitHalf = 20;    // half side of a cell's (strict) hit square

// Sheet places of b2.bmp.
inline constexpr Rect kPelloraClusterBase{366, 531, 62, 62};
inline constexpr Rect kPelloraClusterMask{304, 531, 62, 62};
inline constexpr int kPelloraLensX = 500;     // lens of colour k at (500, 18 * (k - 1))
inline constexpr int kPelloraLensSize = 18;
// Where a cell's lens cluster is put together in the composition.
inline constexpr Rect kPelloraScratch{400, 0, 62, 62};

struct PelloraVariantRow {
    int cells;
    int lenses;
    int halfWidth, halfHeight;  // of the board picture
    int sheetX, sheetY;         // picture's top-left in the sheet
    int sheetCentreX, sheetCentreY;
    int boardX, boardY;         // picture's place on the board
};

// Indexed by variant - 1.
inline constexpr std::array<PelloraVariantRow, kPelloraVariants> PelloraVariantParams = {{
    {7, 24, 76, 66, 116, 98, 192, 164, 116, 98},
    {19, 54, 114, 99, 304, 333, 418, 432, 78, 65},
    {37, 96, 152, 132, 0, 333, 152, 465, 40, 32},
}};

// Slots are a cell's corners clockwise on the screen: 0 upper-left, 1 top,
// 2 upper-right, 3 lower-right, 4 bottom, 5 lower-left.
struct PelloraCell {
    int q, r;                      // centre (192 + 19 q, 164 + 33 r)
    std::array<int, 6> lens;       // lens position on each slot
    constexpr int X() const { return kPelloraCentreX + kPelloraCellDx * q; }
    constexpr int Y() const { return kPelloraCentreY + kPelloraCellDy * r; }
};

// Cells 1..37 at index 0..36. The numbering is nested: a smaller board uses
// the first cells and lens positions of a larger one.
inline constexpr std::array<PelloraCell, kPelloraCells> PelloraCells = {{
    {-1, -1, {1, 2, 3, 9, 8, 7}},
    {1, -1, {3, 4, 5, 11, 10, 9}},
    {-2, 0, {6, 7, 8, 15, 14, 13}},
    {0, 0, {8, 9, 10, 17, 16, 15}},
    {2, 0, {10, 11, 12, 19, 18, 17}},
    {-1, 1, {14, 15, 16, 22, 21, 20}},
    {1, 1, {16, 17, 18, 24, 23, 22}},
    {-2, -2, {25, 26, 27, 2, 1, 33}},
    {0, -2, {27, 28, 29, 4, 3, 2}},
    {2, -2, {29, 30, 31, 34, 5, 4}},
    {-3, -1, {32, 33, 1, 7, 6, 37}},
    {3, -1, {5, 34, 35, 38, 12, 11}},
    {-4, 0, {36, 37, 6, 13, 41, 40}},
    {4, 0, {12, 38, 39, 43, 42, 19}},
    {-3, 1, {41, 13, 14, 20, 45, 44}},
    {3, 1, {18, 19, 42, 47, 46, 24}},
    {-2, 2, {45, 20, 21, 50, 49, 48}},
    {0, 2, {21, 22, 23, 52, 51, 50}},
    {2, 2, {23, 24, 46, 54, 53, 52}},
    {-3, -3, {55, 56, 57, 26, 25, 65}},
    {-1, -3, {57, 58, 59, 28, 27, 26}},
    {1, -3, {59, 60, 61, 30, 29, 28}},
    {3, -3, {61, 62, 63, 66, 31, 30}},
    {-4, -2, {64, 65, 25, 33, 32, 69}},
    {4, -2, {31, 66, 67, 70, 35, 34}},
    {-5, -1, {68, 69, 32, 37, 36, 73}},
    {5, -1, {35, 70, 71, 74, 39, 38}},
    {-6, 0, {72, 73, 36, 40, 77, 76}},
    {6, 0, {39, 74, 75, 79, 78, 43}},
    {-5, 1, {77, 40, 41, 44, 81, 80}},
    {5, 1, {42, 43, 78, 83, 82, 47}},
    {-4, 2, {81, 44, 45, 48, 85, 84}},
    {4, 2, {46, 47, 82, 87, 86, 54}},
    {-3, 3, {85, 48, 49, 90, 89, 88}},
    {-1, 3, {49, 50, 51, 92, 91, 90}},
    {1, 3, {51, 52, 53, 94, 93, 92}},
    {3, 3, {53, 54, 86, 96, 95, 94}},
}};

inline constexpr const PelloraCell& PelloraCellAt(int cell) { return PelloraCells[static_cast<std::size_t>(cell - 1)]; }

// The solved board: the colour of the sector each corner lies in, seen from
// the figure's centre (3 upper right, 2 top, 1 upper left, 4 lower left,
// 5 bottom, 6 lower right). Index = lens position; index 0 is unused.
inline constexpr std::array<std::uint8_t, kPelloraPositions + 1> PelloraTarget = {
    0,
    1, 2, 2, 2, 3, 1, 1, 1, 2, 3, 3, 3,
    4, 4, 4, 5, 6, 6, 6, 4, 5, 5, 5, 6,
    1, 2, 2, 2, 2, 2, 3, 1, 1, 3, 3, 1,
    1, 3, 3, 4, 4, 6, 6, 4, 4, 6, 6, 4,
    5, 5, 5, 5, 5, 6, 1, 2, 2, 2, 2, 2,
    2, 2, 3, 1, 1, 3, 3, 1, 1, 3, 3, 1,
    1, 3, 3, 4, 4, 6, 6, 4, 4, 6, 6, 4,
    4, 6, 6, 4, 5, 5, 5, 5, 5, 5, 5, 6,
};

struct LensOffset {
    int dx, dy;
};

// Offset of a lens's centre from its cell's centre, by frame and slot. Frame 0
// is the corner; frames 1..3 lead from slot k towards slot k - 1, that is
// counterclockwise on the screen. Hand-placed points, not an exact circle.
inline constexpr std::array<std::array<LensOffset, 6>, kPelloraFrames> LensSlotOffsets = {{
    {{{-19, -11}, {0, -22}, {19, -11}, {19, 11}, {0, 22}, {-19, 11}}},
    {{{-21, -7}, {-7, -21}, {16, -16}, {21, 7}, {7, 21}, {-16, 16}}},
    {{{-22, 0}, {-11, -19}, {11, -19}, {22, 0}, {11, 19}, {-11, 19}}},
    {{{-21, 7}, {-16, -16}, {7, -21}, {21, -7}, {16, 16}, {-7, 21}}},
}};

// Colour code (1..6) of the lens on each position; index 0 is unused.
using PelloraBoard = std::array<std::uint8_t, kPelloraPositions + 1>;

inline constexpr PuzzleRecord kPelloraRecord{"PELLORA", "b2.bmp", 532, 597, {415, 10, 70, 310}, 1, kPelloraVariants, "pmode", "pell"};

class Pellora : public Puzzle {
public:
    explicit Pellora(PuzzleHost& host);

    void Prepare() override;
    void Shuffle() override;
    void Draw() override;
    void LeftClick(int x, int y) override;
    void RightClick(int x, int y) override;
    std::vector<Rect> Places() const override;
    void ChangeOption(bool up) override;

    // The board size, 1..3 (7, 19 or 37 cells); values outside are clamped.
    int Variant() const { return variant_; }
    int Option() const override { return variant_; }
    void SetOption(int option) override { SetVariant(option); }
    void SetVariant(int variant);

    // The cell whose strict square holds (x, y), the highest-numbered one
    // where squares overlap; 0 for none.
    int HitTest(int x, int y) const;
    void RotateCellLeft(int cell);
    void RotateCellRight(int cell);
    void DrawCell(int cell, int frame);
    bool IsSolved() const;

    const PelloraBoard& Board() const { return board_; }
    void SetBoard(const PelloraBoard& board) { board_ = board; }

private:
    const PelloraVariantRow& Params() const { return PelloraVariantParams[static_cast<std::size_t>(variant_ - 1)]; }
    std::uint8_t& OnSlot(int cell, int k);
    void TurnLeft(int cell);
    void TurnRight(int cell);

    int variant_ = 1;
    PelloraBoard board_ = PelloraTarget;
};

}  // namespace qg
