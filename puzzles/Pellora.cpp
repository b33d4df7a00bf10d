#include "puzzles/Pellora.h"

#include <algorithm>

namespace qg {
namespace {

// Three frames on the way, 40 ms apart. Left: the lenses leave with their
// old colours, counterclockwise. Right: the board turns first, so each lens
// is seen coming clockwise from its old corner with its new place's colour.
constexpr MoveStyle kTurn{kPelloraRecord.sound, 40, kPelloraFrames - 1};
constexpr int kShuffleTurnsPerCell = 20;

// A cell's background is restored two rows taller than its cluster covers.
constexpr int kRestoreHalfWidth = 28;
constexpr int kRestoreHalfHeight = 33;
// The middle 56 columns of the scratch tile are laid onto the board.
constexpr int kClusterHalfWidth = 28;
constexpr int kClusterHalfHeight = 31;
constexpr int kClusterWidth = 56;

constexpr bool ValidCell(int cell) { return cell >= 0 && cell < kPelloraCells; }

const PelloraVariantRow& ParamsOf(int variant) { return At(PelloraVariantParams, variant - 1); }

}  // namespace

bool IsSolved(const PelloraPosition& position) {
    const int lenses = ParamsOf(position.variant).lenses;
    return std::equal(position.lenses.begin(), position.lenses.begin() + lenses, PelloraTarget.begin());
}

PelloraPosition Apply(const PelloraPosition& position, Move move) {
    PelloraPosition next = position;
    if (!ValidCell(move.place)) return next;
    const auto& slot = PelloraCellAt(move.place).lens;
    // Left: every lens moves to the preceding slot's corner; right: to the following one.
    const int shift = move.turn == Turn::Left ? 1 : 5;
    for (int k = 0; k < 6; ++k) At(next.lenses, At(slot, k)) = At(position.lenses, At(slot, (k + shift) % 6));
    return next;
}

std::vector<Move> LegalMoves(const PelloraPosition& position) {
    std::vector<Move> moves;
    for (int cell = 0; cell < ParamsOf(position.variant).cells; ++cell)
        for (const Turn turn : {Turn::Left, Turn::Right}) moves.push_back({cell, turn});
    return moves;
}

std::string Encode(const PelloraPosition& position) {
    std::string text = std::to_string(position.variant) + ' ';
    for (const std::uint8_t c : position.lenses) text += static_cast<char>('0' + c);
    return text;
}

template <>
std::optional<PelloraPosition> Decode<PelloraPosition>(std::string_view text) {
    if (text.size() != 2 + kPelloraPositions || text[1] != ' ') return std::nullopt;
    PelloraPosition position;
    position.variant = text[0] - '0';
    if (position.variant < 1 || position.variant > kPelloraVariants) return std::nullopt;
    for (int i = 0; i < kPelloraPositions; ++i) {
        const char c = text[static_cast<std::size_t>(2 + i)];
        if (c < '1' || c > '0' + kPelloraColours) return std::nullopt;
        At(position.lenses, i) = static_cast<std::uint8_t>(c - '0');
    }
    // Turns only move lenses among the variant's positions, which a new task
    // fills from the solved board: the colours there come in its numbers.
    std::array<int, kPelloraColours + 1> count{};
    const int lenses = ParamsOf(position.variant).lenses;
    for (int i = 0; i < lenses; ++i) {
        ++At(count, At(position.lenses, i));
        --At(count, At(PelloraTarget, i));
    }
    for (const int c : count)
        if (c != 0) return std::nullopt;
    return position;
}

Pellora::Pellora(PuzzleHost& host) : Puzzle(host) {}

void Pellora::SetVariant(int variant) { position_.variant = std::clamp(variant, 1, kPelloraVariants); }

void Pellora::Prepare() { Shuffle(); }

void Pellora::Shuffle() {
    const PelloraVariantRow& v = Params();
    std::copy_n(PelloraTarget.begin(), v.lenses, position_.lenses.begin());
    for (int n = 0; n < kShuffleTurnsPerCell * v.cells + 1; ++n) position_ = Apply(position_, {host().Random(v.cells), Turn::Left});
    host().SetState(kStateReady);
}

std::span<const PlaceArea> Pellora::PlaceAreas() const {
    return std::span(kPelloraPlaceAreas).first(static_cast<std::size_t>(Params().cells));
}

void Pellora::RotateCellLeft(int cell) { AnimateMove({cell, Turn::Left}); }
void Pellora::RotateCellRight(int cell) { AnimateMove({cell, Turn::Right}); }

void Pellora::AnimateMove(qg::Move m) {
    if (!ValidCell(m.place)) return;
    Move(
        kTurn, m.turn == Turn::Right, [&] { position_ = Apply(position_, m); },
        [&](int frame) { DrawCell(m.place, frame); });
}

// No wrap-around: at either end of the range nothing changes.
void Pellora::ChangeOption(bool up) {
    const int next = position_.variant + (up ? 1 : -1);
    if (next < 1 || next > kPelloraVariants) return;
    position_.variant = next;
    Shuffle();
    Draw();
}

bool Pellora::IsSolved() const { return qg::IsSolved(position_); }

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
        const int colour = At(position_.lenses, c.lens[slot]);
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

}  // namespace qg
