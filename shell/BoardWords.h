#pragma once
// The boards in words, for screen readers: each place and what it holds, the
// whole position in one sentence, TORVANE's target and CIRRELA's pattern.
// Pure functions of a position and the Language, so that they are checked
// against positions read from their text form.
//
// A piece is named by its colour and the mark drawn on it, the same in every
// puzzle (1 red dot, 2 yellow ring, 3 blue bar, 4 green cross, 5 orange
// triangle, 6 violet diamond, 7 cyan two dots, 8 white square): a player who
// cannot tell red from green hears the mark as well.

#include <QString>

#include "puzzles/Cirrela.h"
#include "puzzles/Nubbler.h"
#include "puzzles/Pellora.h"
#include "puzzles/Torvane.h"

namespace qg {

inline constexpr int kPieceColours = 8;

// Colour 1..8 in its own words, "red dot" / "rot mit Punkt"; anything else
// is an empty place.
QString PieceWords(int colour, int language);

// How many of the board's pieces (lenses, pairs, balls) are where they
// belong, out of how many.
struct Tally {
    int good = 0;
    int total = 0;
    friend bool operator==(const Tally&, const Tally&) = default;
};
Tally PiecesInPlace(const TorvanePosition& position);
Tally LensesInSector(const PelloraPosition& position);
Tally PairsAgreeing(const NubblerPosition& position);
Tally BallsInPlace(const CirrelaPosition& position);

// The places a press acts on, numbered as Places() and Move.place number them.
int PlaceCount(const TorvanePosition& position);
int PlaceCount(const PelloraPosition& position);
int PlaceCount(const NubblerPosition& position);
int PlaceCount(const CirrelaPosition& position);

// One place and what it holds, e.g. "Plate 3: red dot, red dot, blue bar,
// yellow ring; in place: top left". TORVANE's plates list their pieces
// clockwise from the top left and say which match the target; PELLORA's
// cells their lenses clockwise from the upper left; NUBBLER's plates their
// buttons clockwise from the top and which facing pairs agree; CIRRELA's
// rings their balls counterclockwise from the upper crossing.
QString PlaceWords(const TorvanePosition& position, int place, int language);
QString PlaceWords(const PelloraPosition& position, int place, int language);
QString PlaceWords(const NubblerPosition& position, int place, int language);
QString PlaceWords(const CirrelaPosition& position, int place, int language);

// The whole position in one sentence, "NUBBLER, 7 of 12 facing pairs agree".
QString BoardSentence(const TorvanePosition& position, int language);
QString BoardSentence(const PelloraPosition& position, int language);
QString BoardSentence(const NubblerPosition& position, int language);
QString BoardSentence(const CirrelaPosition& position, int language);

// TORVANE's target row by row, each from the left.
QString TargetWords(const TorvanePosition& position, int language);
// CIRRELA's pattern of a level, ring by ring as the rings are read.
QString PatternWords(int level, int language);

}  // namespace qg
