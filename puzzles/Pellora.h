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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Places in the sheet.
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

// Cells 0..36, lens positions 0..95. The numbering is nested: a smaller
// board uses the first cells and lens positions of a larger one.
inline constexpr std::array<PelloraCell, kPelloraCells> PelloraCells = {{
    {-1, -1, {0, 1, 2, 8, 7, 6}},
    {1, -1, {2, 3, 4, 10, 9, 8}},
    {-2, 0, {5, 6, 7, 14, 13, 12}},
    {0, 0, {7, 8, 9, 16, 15, 14}},
    {2, 0, {9, 10, 11, 18, 17, 16}},
    {-1, 1, {13, 14, 15, 21, 20, 19}},
    {1, 1, {15, 16, 17, 23, 22, 21}},
    {-2, -2, {24, 25, 26, 1, 0, 32}},
    {0, -2, {26, 27, 28, 3, 2, 1}},
    {2, -2, {28, 29, 30, 33, 4, 3}},
    {-3, -1, {31, 32, 0, 6, 5, 36}},
    {3, -1, {4, 33, 34, 37, 11, 10}},
    {-4, 0, {35, 36, 5, 12, 40, 39}},
    {4, 0, {11, 37, 38, 42, 41, 18}},
    {-3, 1, {40, 12, 13, 19, 44, 43}},
    {3, 1, {17, 18, 41, 46, 45, 23}},
    {-2, 2, {44, 19, 20, 49, 48, 47}},
    {0, 2, {20, 21, 22, 51, 50, 49}},
    {2, 2, {22, 23, 45, 53, 52, 51}},
    {-3, -3, {54, 55, 56, 25, 24, 64}},
    {-1, -3, {56, 57, 58, 27, 26, 25}},
    {1, -3, {58, 59, 60, 29, 28, 27}},
    {3, -3, {60, 61, 62, 65, 30, 29}},
    {-4, -2, {63, 64, 24, 32, 31, 68}},
    {4, -2, {30, 65, 66, 69, 34, 33}},
    {-5, -1, {67, 68, 31, 36, 35, 72}},
    {5, -1, {34, 69, 70, 73, 38, 37}},
    {-6, 0, {71, 72, 35, 39, 76, 75}},
    {6, 0, {38, 73, 74, 78, 77, 42}},
    {-5, 1, {76, 39, 40, 43, 80, 79}},
    {5, 1, {41, 42, 77, 82, 81, 46}},
    {-4, 2, {80, 43, 44, 47, 84, 83}},
    {4, 2, {45, 46, 81, 86, 85, 53}},
    {-3, 3, {84, 47, 48, 89, 88, 87}},
    {-1, 3, {48, 49, 50, 91, 90, 89}},
    {1, 3, {50, 51, 52, 93, 92, 91}},
    {3, 3, {52, 53, 85, 95, 94, 93}},
}};

inline constexpr const PelloraCell& PelloraCellAt(int cell) { return At(PelloraCells, cell); }

// The cells as places: the square round each centre, hit strictly inside;
// a board size uses the first of them.
inline constexpr std::array<PlaceArea, kPelloraCells> kPelloraPlaceAreas = [] {
    std::array<PlaceArea, kPelloraCells> areas{};
    for (std::size_t cell = 0; cell < areas.size(); ++cell) {
        const PelloraCell& c = PelloraCells[cell];
        areas[cell] = InsideFrame({c.X() - kPelloraHitHalf, c.Y() - kPelloraHitHalf, 2 * kPelloraHitHalf, 2 * kPelloraHitHalf});
    }
    return areas;
}();

// The solved board: the colour of the sector each corner lies in, seen from
// the figure's centre (3 upper right, 2 top, 1 upper left, 4 lower left,
// 5 bottom, 6 lower right), by lens position.
inline constexpr std::array<std::uint8_t, kPelloraPositions> PelloraTarget = {
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

// Colour code (1..6) of the lens on each position.
using PelloraBoard = std::array<std::uint8_t, kPelloraPositions>;

// The position: the board size and the lens on every position of the largest
// board. A smaller board plays on the first positions only; the others keep
// what they held and are not part of its task.
struct PelloraPosition {
    int variant = 1;
    PelloraBoard lenses = PelloraTarget;
    friend bool operator==(const PelloraPosition&, const PelloraPosition&) = default;
};

bool IsSolved(const PelloraPosition& position);  // the variant's lenses in their sectors
// Turns the six lenses round cell m.place (0..36) one corner on, left
// counterclockwise; any other place leaves the position as it is.
PelloraPosition Apply(const PelloraPosition& position, Move move);
std::vector<Move> LegalMoves(const PelloraPosition& position);  // the variant's cells, both ways
// The variant's digit, a space and the colours (1..6) of all 96 positions.
std::string Encode(const PelloraPosition& position);
template <>
std::optional<PelloraPosition> Decode<PelloraPosition>(std::string_view text);

inline constexpr PuzzleRecord kPelloraRecord{
    .name = "PELLORA",
    .sheetFile = "b2.bmp",
    .sheetMinWidth = 532,
    .sheetMinHeight = 597,
    .rulesRect = {415, 10, 70, 310},
    .optionMin = 1,
    .optionMax = kPelloraVariants,
    .optionSetting = "pmode",
    .tableKey = "pell",
    .buttonName = "PelloraBtn",
    .buttonPicture = "pellora",
    .key = '2',
    .hint = {"Jetzt knack ich schnell das PELLORA.", "I quickly solve the PELLORA."},
    .rules = {"Drehe jeweils sechs Linsen des PELLORAs\rbis die Farben der Linsen und der\rPellorasektoren übereinstimmen.",
              "Rotate every six pills of the PELLORA\runtil the color of the pills fits to\rthe color of the ground."},
    // The middle board size, mixed and solved.
    .helpPictures = {{{.name = "pellora", .option = 2},
                      {.name = "pellora_solved",
                       .option = 2,
                       .position = "2 122231112333444566645556122222311331133446644664555556"
                                   "122222223113311331133446644664466455555556"}}},
    .sound = Sound::Lens,
};

class Pellora : public Puzzle {
public:
    explicit Pellora(PuzzleHost& host);

    void Prepare() override;
    void Shuffle() override;
    void Draw() override;
    std::span<const PlaceArea> PlaceAreas() const override;
    void ChangeOption(bool up) override;

    // The board size, 1..3 (7, 19 or 37 cells); values outside are clamped.
    int Variant() const { return position_.variant; }
    int Option() const override { return position_.variant; }
    void SetOption(int option) override { SetVariant(option); }
    void SetVariant(int variant);

    // The cell whose strict square holds (x, y), the highest-numbered one
    // where squares overlap, if any.
    std::optional<int> HitTest(int x, int y) const { return PlaceAt(x, y); }
    void RotateCellLeft(int cell);
    void RotateCellRight(int cell);
    void DrawCell(int cell, int frame);
    bool IsSolved() const override;

    const PelloraPosition& Position() const { return position_; }
    std::string PositionText() const override { return Encode(position_); }
    bool SetPositionText(std::string_view text) override { return ReadPosition(position_, text); }
    void SetPosition(const PelloraPosition& position) { position_ = position; }
    const PelloraBoard& Board() const { return position_.lenses; }
    void SetBoard(const PelloraBoard& board) { position_.lenses = board; }

protected:
    void AnimateMove(qg::Move m) override;

private:
    const PelloraVariantRow& Params() const { return At(PelloraVariantParams, position_.variant - 1); }

    PelloraPosition position_;
};

}  // namespace qg
