#include "tests/puzzles/Swapper.h"

#include <algorithm>

namespace qg {
namespace {

// One frame on the way, 10 ms after it.
constexpr MoveStyle kSwap{kSwapperRecord.sound, 10, 1};

constexpr Rect kRow{40, 100, 440, 130};
constexpr int kPieceSize = 40;
constexpr int kCellStep = 100;
constexpr int kFirstCellX = 130;  // the centre of cell 0
constexpr int kCellY = 165;

constexpr std::array<std::uint32_t, 5> kColours = {0xFF000000u, 0xFFC03020u, 0xFF30A040u, 0xFF2050C0u, 0xFFE0C020u};

// One move from the solution, or on it.
bool NearlySolved(const SwapperPosition& position) {
    if (IsSolved(position)) return true;
    for (const Move m : LegalMoves(position))
        if (IsSolved(Apply(position, m))) return true;
    return false;
}

void FillRect(Surface& s, int x, int y, int w, int h, std::uint32_t colour) {
    for (int j = std::max(y, 0); j < std::min(y + h, s.height()); ++j)
        for (int i = std::max(x, 0); i < std::min(x + w, s.width()); ++i) s.setPixel(i, j, colour);
}

}  // namespace

bool IsSolved(const SwapperPosition& position) { return position.pieces == SwapperPosition{}.pieces; }

SwapperPosition Apply(const SwapperPosition& position, Move move) {
    SwapperPosition next = position;
    if (move.place < 0 || move.place >= position.plates) return next;
    std::swap(At(next.pieces, move.place), At(next.pieces, move.place + 1));
    return next;
}

std::vector<Move> LegalMoves(const SwapperPosition& position) {
    std::vector<Move> moves;
    for (int plate = 0; plate < position.plates; ++plate)
        for (const Turn turn : {Turn::Left, Turn::Right}) moves.push_back({plate, turn});
    return moves;
}

std::string Encode(const SwapperPosition& position) {
    std::string text = std::to_string(position.plates) + ' ';
    for (const std::uint8_t piece : position.pieces) text += static_cast<char>('0' + piece);
    return text;
}

template <>
std::optional<SwapperPosition> Decode<SwapperPosition>(std::string_view text) {
    if (text.size() != 2 + kSwapperCells || text[1] != ' ') return std::nullopt;
    SwapperPosition position;
    position.plates = text[0] - '0';
    if (position.plates < kSwapperMinPlates || position.plates > kSwapperMaxPlates) return std::nullopt;
    for (int i = 0; i < kSwapperCells; ++i) {
        const char c = text[static_cast<std::size_t>(2 + i)];
        if (c < '1' || c > '0' + kSwapperCells) return std::nullopt;
        At(position.pieces, i) = static_cast<std::uint8_t>(c - '0');
    }
    auto sorted = position.pieces;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != SwapperPosition{}.pieces) return std::nullopt;
    // Cells no plate covers keep the piece they started with.
    for (int i = position.plates + 1; i < kSwapperCells; ++i)
        if (At(position.pieces, i) != i + 1) return std::nullopt;
    return position;
}

// A task is never a single swap from the solution, so its first move never solves it.
void Swapper::Shuffle() {
    position_.pieces = SwapperPosition{}.pieces;
    do {
        for (int n = 0; n < 7; ++n) position_ = Apply(position_, {host().Random(position_.plates), Turn::Left});
    } while (NearlySolved(position_));
    host().SetState(kStateReady);
}

void Swapper::SetOption(int option) {
    const int plates = std::clamp(option, kSwapperMinPlates, kSwapperMaxPlates);
    if (plates == position_.plates) return;
    position_ = {plates, SwapperPosition{}.pieces};
}

void Swapper::ChangeOption(bool up) {
    const int next = position_.plates + (up ? 1 : -1);
    if (next < kSwapperMinPlates || next > kSwapperMaxPlates) return;
    position_.plates = next;
    Shuffle();
    Draw();
}

void Swapper::Draw() {
    FillRect(host().Composition(), 0, 0, kBoardWidth, kBoardHeight, 0xFF404040u);
    DrawRow(-1, 0);
    Blit(host().Screen(), host().Composition(), {0, 0, kBoardWidth, kBoardHeight}, Rop::Copy);
    host().Present({0, 0, kBoardWidth, kBoardHeight});
}

void Swapper::DrawRow(int moving, int frame) {
    Surface& c = host().Composition();
    FillRect(c, kRow.x, kRow.y, kRow.w, kRow.h, 0xFF404040u);
    for (int plate = 0; plate < position_.plates; ++plate) {
        const Rect& f = At(kSwapperPlaceAreas, plate).frame;
        FillRect(c, f.x, f.y, f.w, f.h, 0xFF202020u);
    }
    for (int cell = 0; cell < kSwapperCells; ++cell) {
        int x = kFirstCellX + kCellStep * cell;
        // Half-way, the two pieces of the moving plate meet in its middle.
        if (frame == 1 && cell == moving) x += kCellStep / 2;
        if (frame == 1 && cell == moving + 1) x -= kCellStep / 2;
        FillRect(c, x - kPieceSize / 2, kCellY - kPieceSize / 2 + (cell == moving ? -10 : 0) * frame, kPieceSize, kPieceSize,
                 At(kColours, At(position_.pieces, cell)));
    }
    Blit(host().Screen(), c, kRow, Rop::Copy);
    host().Present(kRow);
}

void Swapper::AnimateMove(qg::Move m) {
    Move(
        kSwap, m.turn == Turn::Right, [&] { position_ = Apply(position_, m); },
        [&](int frame) { DrawRow(m.place, frame); });
}

}  // namespace qg
