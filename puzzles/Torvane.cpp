#include "puzzles/Torvane.h"

namespace qg {
namespace {

// Five frames on the way, 30 ms apart. Left runs the anticlockwise frames
// forwards; right moves the pieces first and runs them backwards, carrying
// the pieces clockwise from their old places to the new ones.
constexpr MoveStyle kTurn{Sound::Clack, 30, kTorvaneFrameCount - 1};
constexpr int kOrderings = 24;  // of the four colours

constexpr Rect kWholeBoard{0, 0, kBoardWidth, kBoardHeight};

// Ordering number 0..23 (Lehmer code, 0 keeps the colours) as the new colour
// of each pattern colour c, in q[c - 1].
std::array<std::uint8_t, 4> Ordering(int number) {
    std::array<std::uint8_t, 4> left = {1, 2, 3, 4};
    std::array<std::uint8_t, 4> q{};
    int size = 4;
    int radix = 6;  // 3!
    for (auto& newColour : q) {
        const int pick = number / radix;
        number %= radix;
        newColour = At(left, pick);
        for (int k = pick; k + 1 < size; ++k) At(left, k) = At(left, k + 1);
        --size;
        if (size > 0) radix /= size;
    }
    return q;
}

bool IsColour(int c) { return c >= 1 && c <= 4; }

}  // namespace

std::optional<int> Torvane::PlateAt(int x, int y) {
    std::optional<int> hit;
    for (int k = 0; k < kTorvanePlateCount; ++k) {
        const TorvanePlate& p = At(kTorvanePlates, k);
        if (p.hubX - kTorvaneHubReach < x && x < p.hubX + kTorvaneHubReach && p.hubY - kTorvaneHubReach < y &&
            y < p.hubY + kTorvaneHubReach)
            hit = k;
    }
    return hit;
}

void Torvane::NewTarget() {
    int n;
    do {
        n = host().Random(kTorvanePatternCount) + 1;
    } while (n == lastPattern_);
    lastPattern_ = n;
    const auto q = Ordering(host().Random(kOrderings));
    const TorvaneColours pattern = TorvanePattern(n);
    for (std::size_t i = 0; i < target_.size(); ++i) target_[i] = At(q, pattern[i] - 1);
}

void Torvane::Prepare() {
    NewTarget();
    board_ = target_;
    NewTarget();
}

void Torvane::Shuffle() { NewTarget(); }

void Torvane::DrawPiece(int colour, int centreX, int centreY) {
    if (!IsColour(colour)) return;  // an empty cell before the first set-up
    const int half = kTorvanePieceSize / 2;
    DrawSprite(host().Composition(), centreX - half, centreY - half, kTorvanePieceSize, kTorvanePieceSize,
               kTorvanePieceMaskX, kTorvaneSpriteRow, TorvanePieceSheetX(colour), kTorvaneSpriteRow);
}

void Torvane::PaintTargetTiles() {
    // Straight onto the screen: all tiles share one mask, so a new tile
    // replaces the old one exactly without restoring the background.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            const int colour = At(target_, TorvaneCell(i, j));
            if (!IsColour(colour)) continue;
            DrawSprite(host().Screen(), kTorvaneTileLeft + kTorvaneTileStep * i, kTorvaneTileTop + kTorvaneTileStep * j,
                       kTorvaneTileSize, kTorvaneTileSize, kTorvaneTileMaskX, kTorvaneSpriteRow,
                       TorvaneTileSheetX(colour), kTorvaneSpriteRow);
        }
}

void Torvane::DrawTarget() {
    PaintTargetTiles();
    host().Present(kTorvaneTargetRect);
}

void Torvane::Draw() {
    RestoreBackground(kWholeBoard);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            DrawPiece(At(board_, TorvaneCell(i, j)), TorvanePieceCentreX(i), TorvanePieceCentreY(j));
    Blit(host().Screen(), host().Composition(), kWholeBoard, Rop::Copy);
    // The tiles go onto the screen before it is shown, so the board appears at once.
    PaintTargetTiles();
    host().Present(kWholeBoard);
}

void Torvane::DrawPlate(int plate, int frame) {
    if (plate < 0 || plate >= kTorvanePlateCount || frame < 0 || frame >= kTorvaneFrameCount) return;
    const TorvanePlate& p = At(kTorvanePlates, plate);
    const Rect square = TorvanePlateSquare(plate);
    RestoreBackground(square);
    const auto& offsets = At(kTorvaneTurnFrames, frame);
    for (std::size_t s = 0; s < 4; ++s) DrawPiece(At(board_, p.slotCell[s]), p.hubX + offsets[s].dx, p.hubY + offsets[s].dy);
    PresentComposition(square);
}

void Torvane::MovePieces(int plate, const std::array<int, 4>& from) {
    const TorvanePlate& p = At(kTorvanePlates, plate);
    std::array<std::uint8_t, 4> old{};
    for (std::size_t s = 0; s < 4; ++s) old[s] = At(board_, p.slotCell[s]);
    for (std::size_t s = 0; s < 4; ++s) At(board_, p.slotCell[s]) = At(old, from[s]);
}

// After solving the shell ignores further solved calls, so plates may still turn.
void Torvane::TurnPlate(int plate, bool left) {
    Move(
        kTurn, !left, [&] { MovePieces(plate, left ? kTorvaneLeftFrom : kTorvaneRightFrom); },
        [&](int frame) { DrawPlate(plate, frame); });
}

void Torvane::LeftClick(int x, int y) {
    const auto plate = PlateAt(x, y);
    if (!plate) return;
    StartPlayOnFirstMove();
    TurnPlate(*plate, true);
}

void Torvane::RightClick(int x, int y) {
    const auto plate = PlateAt(x, y);
    if (!plate) return;
    StartPlayOnFirstMove();
    TurnPlate(*plate, false);
}

std::vector<Rect> Torvane::Places() const {
    std::vector<Rect> places;
    for (const TorvanePlate& p : kTorvanePlates)
        places.push_back({p.hubX - kTorvaneHubReach, p.hubY - kTorvaneHubReach, 2 * kTorvaneHubReach, 2 * kTorvaneHubReach});
    return places;
}

}  // namespace qg
