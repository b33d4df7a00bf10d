#include "puzzles/Cirrela.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qg {
namespace {

// Two frames on the way, 30 ms apart. Left carries the old colours one and
// two frame steps counterclockwise; right puts the new colours in first, so
// each ball is seen coming clockwise from its old place.
constexpr MoveStyle kRoll{Sound::Marble, 30, 2};

constexpr bool IsCrossing(int cell, const CirrelaLevelRow& level) {
    return cell == 0 || cell == level.lowerCrossing;
}

}  // namespace

Cirrela::Cirrela(PuzzleHost& host) : Puzzle(host) { SetSolvedBoard(); }

void Cirrela::SetLevel(int level) {
    level = std::clamp(level, 1, kCirrelaLevels);
    if (level == level_) return;
    level_ = level;
    // Never keep a board laid out for another ring size.
    SetSolvedBoard();
}

const CirrelaRing& Cirrela::Ring(int ring) const { return At(rings_, ring); }

void Cirrela::SetSolvedBoard() {
    rings_ = At(CirrelaRings, level_ - 1);
    balls_ = At(CirrelaTarget, level_ - 1);
}

// The sheet is loaded afresh on every switch, so the preview is painted again
// whenever the board is about to be seen.
void Cirrela::PaintPreview() {
    Surface& sheet = host().Sheet();
    Blit(sheet, kCirrelaPreviewPlace.x, kCirrelaPreviewPlace.y, kCirrelaPreviewPlace.w, kCirrelaPreviewPlace.h, sheet,
         kCirrelaPreviewX, kCirrelaPreviewH * (level_ - 1), Rop::Copy);
}

void Cirrela::ShiftForward(int ring) {
    const CirrelaRing& cell = Ring(ring);
    const int n = Params().balls;
    const std::uint8_t last = balls_[At(cell, n - 1)];
    for (int j = n - 1; j >= 1; --j) balls_[At(cell, j)] = balls_[At(cell, j - 1)];
    balls_[cell[0]] = last;
}

void Cirrela::ShiftBackward(int ring) {
    const CirrelaRing& cell = Ring(ring);
    const int n = Params().balls;
    const std::uint8_t first = balls_[cell[0]];
    for (int j = 0; j <= n - 2; ++j) balls_[At(cell, j)] = balls_[At(cell, j + 1)];
    balls_[At(cell, n - 1)] = first;
}

void Cirrela::Prepare() { Shuffle(); }

void Cirrela::Shuffle() {
    PaintPreview();
    SetSolvedBoard();
    const int n = Params().balls;
    const int rounds = (host().Random(100) + 10) * level_;
    for (int round = 0; round < rounds; ++round) {
        // Three draws per round, always in this order.
        const int ring = host().Random(2);
        const bool backward = host().Random(2) == 1;
        const int steps = host().Random(n) + 1;
        for (int s = 0; s < steps; ++s) {
            if (backward) ShiftBackward(ring);
            else ShiftForward(ring);
        }
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

// Only X picks the ring: the left half turns the left ring.
void Cirrela::LeftClick(int x, int /*y*/) {
    StartPlayOnFirstMove();
    RollRingLeft(x < 250 ? 0 : 1);
}

void Cirrela::RightClick(int x, int /*y*/) {
    StartPlayOnFirstMove();
    RollRingRight(x < 250 ? 0 : 1);
}

void Cirrela::RollRingLeft(int ring) { RollRing(ring, true); }
void Cirrela::RollRingRight(int ring) { RollRing(ring, false); }

void Cirrela::RollRing(int ring, bool left) {
    Move(
        kRoll, !left, [&] { left ? ShiftForward(ring) : ShiftBackward(ring); },
        [&](int frame) { DrawRings(ring, frame); });
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
            DrawBall(At(balls_, c), x, y);
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

// Ring 0, then ring 1, each position against its cell's target; the crossings
// are looked at twice.
bool Cirrela::IsSolved() const {
    const CirrelaBalls& target = At(CirrelaTarget, level_ - 1);
    for (int ring = 0; ring < 2; ++ring) {
        const CirrelaRing& cell = Ring(ring);
        for (int j = 0; j < Params().balls; ++j) {
            const std::size_t c = At(cell, j);
            if (balls_[c] != target[c]) return false;
        }
    }
    return true;
}

void Cirrela::ChangeOption(bool up) {
    if (up) {
        if (level_ == kCirrelaLevels) return;
        ++level_;
    } else {
        if (level_ == 1) return;
        --level_;
    }
    Shuffle();
    Draw();
}

std::vector<Rect> Cirrela::Places() const {
    // A whole ring, with the balls on it.
    const int reach = kCirrelaRadius + 26;
    return {{kCirrelaRingX[0] - reach, kCirrelaRingY - reach, 2 * reach, 2 * reach},
            {kCirrelaRingX[1] - reach, kCirrelaRingY - reach, 2 * reach, 2 * reach}};
}

}  // namespace qg
