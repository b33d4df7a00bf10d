#include "shell/BoardWords.h"

#include <QStringList>

#include <array>

#include "shell/Texts.h"

namespace qg {

namespace {

QString Pick(int language, const char* german, const char* english) {
    return QString::fromUtf8(IsGerman(language) ? german : english);
}

// "3 of 7" / "3 von 7".
QString OutOf(const Tally& t, int language) {
    return Pick(language, "%1 von %2", "%1 of %2").arg(t.good).arg(t.total);
}

// Names joined by commas; `none` when there are none.
QString Listed(const QStringList& names, const QString& none) { return names.isEmpty() ? none : names.join(", "); }

const CirrelaLevelRow& LevelRow(int level) { return At(CirrelaLevelParams, level - 1); }
const CirrelaRing& RingCells(int level, int ring) { return At(At(CirrelaRings, level - 1), ring); }
const CirrelaBalls& LevelTarget(int level) { return At(CirrelaTarget, level - 1); }

// The balls of one ring from the upper crossing (cell 0) counterclockwise,
// the lower crossing named where it comes.
QStringList RingBalls(const CirrelaBalls& balls, int level, int ring, int language) {
    const CirrelaRing& cells = RingCells(level, ring);
    const int n = LevelRow(level).balls;
    int start = 0;
    while (start < n && At(cells, start) != 0) ++start;
    QStringList out;
    for (int k = 0; k < n; ++k) {
        const int cell = At(cells, (start + k) % n);
        QString words = PieceWords(At(balls, cell), language);
        if (cell == LevelRow(level).lowerCrossing) words = Pick(language, "untere Kreuzung ", "lower crossing ") + words;
        out << words;
    }
    return out;
}

QString RingHeading(int ring, int language) {
    return Pick(language, "Ring %1 ab der oberen Kreuzung gegen den Uhrzeigersinn",
                "Ring %1 from the upper crossing, counterclockwise")
        .arg(ring + 1);
}

// A NUBBLER button position that faces a neighbour: 0 top, 2 right, 4 bottom, 6 left.
QString SideWords(int position, int language) {
    switch (position) {
    case 0: return Pick(language, "oben", "top");
    case 2: return Pick(language, "rechts", "right");
    case 4: return Pick(language, "unten", "bottom");
    default: return Pick(language, "links", "left");
    }
}

// TORVANE's plate slots clockwise from the top left, and their corners.
constexpr std::array<int, 4> kClockwiseSlots = {0, 1, 3, 2};
QString CornerWords(int slot, int language) {
    switch (slot) {
    case 0: return Pick(language, "oben links", "top left");
    case 1: return Pick(language, "oben rechts", "top right");
    case 2: return Pick(language, "unten links", "bottom left");
    default: return Pick(language, "unten rechts", "bottom right");
    }
}

}  // namespace

QString PieceWords(int colour, int language) {
    switch (colour) {
    case 1: return Pick(language, "rot mit Punkt", "red dot");
    case 2: return Pick(language, "gelb mit Ring", "yellow ring");
    case 3: return Pick(language, "blau mit Balken", "blue bar");
    case 4: return Pick(language, "grün mit Kreuz", "green cross");
    case 5: return Pick(language, "orange mit Dreieck", "orange triangle");
    case 6: return Pick(language, "violett mit Raute", "violet diamond");
    case 7: return Pick(language, "türkis mit zwei Punkten", "cyan two dots");
    case 8: return Pick(language, "weiß mit Quadrat", "white square");
    default: return Pick(language, "leer", "empty");
    }
}

Tally PiecesInPlace(const TorvanePosition& position) {
    Tally t{0, kTorvaneCells};
    for (int cell = 0; cell < kTorvaneCells; ++cell)
        if (At(position.board, cell) == At(position.target, cell)) ++t.good;
    return t;
}

Tally LensesInSector(const PelloraPosition& position) {
    Tally t{0, At(PelloraVariantParams, position.variant - 1).lenses};
    for (int lens = 0; lens < t.total; ++lens)
        if (At(position.lenses, lens) == At(PelloraTarget, lens)) ++t.good;
    return t;
}

Tally PairsAgreeing(const NubblerPosition& position) {
    Tally t{0, static_cast<int>(NubblerPairs.size())};
    for (const NubblerPair& pair : NubblerPairs)
        if (At(position.buttons, NubblerIndex(pair.a)) == At(position.buttons, NubblerIndex(pair.b))) ++t.good;
    return t;
}

Tally BallsInPlace(const CirrelaPosition& position) {
    Tally t{0, LevelRow(position.level).cells};
    for (int cell = 0; cell < t.total; ++cell)
        if (At(position.balls, cell) == At(LevelTarget(position.level), cell)) ++t.good;
    return t;
}

int PlaceCount(const TorvanePosition&) { return kTorvanePlateCount; }
int PlaceCount(const PelloraPosition& position) { return At(PelloraVariantParams, position.variant - 1).cells; }
int PlaceCount(const NubblerPosition&) { return kNubblerPlateCount; }
int PlaceCount(const CirrelaPosition&) { return 2; }

QString PlaceWords(const TorvanePosition& position, int place, int language) {
    if (place < 0 || place >= kTorvanePlateCount) return QString();
    const TorvanePlate& plate = At(kTorvanePlates, place);
    QStringList pieces, inPlace;
    for (const int slot : kClockwiseSlots) {
        const int cell = At(plate.slotCell, slot);
        pieces << PieceWords(At(position.board, cell), language);
        if (At(position.board, cell) == At(position.target, cell)) inPlace << CornerWords(slot, language);
    }
    QString matches;
    if (inPlace.size() == 4) matches = Pick(language, "alle am Platz", "all in place");
    else if (inPlace.isEmpty()) matches = Pick(language, "keins am Platz", "none in place");
    else matches = Pick(language, "am Platz: ", "in place: ") + inPlace.join(", ");
    return Pick(language, "Teller %1: %2; %3", "Plate %1: %2; %3").arg(place + 1).arg(pieces.join(", "), matches);
}

QString PlaceWords(const PelloraPosition& position, int place, int language) {
    if (place < 0 || place >= PlaceCount(position)) return QString();
    QStringList lenses;
    Tally inSector{0, 6};
    for (const int lens : PelloraCellAt(place).lens) {
        lenses << PieceWords(At(position.lenses, lens), language);
        if (At(position.lenses, lens) == At(PelloraTarget, lens)) ++inSector.good;
    }
    return Pick(language, "Zelle %1: %2; %3 in ihrem Sektor", "Cell %1: %2; %3 in their sector")
        .arg(place + 1)
        .arg(lenses.join(", "), OutOf(inSector, language));
}

QString PlaceWords(const NubblerPosition& position, int place, int language) {
    if (place < 0 || place >= kNubblerPlateCount) return QString();
    QStringList buttons;
    for (int k = 0; k < kNubblerPositions; ++k)
        buttons << PieceWords(At(position.buttons, NubblerIndex(place, k)) + 1, language);
    // Each side that faces a neighbour, in the order of the buttons.
    QStringList agree, differ;
    for (int k = 0; k < kNubblerPositions; k += 2)
        for (const NubblerPair& pair : NubblerPairs) {
            const NubblerButton mine{place, k};
            const bool isA = pair.a.plate == place && pair.a.position == k;
            const bool isB = pair.b.plate == place && pair.b.position == k;
            if (!isA && !isB) continue;
            const NubblerButton other = isA ? pair.b : pair.a;
            const bool same = At(position.buttons, NubblerIndex(mine)) == At(position.buttons, NubblerIndex(other));
            (same ? agree : differ) << SideWords(k, language);
        }
    QString sides;
    if (!agree.isEmpty()) sides += Pick(language, "; gleich: ", "; agrees: ") + agree.join(", ");
    if (!differ.isEmpty()) sides += Pick(language, "; ungleich: ", "; differs: ") + differ.join(", ");
    return Pick(language, "Scheibe %1: %2%3", "Plate %1: %2%3").arg(place + 1).arg(buttons.join(", "), sides);
}

QString PlaceWords(const CirrelaPosition& position, int place, int language) {
    if (place < 0 || place >= 2) return QString();
    const CirrelaRing& cells = RingCells(position.level, place);
    Tally inPlace{0, LevelRow(position.level).balls};
    for (int j = 0; j < inPlace.total; ++j)
        if (At(position.balls, At(cells, j)) == At(LevelTarget(position.level), At(cells, j))) ++inPlace.good;
    return Pick(language, "%1: %2; %3 am Platz", "%1: %2; %3 in place")
        .arg(RingHeading(place, language), RingBalls(position.balls, position.level, place, language).join(", "),
             OutOf(inPlace, language));
}

QString BoardSentence(const TorvanePosition& position, int language) {
    return Pick(language, "TORVANE, %1 Teilen am Platz", "TORVANE, %1 pieces in place")
        .arg(OutOf(PiecesInPlace(position), language));
}

QString BoardSentence(const PelloraPosition& position, int language) {
    return Pick(language, "PELLORA, Größe %1, %2 Linsen in ihrem Sektor", "PELLORA, size %1, %2 lenses in their sector")
        .arg(position.variant)
        .arg(OutOf(LensesInSector(position), language));
}

QString BoardSentence(const NubblerPosition& position, int language) {
    return Pick(language, "NUBBLER, %1 Knopfpaaren stimmen überein", "NUBBLER, %1 facing pairs agree")
        .arg(OutOf(PairsAgreeing(position), language));
}

QString BoardSentence(const CirrelaPosition& position, int language) {
    return Pick(language, "CIRRELA, Stufe %1, %2 Kugeln am Platz", "CIRRELA, level %1, %2 balls in place")
        .arg(position.level)
        .arg(OutOf(BallsInPlace(position), language));
}

QString TargetWords(const TorvanePosition& position, int language) {
    QStringList rows;
    for (int j = 0; j < 4; ++j) {
        QStringList row;
        for (int i = 0; i < 4; ++i) row << PieceWords(At(position.target, TorvaneCell(i, j)), language);
        rows << Pick(language, "Reihe %1: %2", "row %1: %2").arg(j + 1).arg(row.join(", "));
    }
    return Pick(language, "Vorlage, %1", "Target, %1").arg(rows.join("; "));
}

QString PatternWords(int level, int language) {
    if (level < 1 || level > kCirrelaLevels) return QString();
    QStringList rings;
    for (int ring = 0; ring < 2; ++ring)
        rings << RingHeading(ring, language) + ": " + RingBalls(LevelTarget(level), level, ring, language).join(", ");
    return Pick(language, "Muster, %1", "Pattern, %1").arg(rings.join("; "));
}

}  // namespace qg
