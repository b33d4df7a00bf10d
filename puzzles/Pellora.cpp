#include "puzzles/Pellora.h"

#include <algorithm>

namespace qg {
namespace {

// Three frames on the way, 40 ms apart. Left: the lenses leave with their
// old colours, counterclockwise. Right: the board turns first, so each lens
// is seen coming clockwise from its old corner with its new place's colour.
constexpr MoveStyle kTurn{Sound::Lens, 40, kPelloraFrames - 1};
constexpr int kShuffleTurnsPerCell = 20;

// A cell's background is restored two rows taller than its cluster covers.
constexpr int kRestoreHalfWidth = 28;
constexpr int kRestoreHalfHeight = 33;
// The middle 56 columns of the scratch tile are laid onto the board.
constexpr int kClusterHalfWidth = 28;
constexpr int kClusterHalfHeight = 31;
constexpr int kClusterWidth = 56;

constexpr bool ValidCell(int cell) { return cell >= 0 && cell < kPelloraCells; }

}  // namespace

Pellora::Pellora(PuzzleHost& host) : Puzzle(host) {}

void Pellora::SetVariant(int variant) { variant_ = std::clamp(variant, 1, kPelloraVariants); }

void Pellora::Prepare() { Shuffle(); }

void Pellora::Shuffle() {
    const PelloraVariantRow& v = Params();
    std::copy_n(PelloraTarget.begin(), v.lenses, board_.begin());
    for (int n = 0; n < kShuffleTurnsPerCell * v.cells + 1; ++n) TurnLeft(host().Random(v.cells));
    host().SetState(kStateReady);
}

// The lens on slot k of a cell, for the turns.
std::uint8_t& Pellora::OnSlot(int cell, int k) {
    return At(board_, At(PelloraCellAt(cell).lens, k));
}

// Every lens moves to the preceding slot's corner.
void Pellora::TurnLeft(int cell) {
    const std::uint8_t first = OnSlot(cell, 0);
    for (int k = 0; k < 5; ++k) OnSlot(cell, k) = OnSlot(cell, k + 1);
    OnSlot(cell, 5) = first;
}

// Every lens moves to the following slot's corner.
void Pellora::TurnRight(int cell) {
    const std::uint8_t last = OnSlot(cell, 5);
    for (int k = 4; k >= 0; --k) OnSlot(cell, k + 1) = OnSlot(cell, k);
    OnSlot(cell, 0) = last;
}

std::optional<int> Pellora::HitTest(int x, int y) const {
    std::optional<int> hit;
    for (int cell = 0; cell < Params().cells; ++cell) {
        const PelloraCell& c = PelloraCellAt(cell);
        if (c.X() - kPelloraHitHalf < x && x < c.X() + kPelloraHitHalf && c.Y() - kPelloraHitHalf < y &&
            y < c.Y() + kPelloraHitHalf)
            hit = cell;
    }
    return hit;
}

void Pellora::LeftClick(int x, int y) {
    const auto cell = HitTest(x, y);
    if (!cell) return;
    StartPlayOnFirstMove();
    RotateCellLeft(*cell);
}

void Pellora::RightClick(int x, int y) {
    const auto cell = HitTest(x, y);
    if (!cell) return;
    StartPlayOnFirstMove();
    RotateCellRight(*cell);
}

void Pellora::RotateCellLeft(int cell) { RotateCell(cell, true); }
void Pellora::RotateCellRight(int cell) { RotateCell(cell, false); }

void Pellora::RotateCell(int cell, bool left) {
    if (!ValidCell(cell)) return;
    Move(
        kTurn, !left, [&] { left ? TurnLeft(cell) : TurnRight(cell); }, [&](int frame) { DrawCell(cell, frame); });
}

// No wrap-around: at either end of the range nothing changes.
void Pellora::ChangeOption(bool up) {
    const int next = variant_ + (up ? 1 : -1);
    if (next < 1 || next > kPelloraVariants) return;
    variant_ = next;
    Shuffle();
    Draw();
}

bool Pellora::IsSolved() const {
    const int lenses = Params().lenses;
    return std::equal(board_.begin(), board_.begin() + lenses, PelloraTarget.begin());
}

void Pellora::Draw() {
    const PelloraVariantRow& v = Params();
    const Rect board{0, 0, kBoardWidth, kBoardHeight};
    RestoreBackground(board);
    Blit(host().Composition(), v.boardX, v.boardY, 2 * v.halfWidth, 2 * v.halfHeight, host().Sheet(), v.sheetX, v.sheetY,
         Rop::Copy);
    PresentComposition(board);
    for (int cell = 0; cell < v.cells; ++cell) DrawCell(cell, 0);
}

void Pellora::DrawCell(int cell, int frame) {
    if (!ValidCell(cell) || frame < 0 || frame >= kPelloraFrames) return;
    const PelloraVariantRow& v = Params();
    const PelloraCell& c = PelloraCellAt(cell);
    const Surface& sheet = host().Sheet();
    Surface& comp = host().Composition();
    const int x = c.X(), y = c.Y();

    Blit(comp, x - kRestoreHalfWidth, y - kRestoreHalfHeight, 2 * kRestoreHalfWidth, 2 * kRestoreHalfHeight, sheet,
         v.sheetCentreX + kPelloraCellDx * c.q - kRestoreHalfWidth, v.sheetCentreY + kPelloraCellDy * c.r - kRestoreHalfHeight,
         Rop::Copy);

    const Rect& tile = kPelloraScratch;
    Blit(comp, tile.x, tile.y, tile.w, tile.h, sheet, kPelloraClusterBase.x, kPelloraClusterBase.y, Rop::Copy);
    const int half = kPelloraLensSize / 2;
    for (std::size_t slot = 0; slot < 6; ++slot) {
        const int colour = At(board_, c.lens[slot]);
        if (colour < 1 || colour > kPelloraColours) continue;  // never points outside the lens column
        const LensOffset& o = At(LensSlotOffsets, frame)[slot];
        Blit(comp, tile.x + tile.w / 2 - half + o.dx, tile.y + tile.h / 2 - half + o.dy, kPelloraLensSize, kPelloraLensSize, sheet,
             kPelloraLensX, kPelloraLensSize * (colour - 1), Rop::Or);
    }
    Blit(comp, tile.x, tile.y, tile.w, tile.h, sheet, kPelloraClusterMask.x, kPelloraClusterMask.y, Rop::And);

    const Rect shown{x - kClusterHalfWidth, y - kClusterHalfHeight, kClusterWidth, 2 * kClusterHalfHeight};
    Blit(comp, shown.x, shown.y, shown.w, shown.h, comp, tile.x + (tile.w - kClusterWidth) / 2, tile.y, Rop::Or);
    PresentComposition(shown);
}

std::vector<Rect> Pellora::Places() const {
    std::vector<Rect> places;
    for (int cell = 0; cell < Params().cells; ++cell) {
        const PelloraCell& c = PelloraCellAt(cell);
        places.push_back({c.X() - kPelloraHitHalf, c.Y() - kPelloraHitHalf, 2 * kPelloraHitHalf, 2 * kPelloraHitHalf});
    }
    return places;
}

}  // namespace qg
