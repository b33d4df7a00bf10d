#pragma once
// The contract between the shell and the four puzzles.
//
// The shell hands every puzzle one PuzzleHost for the whole run. Through it the
// puzzle reaches the three drawing surfaces (all in board coordinates, 500 x 333
// for the board itself), the sound, pacing and solved services, the State of its
// own session and the program's random numbers. Tests hand in a recording fake.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Surface.h"

namespace qg {

// PuzzleSession::State codes.
enum : std::uint8_t {
    kStateReady = 0,        // set up, no move since
    kStateInPlay = 1,       // the clock counts while current
    kStateNotPrepared = 2,  // Prepare has not run yet
    kStateSolved = 3,       // PuzzleSolved has run; moves still allowed
};

// The sound effects, as PlaySound numbers them.
enum class Sound : int { Solved = 1, Lens = 2, Ratchet = 3, Clack = 4, Marble = 5 };

// Element i of a table indexed from 0 by a plain int.
template <class Table>
constexpr auto& At(Table& table, int i) {
    return table[static_cast<std::size_t>(i)];
}

// A move as data: the place pressed (a plate, cell or ring, numbered as the
// puzzle numbers them) and the button, left or right. Each puzzle has a free
// Apply(position, move) that returns the position after it; nothing else
// moves pieces.
enum class Turn { Left, Right };
struct Move {
    int place;
    Turn turn;
    friend bool operator==(const Move&, const Move&) = default;
};
constexpr Move Inverse(Move m) { return {m.place, m.turn == Turn::Left ? Turn::Right : Turn::Left}; }

// A position read back from its text form (each puzzle's Encode), or nothing
// when the text is not exactly what Encode writes for a position that play
// can reach. Specialised by each puzzle for its position type.
template <class Position>
std::optional<Position> Decode(std::string_view text);

// Where one place lies: the frame the keyboard cursor rings, and the points
// at which a press hits the place, bounds included.
struct PlaceArea {
    Rect frame;
    int left = 0, top = 0, right = -1, bottom = -1;
    constexpr bool Holds(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// A place hit strictly inside its frame: a press on the frame's edge misses.
constexpr PlaceArea InsideFrame(Rect frame) {
    return {frame, frame.x + 1, frame.y + 1, frame.x + frame.w - 1, frame.y + frame.h - 1};
}

// The place a press at (x, y) hits: the last one whose area holds the point,
// so that where areas overlap the higher number wins.
constexpr std::optional<int> PlaceHit(std::span<const PlaceArea> areas, int x, int y) {
    std::optional<int> hit;
    for (std::size_t i = 0; i < areas.size(); ++i)
        if (areas[i].Holds(x, y)) hit = static_cast<int>(i);
    return hit;
}

inline constexpr int kBoardWidth = 500;
inline constexpr int kBoardHeight = 333;

class PuzzleHost {
public:
    virtual ~PuzzleHost() = default;

    // The current puzzle's sprite sheet (source of every picture; CIRRELA also
    // paints its preview into it), the composition bitmap (working picture) and
    // the board's screen image.
    virtual Surface& Sheet() = 0;
    virtual Surface& Composition() = 0;
    virtual Surface& Screen() = 0;

    // Shows rectangle r of the screen image at once, before returning, so that
    // the frames of a move are seen without returning to the event loop.
    virtual void Present(const Rect& r) = 0;

    virtual void PlaySound(Sound sound) = 0;  // silent while sound is off
    virtual void Pause(int ms) = 0;      // between animation frames
    virtual void PuzzleSolved() = 0;     // the solved sequence; no-op in State 3

    virtual std::uint8_t State() const = 0;  // of the current session
    virtual void SetState(std::uint8_t state) = 0;

    virtual int Random(int n) = 0;  // uniform 0..n-1
};

// How a puzzle animates its moves: the sound, the pause after each frame on
// the way, how many such frames (numbered 1..frames; 0 is the rest picture),
// and whether a solve is reported again while already solved.
struct MoveStyle {
    Sound sound;
    int pauseMs;
    int frames;
    bool reportSolvedAgain = true;
};

class Puzzle {
public:
    explicit Puzzle(PuzzleHost& host) : host_(host) {}
    virtual ~Puzzle() = default;
    Puzzle(const Puzzle&) = delete;
    Puzzle& operator=(const Puzzle&) = delete;

    virtual void Prepare() = 0;                  // first board; draws nothing
    virtual void Shuffle() = 0;                  // new task; draws nothing
    virtual void Draw() = 0;                     // whole board, presented
    // A press: the place hit, then the move there, left or right; a press
    // that hits no place does nothing at all.
    void LeftClick(int x, int y) { Press(x, y, Turn::Left); }
    void RightClick(int x, int y) { Press(x, y, Turn::Right); }
    virtual void ChangeOption(bool /*up*/) {}    // PELLORA and CIRRELA only
    // The option's value (board size or level) within the record's range; 0
    // for a puzzle without option. Setting it starts no new task.
    virtual int Option() const { return 0; }
    virtual void SetOption(int /*option*/) {}
    virtual void DrawTarget() {}                 // TORVANE only
    // The places a press acts on, in the order a keyboard cursor visits
    // them, from the one table the hit test reads too.
    virtual std::span<const PlaceArea> PlaceAreas() const { return {}; }
    // Their frames: a press at the centre of each is the move there.
    std::vector<Rect> Places() const {
        std::vector<Rect> frames;
        for (const PlaceArea& area : PlaceAreas()) frames.push_back(area.frame);
        return frames;
    }
    // The place a press at (x, y) hits, if any.
    virtual std::optional<int> PlaceAt(int x, int y) const { return PlaceHit(PlaceAreas(), x, y); }
    // Whether the board is solved; a move reports a solve only through this.
    virtual bool IsSolved() const { return false; }
    // The position in its text form (the puzzle's Encode), and the position
    // set from such a text: false, changing nothing, for one Decode refuses.
    virtual std::string PositionText() const { return {}; }
    virtual bool SetPositionText(std::string_view /*text*/) { return false; }

protected:
    PuzzleHost& host() { return host_; }

    // Move m animated with the puzzle's MoveStyle and carried out, the
    // solved test included.
    virtual void AnimateMove(qg::Move m) = 0;

    // The usual steps of composing: a rectangle of the sheet's background into
    // the composition, a masked sprite into the composition, and presenting.
    void RestoreBackground(const Rect& r) { Blit(host_.Composition(), host_.Sheet(), r, Rop::Copy); }
    void DrawSprite(Surface& dst, int x, int y, int w, int h, int maskX, int maskY, int picX, int picY) {
        Blit(dst, x, y, w, h, host_.Sheet(), maskX, maskY, Rop::And);
        Blit(dst, x, y, w, h, host_.Sheet(), picX, picY, Rop::Or);
    }
    void PresentComposition(const Rect& r) {
        Blit(host_.Screen(), host_.Composition(), r, Rop::Copy);
        host_.Present(r);
    }

    // Decode into `position`; false, leaving it as it is, when refused.
    template <class Position>
    static bool ReadPosition(Position& position, std::string_view text) {
        const std::optional<Position> read = Decode<Position>(text);
        if (read) position = *read;
        return read.has_value();
    }

    // If the session is ready, the first real move starts the clock.
    void StartPlayOnFirstMove() {
        if (host_.State() == kStateReady) host_.SetState(kStateInPlay);
    }

    // One move: the sound, then either the frames 1..n with the old picture
    // followed by the permutation, or (backwards) the permutation followed by
    // the frames n..1, so the pieces are seen travelling the other way; then
    // the rest frame and the solved test.
    template <class Permute, class DrawFrame>
    void Move(const MoveStyle& style, bool backwards, Permute&& permute, DrawFrame&& drawFrame) {
        host_.PlaySound(style.sound);
        if (backwards) permute();
        for (int step = 1; step <= style.frames; ++step) {
            drawFrame(backwards ? style.frames + 1 - step : step);
            host_.Pause(style.pauseMs);
        }
        if (!backwards) permute();
        drawFrame(0);
        if (!style.reportSolvedAgain && host_.State() == kStateSolved) return;
        if (IsSolved()) host_.PuzzleSolved();
    }

private:
    void Press(int x, int y, Turn turn) {
        const std::optional<int> place = PlaceAt(x, y);
        if (!place) return;
        StartPlayOnFirstMove();
        AnimateMove({*place, turn});
    }

    PuzzleHost& host_;
};

}  // namespace qg
