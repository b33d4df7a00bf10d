#pragma once
// NUBBLER: nine plates of eight buttons; facing buttons must agree.
//
// Plates 0..8 row by row; button positions 0..7 clockwise from the top
// (0 top, 2 right, 4 bottom, 6 left). Colours 0..7.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"

namespace qg {

inline constexpr int kNubblerPlateCount = 9;
inline constexpr int kNubblerPositions = 8;
inline constexpr int kNubblerColours = 8;
inline constexpr int kNubblerButtonCount = kNubblerPlateCount * kNubblerPositions;
inline constexpr int kNubblerPlateSize = 100;
inline constexpr int kNubblerButtonSize = 13;
inline constexpr int kNubblerFrameCount = 3;
inline constexpr int kNubblerShuffleTurns = 1001;
inline constexpr int kNubblerPauseMs = 50;

struct NubblerPoint {
    int x, y;
};

struct NubblerButton {
    int plate, position;
};

struct NubblerPair {
    NubblerButton a, b;
};

// Top-left corner of each plate's square; the squares touch.
inline constexpr std::array<NubblerPoint, kNubblerPlateCount> NubblerPlates = {{
    {80, 16}, {180, 16}, {280, 16},
    {80, 116}, {180, 116}, {280, 116},
    {80, 216}, {180, 216}, {280, 216},
}};

// The twelve pairs of buttons facing each other across a border.
inline constexpr std::array<NubblerPair, 12> NubblerPairs = {{
    {{0, 2}, {1, 6}},
    {{1, 2}, {2, 6}},
    {{0, 4}, {3, 0}},
    {{1, 4}, {4, 0}},
    {{2, 4}, {5, 0}},
    {{3, 2}, {4, 6}},
    {{4, 2}, {5, 6}},
    {{3, 4}, {6, 0}},
    {{4, 4}, {7, 0}},
    {{5, 4}, {8, 0}},
    {{6, 2}, {7, 6}},
    {{7, 2}, {8, 6}},
}};

// Button centres relative to the plate square, at rest and turned about 15 and
// 30 degrees clockwise around (49, 50).
inline constexpr std::array<std::array<NubblerPoint, kNubblerPositions>, kNubblerFrameCount> NubblerTurnFrames = {{
    {{{49, 16}, {73, 26}, {83, 50}, {73, 74}, {49, 84}, {25, 74}, {15, 50}, {25, 26}}},
    {{{59, 17}, {80, 33}, {83, 59}, {67, 80}, {40, 83}, {19, 67}, {16, 41}, {32, 20}}},
    {{{66, 21}, {82, 41}, {78, 67}, {58, 82}, {33, 79}, {17, 59}, {21, 33}, {41, 18}}},
}};

// Where the pictures lie in the sheet.
inline constexpr int kNubblerPlatePictureX = 500;  // frame f at y = 100 f
inline constexpr int kNubblerPlateMaskX = 600;
inline constexpr NubblerPoint kNubblerButtonPicture = {500, 300};  // colour k at x + 13 k

// The plates as places: each plate's square, hit strictly inside, so the
// lines where plates meet belong to none.
inline constexpr std::array<PlaceArea, kNubblerPlateCount> kNubblerPlaceAreas = [] {
    std::array<PlaceArea, kNubblerPlateCount> areas{};
    for (std::size_t p = 0; p < areas.size(); ++p)
        areas[p] = InsideFrame({NubblerPlates[p].x, NubblerPlates[p].y, kNubblerPlateSize, kNubblerPlateSize});
    return areas;
}();

using NubblerColours = std::array<std::uint8_t, kNubblerButtonCount>;

constexpr int NubblerIndex(int plate, int position) { return plate * kNubblerPositions + position; }
constexpr int NubblerIndex(NubblerButton b) { return NubblerIndex(b.plate, b.position); }

// The position: the colour of every button. Turns reach exactly those
// colourings that some turn of each plate makes agree.
struct NubblerPosition {
    NubblerColours buttons{};
    friend bool operator==(const NubblerPosition&, const NubblerPosition&) = default;
};

bool IsSolved(const NubblerPosition& position);  // all twelve pairs agree
// Turns plate m.place (0..8) one eighth, left anticlockwise; any other place
// leaves the position as it is.
NubblerPosition Apply(const NubblerPosition& position, Move move);
std::vector<Move> LegalMoves(const NubblerPosition& position);  // every plate, both ways
// Nine groups of eight digits, plate by plate, each from the top clockwise.
std::string Encode(const NubblerPosition& position);
template <>
std::optional<NubblerPosition> Decode<NubblerPosition>(std::string_view text);

// The rules on a bare colouring, shared by the puzzle and its tools.
void NubblerTurnLeft(NubblerColours& colours, int plate);   // one eighth anticlockwise
void NubblerTurnRight(NubblerColours& colours, int plate);  // one eighth clockwise
bool NubblerAgrees(const NubblerColours& colours);          // all twelve pairs equal
inline std::optional<int> NubblerPlateAt(int x, int y) {    // the plate hit, if any
    return PlaceHit(kNubblerPlaceAreas, x, y);
}

inline constexpr PuzzleRecord kNubblerRecord{
    .name = "NUBBLER",
    .sheetFile = "b3.bmp",
    .sheetMinWidth = 700,
    .sheetMinHeight = 333,
    .rulesRect = {390, 10, 96, 204},
    .tableKey = "nubb",
    .buttonName = "NubblerBtn",
    .buttonPicture = "nubbler",
    .key = '3',
    .hint = {"Nach NUBBLER steht mir der Sinn.", "NUPBLER is, what I like now."},
    .rules = {"Drehe die NUBBLER-Scheiben.\rKnöpfe, die nebeneinander liegen,\rmüssen die gleiche Farbe haben.",
              "Rotate the NUBBLER-plates.\rButtons, which lay next to each\rother, must have the same color."},
    // A task, and a colourful board whose facing buttons all agree.
    .helpPictures = {{{.name = "nubbler"},
                      {.name = "nubbler_solved",
                       .position = "23610555 77265460 37575021 00171430 53620110 56645064 17323222 00623232 50023265"}}},
    .sound = Sound::Ratchet,
};

class Nubbler : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override;
    void Shuffle() override;
    void Draw() override;
    std::span<const PlaceArea> PlaceAreas() const override { return kNubblerPlaceAreas; }

    void TurnPlateLeft(int plate);
    void TurnPlateRight(int plate);
    void DrawPlate(int plate, int frame);
    bool IsSolved() const override { return qg::IsSolved(position_); }

    const NubblerPosition& Position() const { return position_; }
    std::string PositionText() const override { return Encode(position_); }
    bool SetPositionText(std::string_view text) override { return ReadPosition(position_, text); }
    void SetPosition(const NubblerPosition& position) { position_ = position; }
    const NubblerColours& Buttons() const { return position_.buttons; }
    void SetButtons(const NubblerColours& colours) { position_.buttons = colours; }

protected:
    void AnimateMove(qg::Move m) override;

private:

    NubblerPosition position_;
};

}  // namespace qg
