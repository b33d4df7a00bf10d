#include "puzzles/Nubbler.h"

#include <set>
#include <utility>

namespace qg {

namespace {

// A button is centred on its table point: 13 x 13, starting 6 pixels before.
constexpr int kButtonHalf = kNubblerButtonSize / 2;

// Two frames on the way. Left moves the colours first, so the frames 2, 1
// carry each button back from its old place to its new one; right shows
// frames 1, 2 with the old colours and moves them before the rest frame.
// Once solved, further agreeing turns are no news.
constexpr MoveStyle kTurn{kNubblerRecord.sound, kNubblerPauseMs, kNubblerFrameCount - 1, false};

Rect PlateSquare(int plate) {
    const NubblerPoint at = At(NubblerPlates, plate);
    return {at.x, at.y, kNubblerPlateSize, kNubblerPlateSize};
}

// Whether some turn of each plate makes all pairs agree, that is whether
// play can reach this colouring. The plates are taken row by row; what a
// choice of turns leaves for the plates still to come is only the bottom
// colour of the last plate in each column and the right colour of the
// last plate, so the choices are kept as a set of those four (at most
// 8^4), never as a search through all 8^9.
bool Reachable(const NubblerPosition& position) {
    constexpr int kNone = kNubblerColours;
    constexpr int kColumns = 3;
    using Open = std::array<int, kColumns + 1>;  // bottom colour per column, then right
    std::set<Open> open = {{kNone, kNone, kNone, kNone}};
    for (int plate = 0; plate < kNubblerPlateCount; ++plate) {
        const int column = plate % kColumns;
        std::set<Open> next;
        for (const Open& o : open)
            for (int t = 0; t < kNubblerPositions; ++t) {
                // The colour at position k after t left turns.
                auto colour = [&](int k) { return int{At(position.buttons, NubblerIndex(plate, (k + t) % kNubblerPositions))}; };
                if (At(o, column) != kNone && At(o, column) != colour(0)) continue;
                if (column > 0 && At(o, kColumns) != colour(6)) continue;
                Open n = o;
                At(n, column) = colour(4);
                At(n, kColumns) = column + 1 < kColumns ? colour(2) : kNone;
                next.insert(n);
            }
        if (next.empty()) return false;
        open = std::move(next);
    }
    return true;
}

}  // namespace

bool IsSolved(const NubblerPosition& position) {
    for (const NubblerPair& pair : NubblerPairs)
        if (At(position.buttons, NubblerIndex(pair.a)) != At(position.buttons, NubblerIndex(pair.b))) return false;
    return true;
}

NubblerPosition Apply(const NubblerPosition& position, Move move) {
    NubblerPosition next = position;
    if (move.place < 0 || move.place >= kNubblerPlateCount) return next;
    const int first = NubblerIndex(move.place, 0);
    for (int j = 0; j < kNubblerPositions; ++j) {
        // Left: each button takes its clockwise neighbour's colour.
        const int from = move.turn == Turn::Left ? j + 1 : j + kNubblerPositions - 1;
        At(next.buttons, first + j) = At(position.buttons, first + from % kNubblerPositions);
    }
    return next;
}

std::vector<Move> LegalMoves(const NubblerPosition&) {
    std::vector<Move> moves;
    for (int plate = 0; plate < kNubblerPlateCount; ++plate)
        for (const Turn turn : {Turn::Left, Turn::Right}) moves.push_back({plate, turn});
    return moves;
}

std::string Encode(const NubblerPosition& position) {
    std::string text;
    for (int plate = 0; plate < kNubblerPlateCount; ++plate) {
        if (plate > 0) text += ' ';
        for (int j = 0; j < kNubblerPositions; ++j)
            text += static_cast<char>('0' + At(position.buttons, NubblerIndex(plate, j)));
    }
    return text;
}

template <>
std::optional<NubblerPosition> Decode<NubblerPosition>(std::string_view text) {
    constexpr std::size_t kGroup = kNubblerPositions + 1;
    if (text.size() != kGroup * kNubblerPlateCount - 1) return std::nullopt;
    NubblerPosition position;
    int button = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i % kGroup == kNubblerPositions) {
            if (c != ' ') return std::nullopt;
        } else {
            if (c < '0' || c >= '0' + kNubblerColours) return std::nullopt;
            At(position.buttons, button++) = static_cast<std::uint8_t>(c - '0');
        }
    }
    if (!Reachable(position)) return std::nullopt;
    return position;
}

void NubblerTurnLeft(NubblerColours& colours, int plate) {
    colours = Apply(NubblerPosition{colours}, {plate, Turn::Left}).buttons;
}

void NubblerTurnRight(NubblerColours& colours, int plate) {
    colours = Apply(NubblerPosition{colours}, {plate, Turn::Right}).buttons;
}

bool NubblerAgrees(const NubblerColours& colours) { return IsSolved(NubblerPosition{colours}); }

void Nubbler::Prepare() { Shuffle(); }

// Colour a solved board, then scramble it by turns alone, so every task can be
// undone. Whether the result happens to be solved is not checked here: the
// solved test runs only after the player's turns.
void Nubbler::Shuffle() {
    NubblerPosition p;
    for (auto& colour : p.buttons) colour = static_cast<std::uint8_t>(host().Random(kNubblerColours));
    for (const NubblerPair& pair : NubblerPairs)
        At(p.buttons, NubblerIndex(pair.a)) = At(p.buttons, NubblerIndex(pair.b));
    for (int turn = 0; turn < kNubblerShuffleTurns; ++turn) p = Apply(p, {host().Random(kNubblerPlateCount), Turn::Left});
    position_ = p;
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
        const int colour = At(position_.buttons, NubblerIndex(plate, i));
        const NubblerPoint c = At(centres, i);
        Blit(composition, square.x + c.x - kButtonHalf, square.y + c.y - kButtonHalf, kNubblerButtonSize,
             kNubblerButtonSize, host().Sheet(), kNubblerButtonPicture.x + kNubblerButtonSize * colour,
             kNubblerButtonPicture.y, Rop::Or);
    }
    PresentComposition(square);
}

void Nubbler::TurnPlateLeft(int plate) { AnimateMove({plate, Turn::Left}); }
void Nubbler::TurnPlateRight(int plate) { AnimateMove({plate, Turn::Right}); }

void Nubbler::AnimateMove(qg::Move m) {
    Move(
        kTurn, m.turn == Turn::Left, [&] { position_ = Apply(position_, m); },
        [&](int frame) { DrawPlate(m.place, frame); });
}

}  // namespace qg
