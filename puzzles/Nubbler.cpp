#include "puzzles/Nubbler.h"

namespace qg {

namespace {

// A button is centred on its table point: 13 x 13, starting 6 pixels before.
constexpr int kButtonHalf = kNubblerButtonSize / 2;

// Two frames on the way. Left moves the colours first, so the frames 2, 1
// carry each button back from its old place to its new one; right shows
// frames 1, 2 with the old colours and moves them before the rest frame.
// Once solved, further agreeing turns are no news.
constexpr MoveStyle kTurn{Sound::Ratchet, kNubblerPauseMs, kNubblerFrameCount - 1, false};

Rect PlateSquare(int plate) {
    const NubblerPoint at = At(NubblerPlates, plate);
    return {at.x, at.y, kNubblerPlateSize, kNubblerPlateSize};
}

}  // namespace

void NubblerTurnLeft(NubblerColours& colours, int plate) {
    const int first = NubblerIndex(plate, 0);
    const std::uint8_t top = At(colours, first);
    for (int j = 0; j < kNubblerPositions - 1; ++j) At(colours, first + j) = At(colours, first + j + 1);
    At(colours, first + kNubblerPositions - 1) = top;
}

void NubblerTurnRight(NubblerColours& colours, int plate) {
    const int first = NubblerIndex(plate, 0);
    const std::uint8_t last = At(colours, first + kNubblerPositions - 1);
    for (int j = kNubblerPositions - 1; j > 0; --j) At(colours, first + j) = At(colours, first + j - 1);
    At(colours, first) = last;
}

bool NubblerAgrees(const NubblerColours& colours) {
    for (const NubblerPair& pair : NubblerPairs)
        if (At(colours, NubblerIndex(pair.a)) != At(colours, NubblerIndex(pair.b))) return false;
    return true;
}

// Strict on every side: the lines where plates meet, and the grid's own left
// and top edge, belong to no plate.
std::optional<int> NubblerPlateAt(int x, int y) {
    for (int p = 0; p < kNubblerPlateCount; ++p) {
        const NubblerPoint at = At(NubblerPlates, p);
        if (at.x < x && x < at.x + kNubblerPlateSize && at.y < y && y < at.y + kNubblerPlateSize) return p;
    }
    return std::nullopt;
}

void Nubbler::Prepare() { Shuffle(); }

// Colour a solved board, then scramble it by turns alone, so every task can be
// undone. Whether the result happens to be solved is not checked here: the
// solved test runs only after the player's turns.
void Nubbler::Shuffle() {
    for (auto& colour : buttons_) colour = static_cast<std::uint8_t>(host().Random(kNubblerColours));
    for (const NubblerPair& pair : NubblerPairs)
        At(buttons_, NubblerIndex(pair.a)) = At(buttons_, NubblerIndex(pair.b));
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
    const auto& centres = At(NubblerTurnFrames, frame);
    for (int i = 0; i < kNubblerPositions; ++i) {
        const int colour = At(buttons_, NubblerIndex(plate, i));
        const NubblerPoint c = At(centres, i);
        Blit(composition, square.x + c.x - kButtonHalf, square.y + c.y - kButtonHalf, kNubblerButtonSize,
             kNubblerButtonSize, host().Sheet(), kNubblerButtonPicture.x + kNubblerButtonSize * colour,
             kNubblerButtonPicture.y, Rop::Or);
    }
    PresentComposition(square);
}

void Nubbler::TurnPlateLeft(int plate) {
    Move(
        kTurn, true, [&] { NubblerTurnLeft(buttons_, plate); }, [&](int frame) { DrawPlate(plate, frame); });
}

void Nubbler::TurnPlateRight(int plate) {
    Move(
        kTurn, false, [&] { NubblerTurnRight(buttons_, plate); }, [&](int frame) { DrawPlate(plate, frame); });
}

void Nubbler::LeftClick(int x, int y) {
    const auto plate = NubblerPlateAt(x, y);
    if (!plate) return;
    StartPlayOnFirstMove();
    TurnPlateLeft(*plate);
}

void Nubbler::RightClick(int x, int y) {
    const auto plate = NubblerPlateAt(x, y);
    if (!plate) return;
    StartPlayOnFirstMove();
    TurnPlateRight(*plate);
}

std::vector<Rect> Nubbler::Places() const {
    std::vector<Rect> places;
    for (const NubblerPoint& p : NubblerPlates) places.push_back({p.x, p.y, kNubblerPlateSize, kNubblerPlateSize});
    return places;
}

}  // namespace qg
