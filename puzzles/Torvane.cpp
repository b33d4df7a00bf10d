#include "puzzles/Torvane.h"

namespace qg {
namespace {

// Five frames on the way, 30 ms apart. Left runs the anticlockwise frames
// forwards; right moves the pieces first and runs them backwards, carrying
// the pieces clockwise from their old places to the new ones.
constexpr MoveStyle kTurn{kTorvaneRecord.sound, 30, kTorvaneFrameCount - 1};
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

// Sixteen digits, either all 0 (before the first set-up) or four of each
// colour 1..4; nullopt for anything else.
std::optional<TorvaneColours> ColoursFrom(std::string_view digits) {
    TorvaneColours colours{};
    std::array<int, 5> count{};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const char c = digits[i];
        if (c < '0' || c > '4') return std::nullopt;
        colours[i] = static_cast<std::uint8_t>(c - '0');
        ++At(count, colours[i]);
    }
    if (count[0] == kTorvaneCells) return colours;
    for (int colour = 1; colour <= 4; ++colour)
        if (At(count, colour) != 4) return std::nullopt;
    return colours;
}

}  // namespace

bool IsSolved(const TorvanePosition& position) { return position.board == position.target; }

TorvanePosition Apply(const TorvanePosition& position, Move move) {
    TorvanePosition next = position;
    if (move.place < 0 || move.place >= kTorvanePlateCount) return next;
    const TorvanePlate& p = At(kTorvanePlates, move.place);
    const auto& from = move.turn == Turn::Left ? kTorvaneLeftFrom : kTorvaneRightFrom;
    for (std::size_t s = 0; s < 4; ++s) At(next.board, p.slotCell[s]) = At(position.board, p.slotCell[At(from, s)]);
    return next;
}

std::vector<Move> LegalMoves(const TorvanePosition&) {
    std::vector<Move> moves;
    for (int plate = 0; plate < kTorvanePlateCount; ++plate)
        for (const Turn turn : {Turn::Left, Turn::Right}) moves.push_back({plate, turn});
    return moves;
}

std::string Encode(const TorvanePosition& position) {
    std::string text;
    for (const std::uint8_t c : position.board) text += static_cast<char>('0' + c);
    text += ' ';
    for (const std::uint8_t c : position.target) text += static_cast<char>('0' + c);
    text += ' ';
    text += std::to_string(position.lastPattern);
    return text;
}

template <>
std::optional<TorvanePosition> Decode<TorvanePosition>(std::string_view text) {
    constexpr std::size_t kNumberAt = 2 * (kTorvaneCells + 1);
    if (text.size() < kNumberAt + 1 || text.size() > kNumberAt + 2) return std::nullopt;
    if (text[kTorvaneCells] != ' ' || text[kNumberAt - 1] != ' ') return std::nullopt;
    const auto board = ColoursFrom(text.substr(0, kTorvaneCells));
    const auto target = ColoursFrom(text.substr(kTorvaneCells + 1, kTorvaneCells));
    if (!board || !target) return std::nullopt;
    int number = 0;
    const std::string_view digits = text.substr(kNumberAt);
    if (digits.size() > 1 && digits[0] == '0') return std::nullopt;  // one spelling per number
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number > kTorvanePatternCount) return std::nullopt;
    // The first set-up fills board and target together and draws a pattern.
    const bool emptyBoard = (*board)[0] == 0, emptyTarget = (*target)[0] == 0;
    if (emptyBoard != emptyTarget || (emptyBoard && number != 0)) return std::nullopt;
    return TorvanePosition{*board, *target, number};
}

void Torvane::NewTarget() {
    int n;
    do {
        n = host().Random(kTorvanePatternCount) + 1;
    } while (n == position_.lastPattern);
    position_.lastPattern = n;
    const auto q = Ordering(host().Random(kOrderings));
    const TorvaneColours pattern = TorvanePattern(n);
    for (std::size_t i = 0; i < pattern.size(); ++i) position_.target[i] = At(q, pattern[i] - 1);
}

void Torvane::Prepare() {
    NewTarget();
    position_.board = position_.target;
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
            const int colour = At(position_.target, TorvaneCell(i, j));
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
            DrawPiece(At(position_.board, TorvaneCell(i, j)), TorvanePieceCentreX(i), TorvanePieceCentreY(j));
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
    for (std::size_t s = 0; s < 4; ++s) DrawPiece(At(position_.board, p.slotCell[s]), p.hubX + offsets[s].dx, p.hubY + offsets[s].dy);
    PresentComposition(square);
}

// After solving the shell ignores further solved calls, so plates may still turn.
void Torvane::AnimateMove(qg::Move m) {
    Move(
        kTurn, m.turn == Turn::Right, [&] { position_ = Apply(position_, m); },
        [&](int frame) { DrawPlate(m.place, frame); });
}

}  // namespace qg
