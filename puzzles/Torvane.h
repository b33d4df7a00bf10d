#pragma once
// TORVANE: sixteen pieces, four of each of four colours, on a 4 x 4 grid carried
// by five black plates. Turning a plate moves its four pieces a quarter turn
// round its hub; the player builds the target pattern shown at the right.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"

namespace qg {

// Colours 1..4 by cell index i * 4 + j (column i, row j; column by column,
// each column top to bottom).
inline constexpr int kTorvaneCells = 16;
using TorvaneColours = std::array<std::uint8_t, kTorvaneCells>;

// The stored patterns, numbered 1 to 50: columns 0 to 3, each top to bottom.
inline constexpr int kTorvanePatternCount = 50;
inline constexpr std::array<std::string_view, kTorvanePatternCount> kTorvanePatterns = {
    "1122 1122 3344 3344", "1324 1324 1324 1324", "1111 2222 3333 4444", "3344 3214 3214 2211",
    "1112 1222 3444 3334", "1342 1342 3124 3124", "3214 2211 4433 1432", "1233 1244 3312 4412",
    "2441 2441 2331 2331", "4321 3214 2143 1432", "4133 1123 2344 2241", "1144 2211 3322 4433",
    "4111 4342 4212 3332", "2233 2143 4321 4411", "1234 4123 3412 2341", "3111 3341 2344 2224",
    "2233 2443 2443 1111", "1331 1331 4422 4422", "2443 2443 2113 2113", "1222 1244 1134 3334",
    "1341 3344 3224 1221", "2211 4213 4213 4433", "1442 1122 1332 4334", "1112 4122 4432 4333",
    "4114 1221 2332 3443", "1231 3442 2443 1321", "1133 2143 4422 3412", "2241 2214 4133 1433",
    "3113 2112 2442 3443", "4121 1423 2243 1334", "1144 2143 1234 2233", "1212 3434 1212 3434",
    "3124 1212 3124 4343", "1111 4234 4234 2233", "1212 2121 3434 4343", "1134 1143 3422 4322",
    "1432 1342 1432 1342", "1234 1234 4231 4231", "1122 3112 3442 3344", "1313 4242 1313 4242",
    "1111 2342 4234 3423", "1234 1234 4123 4123", "1432 4123 3214 2341", "1442 3123 3213 2441",
    "1332 3124 3214 2441", "1313 3311 2244 4242", "1342 3124 3214 3214", "1442 1332 1442 1332",
    "1222 3142 3414 3341", "1111 3422 3442 3342",
};

// Pattern number 1..50 as colours by cell index.
constexpr TorvaneColours TorvanePattern(int number) {
    TorvaneColours out{};
    int cell = 0;
    for (char c : At(kTorvanePatterns, number - 1))
        if (c != ' ') At(out, cell++) = static_cast<std::uint8_t>(c - '0');
    return out;
}

constexpr int TorvaneCell(int i, int j) { return i * 4 + j; }

// Plates 0..4. A plate turns the four cells round its hub. Slots: 0 top-left, 1 top-right,
// 2 bottom-left, 3 bottom-right.
struct TorvanePlate {
    int hubX, hubY;
    std::array<int, 4> slotCell;
};
inline constexpr int kTorvanePlateCount = 5;
inline constexpr std::array<TorvanePlate, kTorvanePlateCount> kTorvanePlates = {{
    {105, 105, {TorvaneCell(0, 0), TorvaneCell(1, 0), TorvaneCell(0, 1), TorvaneCell(1, 1)}},
    {225, 105, {TorvaneCell(2, 0), TorvaneCell(3, 0), TorvaneCell(2, 1), TorvaneCell(3, 1)}},
    {165, 165, {TorvaneCell(1, 1), TorvaneCell(2, 1), TorvaneCell(1, 2), TorvaneCell(2, 2)}},
    {105, 225, {TorvaneCell(0, 2), TorvaneCell(1, 2), TorvaneCell(0, 3), TorvaneCell(1, 3)}},
    {225, 225, {TorvaneCell(2, 2), TorvaneCell(3, 2), TorvaneCell(2, 3), TorvaneCell(3, 3)}},
}};

// A press counts for a plate when it is less than this far from the hub on both axes.
inline constexpr int kTorvaneHubReach = 20;

// The plates as places: the square round each hub, hit strictly inside.
inline constexpr std::array<PlaceArea, kTorvanePlateCount> kTorvanePlaceAreas = [] {
    std::array<PlaceArea, kTorvanePlateCount> areas{};
    for (std::size_t k = 0; k < areas.size(); ++k) {
        const TorvanePlate& p = kTorvanePlates[k];
        areas[k] = InsideFrame(
            {p.hubX - kTorvaneHubReach, p.hubY - kTorvaneHubReach, 2 * kTorvaneHubReach, 2 * kTorvaneHubReach});
    }
    return areas;
}();

// Piece centres relative to the hub, per slot: frame 0 is the rest position,
// frames 1 to 5 step through an anticlockwise quarter turn.
struct TorvaneOffset {
    int dx, dy;
};
inline constexpr int kTorvaneFrameCount = 6;
inline constexpr std::array<std::array<TorvaneOffset, 4>, kTorvaneFrameCount> kTorvaneTurnFrames = {{
    {{{-30, -30}, {30, -30}, {-30, 30}, {30, 30}}},
    {{{-36, -21}, {21, -36}, {-21, 36}, {36, 21}}},
    {{{-39, -11}, {11, -39}, {-11, 39}, {39, 11}}},
    {{{-40, 0}, {0, -40}, {0, 40}, {40, 0}}},
    {{{-39, 11}, {-11, -39}, {11, 39}, {39, -11}}},
    {{{-36, 21}, {-21, -36}, {21, 36}, {36, -21}}},
}};

// Where each new slot takes its piece from: newSlot[s] = oldSlot[from[s]].
inline constexpr std::array<int, 4> kTorvaneLeftFrom = {1, 3, 0, 2};   // anticlockwise
inline constexpr std::array<int, 4> kTorvaneRightFrom = {2, 0, 3, 1};  // clockwise

// Board geometry and the layout of the sheet.
inline constexpr int kTorvanePieceSize = 50;        // board piece, drawn round its centre
inline constexpr int kTorvanePlateHalf = 65;        // the plate square is hub +- 65
inline constexpr int kTorvaneTileSize = 30;         // target tile
inline constexpr int kTorvaneTileLeft = 336, kTorvaneTileTop = 27, kTorvaneTileStep = 35;
inline constexpr Rect kTorvaneTargetRect{336, 27, 135, 135};
inline constexpr int kTorvaneSpriteRow = 333;       // every sprite lies in this row of the sheet
inline constexpr int kTorvanePieceMaskX = 200;      // pieces of colour k at (k - 1) * 50
inline constexpr int kTorvaneTileMaskX = 370;       // tiles of colour k at 220 + 30 * k

constexpr int TorvanePieceCentreX(int i) { return 75 + 60 * i; }
constexpr int TorvanePieceCentreY(int j) { return 75 + 60 * j; }
constexpr int TorvanePieceSheetX(int colour) { return (colour - 1) * kTorvanePieceSize; }
constexpr int TorvaneTileSheetX(int colour) { return 220 + kTorvaneTileSize * colour; }
constexpr Rect TorvanePlateSquare(int plate) {
    const TorvanePlate& p = At(kTorvanePlates, plate);
    return {p.hubX - kTorvanePlateHalf, p.hubY - kTorvanePlateHalf, 2 * kTorvanePlateHalf, 2 * kTorvanePlateHalf};
}

// The position: the board, the target and the number of the last target's
// pattern (1..50, 0 before the first). Before the first set-up board and
// target are empty (all 0); afterwards each holds four pieces of each colour.
struct TorvanePosition {
    TorvaneColours board{};
    TorvaneColours target{};
    int lastPattern = 0;
    friend bool operator==(const TorvanePosition&, const TorvanePosition&) = default;
};

bool IsSolved(const TorvanePosition& position);  // the board shows the target
// Turns plate m.place (0..4) a quarter, left anticlockwise; any other place
// leaves the position as it is.
TorvanePosition Apply(const TorvanePosition& position, Move move);
std::vector<Move> LegalMoves(const TorvanePosition& position);  // every plate, both ways
// Board, target and pattern number, e.g. "4321321421431432 1122112233443344 12",
// each colour string by cell index.
std::string Encode(const TorvanePosition& position);
template <>
std::optional<TorvanePosition> Decode<TorvanePosition>(std::string_view text);

inline constexpr PuzzleRecord kTorvaneRecord{
    .name = "TORVANE",
    .sheetFile = "b1.bmp",
    .sheetMinWidth = 500,
    .sheetMinHeight = 383,
    .rulesRect = {300, 245, 183, 74},
    .tableKey = "torv",
    .mixDrawsTargetOnly = true,
    .buttonName = "TorvaneBtn",
    .buttonPicture = "torvane",
    .key = '1',
    .hint = {"Jetzt spiel ich eine Runde TORVANE.", "A lap TORVANE for me."},
    .rules = {"Drehe die schwarzen TORVANE-Teller.\rStelle die rechts gezeigteOrdnung her.",
              "Rotate the black TORVANE-plates.\rTry to build the pattern shown right."},
    // A task: the board at the left, the pattern to build at the right.
    .helpPictures = {{{.name = "torvane"}}},
    .sound = Sound::Clack,
};

class Torvane : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override;
    void Shuffle() override;
    void Draw() override;
    std::span<const PlaceArea> PlaceAreas() const override { return kTorvanePlaceAreas; }
    void DrawTarget() override;

    // Redraws plate 0..4 with its pieces at frame 0..5 and presents its square.
    void DrawPlate(int plate, int frame);

    // The plate whose hub square holds (x, y), if any.
    static std::optional<int> PlateAt(int x, int y) { return PlaceHit(kTorvanePlaceAreas, x, y); }

    const TorvanePosition& Position() const { return position_; }
    std::string PositionText() const override { return Encode(position_); }
    bool SetPositionText(std::string_view text) override { return ReadPosition(position_, text); }
    const TorvaneColours& Board() const { return position_.board; }
    const TorvaneColours& Target() const { return position_.target; }
    int LastPattern() const { return position_.lastPattern; }  // 1..50, 0 before the first
    bool IsSolved() const override { return qg::IsSolved(position_); }

    // Puts a position on the table as it is, e.g. to resume a game.
    void SetPosition(const TorvanePosition& position) { position_ = position; }
    void SetPosition(const TorvaneColours& board, const TorvaneColours& target) {
        position_.board = board;
        position_.target = target;
    }

protected:
    void AnimateMove(qg::Move m) override;

private:
    void NewTarget();
    void PaintTargetTiles();
    void DrawPiece(int colour, int centreX, int centreY);

    TorvanePosition position_;
};

}  // namespace qg
