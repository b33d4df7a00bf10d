#include "puzzles/Nubbler.h"

namespace qg {

namespace {

// A button is centred on its table point: 13 x 13, starting 6 pixels before.
constexpr int kButtonHalf = kNubblerButtonSize / 2;

Rect PlateSquare(int plate) {
    const NubblerPoint at = NubblerPlates[static_cast<std::size_t>(plate)];
    return {at.x, at.y, kNubblerPlateSize, kNubblerPlateSize};
}

}  // namespace

void NubblerTurnLeft(NubblerColours& colours, int plate) {
    const int first = NubblerIndex(plate, 0);
    const std::uint8_t top = colours[static_cast<std::size_t>(first)];
    for (int j = 0; j < kNubblerPositions - 1; ++j)
        colours[static_cast<std::size_t>(first + j)] = colours[static_cast<std::size_t>(first + j + 1)];
    colours[static_cast<std::size_t>(first + kNubblerPositions - 1)] = top;
}

void NubblerTurnRight(NubblerColours& colours, int plate) {
    const int first = NubblerIndex(plate, 0);
    const std::uint8_t last = colours[static_cast<std::size_t>(first + kNubblerPositions - 1)];
    for (int j = kNubblerPositions - 1; j > 0; --j)
        colours[static_cast<std::size_t>(first + j)] = colours[static_cast<std::size_t>(first + j - 1)];
    colours[static_cast<std::size_t>(first)] = last;
}

bool NubblerAgrees(const NubblerColours& colours) {
    for (const NubblerPair& pair : NubblerPairs)
        if (colours[static_cast<std::size_t>(NubblerIndex(pair.a))] != colours[static_cast<std::size_t>(NubblerIndex(pair.b))])
            return false;
    return true;
}

// Strict on every side: the lines where plates meet, and the grid's own left
// and top edge, belong to no plate.
int NubblerPlateAt(int x, int y) {
    for (int p = 0; p < kNubblerPlateCount; ++p) {
        const NubblerPoint at = NubblerPlates[static_cast<std::size_t>(p)];
        if (at.x < x && x < at.x + kNubblerPlateSize && at.y < y && y < at.y + kNubblerPlateSize) return p;
    }
    return -1;
}

void Nubbler::Prepare() { Shuffle(); }

// Colour a solved board, then scramble it by turns alone, so every task can be
// undone. Whether the result happens to be solved is not checked here: the
// solved test runs only after the player's turns.
void Nubbler::Shuffle() {
    for (auto& colour : buttons_) colour = static_cast<std::uint8_t>(host().Random(kNubblerColours));
    for (const NubblerPair& pair : NubblerPairs)
        buttons_[static_cast<std::size_t>(NubblerIndex(pair.a))] = buttons_[static_cast<std::size_t>(NubblerIndex(pair.b))];
    for (int turn = 0; turn < kNubblerShuffleTurns; ++turn) NubblerTurnLeft(buttons_, host().Random(kNubblerPlateCount));
}

void Nubbler::Draw() {
    const Rect board{0, 0, kBoardWidth, kBoardHeight};
    Blit(host().Screen(), host().Sheet(), board, Rop::Copy);
    for (int p = 0; p < kNubblerPlateCount; ++p) DrawPlate(p, 0);
    // The margins around the grid came straight from the sheet; show them too.
    host().Present(board);
}

void Nubbler::DrawPlate(int plate, int frame) {
    const Rect square = PlateSquare(plate);
    Surface& composition = host().Composition();
    RestoreBackground(square);
    DrawSprite(composition, square.x, square.y, kNubblerPlateSize, kNubblerPlateSize, kNubblerPlateMaskX,
               kNubblerPlateSize * frame, kNubblerPlatePictureX, kNubblerPlateSize * frame);
    // Buttons have no mask: the plate leaves their places black.
    const auto& centres = NubblerTurnFrames[static_cast<std::size_t>(frame)];
    for (int i = 0; i < kNubblerPositions; ++i) {
        const int colour = buttons_[static_cast<std::size_t>(NubblerIndex(plate, i))];
        const NubblerPoint c = centres[static_cast<std::size_t>(i)];
        Blit(composition, square.x + c.x - kButtonHalf, square.y + c.y - kButtonHalf, kNubblerButtonSize,
             kNubblerButtonSize, host().Sheet(), kNubblerButtonPicture.x + kNubblerButtonSize * colour,
             kNubblerButtonPicture.y, Rop::Or);
    }
    PresentComposition(square);
}

// The colours move first, so the frames 2, 1, 0 carry each button back from
// its old place to its new one.
void Nubbler::TurnPlateLeft(int plate) {
    host().PlaySound(kNubblerSound);
    NubblerTurnLeft(buttons_, plate);
    DrawPlate(plate, 2);
    host().Pause(kNubblerPauseMs);
    DrawPlate(plate, 1);
    host().Pause(kNubblerPauseMs);
    DrawPlate(plate, 0);
    ReportIfSolved();
}

// Frames 1 and 2 carry the buttons forward from their old places; the colours
// move before the rest frame.
void Nubbler::TurnPlateRight(int plate) {
    host().PlaySound(kNubblerSound);
    DrawPlate(plate, 1);
    host().Pause(kNubblerPauseMs);
    DrawPlate(plate, 2);
    host().Pause(kNubblerPauseMs);
    NubblerTurnRight(buttons_, plate);
    DrawPlate(plate, 0);
    ReportIfSolved();
}

void Nubbler::LeftClick(int x, int y) {
    const int plate = NubblerPlateAt(x, y);
    if (plate < 0) return;
    StartPlayOnFirstMove();
    TurnPlateLeft(plate);
}

void Nubbler::RightClick(int x, int y) {
    const int plate = NubblerPlateAt(x, y);
    if (plate < 0) return;
    StartPlayOnFirstMove();
    TurnPlateRight(plate);
}

// Once solved, further agreeing turns are no news.
void Nubbler::ReportIfSolved() {
    if (host().State() != kStateSolved && IsSolved()) host().PuzzleSolved();
}

std::vector<Rect> Nubbler::Places() const {
    std::vector<Rect> places;
    for (const NubblerPoint& p : NubblerPlates) places.push_back({p.x, p.y, kNubblerPlateSize, kNubblerPlateSize});
    return places;
}

}  // namespace qg
