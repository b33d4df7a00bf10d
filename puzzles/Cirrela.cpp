#include "puzzles/Cirrela.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qg {
namespace {

// Two frames on the way, 30 ms apart. Left carries the old colours one and
// two frame steps counterclockwise; right puts the new colours in first, so
// each ball is seen coming clockwise from its old place.
constexpr MoveStyle kRoll{kCirrelaRecord.sound, 30, 2};

constexpr bool IsCrossing(int cell, const CirrelaLevelRow& level) {
    return cell == 0 || cell == level.lowerCrossing;
}

const CirrelaLevelRow& ParamsOf(int level) { return At(CirrelaLevelParams, level - 1); }
const CirrelaRing& RingOf(int level, int ring) { return At(At(CirrelaRings, level - 1), ring); }

}  // namespace

// Ring 0, then ring 1, each position against its cell's target; the crossings
// are looked at twice.
bool IsSolved(const CirrelaPosition& position) {
    const CirrelaBalls& target = At(CirrelaTarget, position.level - 1);
    for (int ring = 0; ring < 2; ++ring) {
        const CirrelaRing& cell = RingOf(position.level, ring);
        for (int j = 0; j < ParamsOf(position.level).balls; ++j) {
            const std::size_t c = At(cell, j);
            if (position.balls[c] != target[c]) return false;
        }
    }
    return true;
}

CirrelaPosition Apply(const CirrelaPosition& position, Move move) {
    CirrelaPosition next = position;
    if (move.place < 0 || move.place > 1) return next;
    const CirrelaRing& cell = RingOf(position.level, move.place);
    const int n = ParamsOf(position.level).balls;
    // Left: the ball on place j goes on to place j + 1; right: back to j - 1.
    const int from = move.turn == Turn::Left ? n - 1 : 1;
    for (int j = 0; j < n; ++j) next.balls[At(cell, j)] = position.balls[At(cell, (j + from) % n)];
    return next;
}

std::vector<Move> LegalMoves(const CirrelaPosition&) {
    return {{0, Turn::Left}, {0, Turn::Right}, {1, Turn::Left}, {1, Turn::Right}};
}

std::string Encode(const CirrelaPosition& position) {
    std::string text = std::to_string(position.level) + ' ';
    for (int c = 0; c < ParamsOf(position.level).cells; ++c) text += static_cast<char>('0' + At(position.balls, c));
    return text;
}

template <>
std::optional<CirrelaPosition> Decode<CirrelaPosition>(std::string_view text) {
    if (text.size() < 2 || text[1] != ' ') return std::nullopt;
    CirrelaPosition position;
    position.level = text[0] - '0';
    if (position.level < 1 || position.level > kCirrelaLevels) return std::nullopt;
    const int cells = ParamsOf(position.level).cells;
    if (text.size() != static_cast<std::size_t>(2 + cells)) return std::nullopt;
    position.balls = {};
    // Rolls only move balls among the cells: the colours come in the numbers
    // of the level's solved board.
    std::array<int, 5> count{};
    for (int c = 0; c < cells; ++c) {
        const char d = text[static_cast<std::size_t>(2 + c)];
        if (d < '1' || d > '4') return std::nullopt;
        At(position.balls, c) = static_cast<std::uint8_t>(d - '0');
        ++At(count, At(position.balls, c));
        --At(count, At(At(CirrelaTarget, position.level - 1), c));
    }
    for (const int n : count)
        if (n != 0) return std::nullopt;
    return position;
}

Cirrela::Cirrela(PuzzleHost& host) : Puzzle(host) { SetSolvedBoard(); }

void Cirrela::SetLevel(int level) {
    level = std::clamp(level, 1, kCirrelaLevels);
    if (level == position_.level) return;
    position_.level = level;
    // Never keep a board laid out for another ring size.
    SetSolvedBoard();
}

const CirrelaRing& Cirrela::Ring(int ring) const { return RingOf(position_.level, ring); }

void Cirrela::SetSolvedBoard() { position_.balls = At(CirrelaTarget, position_.level - 1); }

// The sheet is loaded afresh on every switch, so the preview is painted again
// whenever the board is about to be seen.
void Cirrela::PaintPreview() {
    Surface& sheet = host().Sheet();
    Blit(sheet, kCirrelaPreviewPlace.x, kCirrelaPreviewPlace.y, kCirrelaPreviewPlace.w, kCirrelaPreviewPlace.h, sheet,
         kCirrelaPreviewX, kCirrelaPreviewH * (position_.level - 1), Rop::Copy);
}

void Cirrela::Prepare() { Shuffle(); }

void Cirrela::Shuffle() {
    PaintPreview();
    SetSolvedBoard();
    const int n = Params().balls;
    const int rounds = (host().Random(100) + 10) * position_.level;
    for (int round = 0; round < rounds; ++round) {
        // Three draws per round, always in this order.
        const int ring = host().Random(2);
        const bool backward = host().Random(2) == 1;
        const int steps = host().Random(n) + 1;
        for (int s = 0; s < steps; ++s) position_ = Apply(position_, {ring, backward ? Turn::Right : Turn::Left});
    }
    host().SetState(kStateReady);
}

void Cirrela::Draw() {
    PaintPreview();
    const Rect board{0, 0, kBoardWidth, kBoardHeight};
    Blit(host().Screen(), host().Sheet(), board, Rop::Copy);
    host().Present(board);
    DrawRings(0, 0);
}

void Cirrela::RollRingLeft(int ring) { AnimateMove({ring, Turn::Left}); }
void Cirrela::RollRingRight(int ring) { AnimateMove({ring, Turn::Right}); }

void Cirrela::AnimateMove(qg::Move m) {
    Move(
        kRoll, m.turn == Turn::Right, [&] { position_ = Apply(position_, m); },
        [&](int frame) { DrawRings(m.place, frame); });
}

void Cirrela::DrawRings(int movingRing, int frame) {
    const CirrelaLevelRow& level = Params();
    RestoreBackground(kCirrelaRingArea);
    for (int ring = 0; ring < 2; ++ring) {
        const bool moving = ring == movingRing;
        const CirrelaRing& cell = Ring(ring);
        for (int j = 0; j < level.balls; ++j) {
            const int c = At(cell, j);
            // The crossing balls are drawn once, by the moving ring.
            if (!moving && IsCrossing(c, level)) continue;
            double angle = kCirrelaStartAngle + j * level.angleStep;
            if (moving) angle += frame * level.frameStep;
            const double rad = angle * std::numbers::pi / 180.0;
            const int x = At(kCirrelaRingX, ring) + static_cast<int>(std::lround(kCirrelaRadius * std::cos(rad)));
            const int y = kCirrelaRingY - static_cast<int>(std::lround(kCirrelaRadius * std::sin(rad)));
            DrawBall(At(position_.balls, c), x, y);
        }
    }
    PresentComposition(kCirrelaRingArea);
}

void Cirrela::DrawBall(int colour, int x, int y) {
    if (colour < 1 || colour > 4) return;  // an empty cell has no picture
    const CirrelaLevelRow& level = Params();
    const int s = level.ballSize;
    const int h = s / 2;
    DrawSprite(host().Composition(), x - h, y - h, s, s, level.rowX + 4 * s, level.rowY,
               level.rowX + (colour - 1) * s, level.rowY);
}

bool Cirrela::IsSolved() const { return qg::IsSolved(position_); }

void Cirrela::ChangeOption(bool up) {
    if (up) {
        if (position_.level == kCirrelaLevels) return;
        ++position_.level;
    } else {
        if (position_.level == 1) return;
        --position_.level;
    }
    Shuffle();
    Draw();
}

}  // namespace qg
