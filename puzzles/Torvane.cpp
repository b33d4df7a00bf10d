#include "puzzles/Torvane.h"

namespace qg {
namespace {

constexpr int kTurnSound = 4;
constexpr int kFramePauseMs = 30;
constexpr int kOrderings = 24;  // of the four colours

constexpr Rect kWholeBoard{0, 0, kBoardWidth, kBoardHeight};

// Ordering number 0..23 (Lehmer code, 0 keeps the colours) as the new colour
// of each pattern colour 1..4, in q[1..4].
std::array<std::uint8_t, 5> Ordering(int number) {
    std::array<std::uint8_t, 4> left = {1, 2, 3, 4};
    std::array<std::uint8_t, 5> q{};
    int size = 4;
    int radix = 6;  // 3!
    for (int v = 1; v <= 4; ++v) {
        const int pick = number / radix;
        number %= radix;
        q[static_cast<std::size_t>(v)] = left[static_cast<std::size_t>(pick)];
        for (int k = pick; k + 1 < size; ++k) left[static_cast<std::size_t>(k)] = left[static_cast<std::size_t>(k + 1)];
        --size;
        if (size > 0) radix /= size;
    }
    return q;
}

bool IsColour(int c) { return c >= 1 && c <= 4; }

}  // namespace

int Torvane::PlateAt(int x, int y) {
    int hit = 0;
    for (int k = 1; k <= kTorvanePlateCount; ++k) {
        const TorvanePlate& p = kTorvanePlates[static_cast<std::size_t>(k - 1)];
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
    for (int i = 0; i < kTorvaneCells; ++i)
        target_[static_cast<std::size_t>(i)] = q[pattern[static_cast<std::size_t>(i)]];
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
            const int colour = target_[static_cast<std::size_t>(TorvaneCell(i, j))];
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
            DrawPiece(board_[static_cast<std::size_t>(TorvaneCell(i, j))], TorvanePieceCentreX(i), TorvanePieceCentreY(j));
    Blit(host().Screen(), host().Composition(), kWholeBoard, Rop::Copy);
    // The tiles go onto the screen before it is shown, so the board appears at once.
    PaintTargetTiles();
    host().Present(kWholeBoard);
}

void Torvane::DrawPlate(int plate, int frame) {
    if (plate < 1 || plate > kTorvanePlateCount || frame < 0 || frame >= kTorvaneFrameCount) return;
    const TorvanePlate& p = kTorvanePlates[static_cast<std::size_t>(plate - 1)];
    const Rect square = TorvanePlateSquare(plate);
    RestoreBackground(square);
    const auto& offsets = kTorvaneTurnFrames[static_cast<std::size_t>(frame)];
    for (std::size_t s = 0; s < 4; ++s)
        DrawPiece(board_[static_cast<std::size_t>(p.slotCell[s])], p.hubX + offsets[s].dx, p.hubY + offsets[s].dy);
    PresentComposition(square);
}

void Torvane::MovePieces(int plate, const std::array<int, 4>& from) {
    const TorvanePlate& p = kTorvanePlates[static_cast<std::size_t>(plate - 1)];
    std::array<std::uint8_t, 4> old{};
    for (std::size_t s = 0; s < 4; ++s) old[s] = board_[static_cast<std::size_t>(p.slotCell[s])];
    for (std::size_t s = 0; s < 4; ++s)
        board_[static_cast<std::size_t>(p.slotCell[s])] = old[static_cast<std::size_t>(from[s])];
}

void Torvane::AfterTurn() {
    // After solving the shell ignores further calls, so plates may still turn.
    if (IsSolved()) host().PuzzleSolved();
}

void Torvane::TurnPlateLeft(int plate) {
    host().PlaySound(kTurnSound);
    for (int f = 1; f < kTorvaneFrameCount; ++f) {
        DrawPlate(plate, f);
        host().Pause(kFramePauseMs);
    }
    MovePieces(plate, kTorvaneLeftFrom);
    DrawPlate(plate, 0);
    AfterTurn();
}

void Torvane::TurnPlateRight(int plate) {
    host().PlaySound(kTurnSound);
    // Moved first: the anticlockwise frames run backwards carry the pieces
    // clockwise from their old places to the new ones.
    MovePieces(plate, kTorvaneRightFrom);
    for (int f = kTorvaneFrameCount - 1; f >= 1; --f) {
        DrawPlate(plate, f);
        host().Pause(kFramePauseMs);
    }
    DrawPlate(plate, 0);
    AfterTurn();
}

void Torvane::LeftClick(int x, int y) {
    const int plate = PlateAt(x, y);
    if (plate == 0) return;
    StartPlayOnFirstMove();
    TurnPlateLeft(plate);
}

void Torvane::RightClick(int x, int y) {
    const int plate = PlateAt(x, y);
    if (plate == 0) return;
    StartPlayOnFirstMove();
    TurnPlateRight(plate);
}

std::vector<Rect> Torvane::Places() const {
    std::vector<Rect> places;
    for (const TorvanePlate& p : kTorvanePlates)
        places.push_back({p.hubX - kTorvaneHubReach, p.hubY - kTorvaneHubReach, 2 * kTorvaneHubReach, 2 * kTorvaneHubReach});
    return places;
}

}  // namespace qg
