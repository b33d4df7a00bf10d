// Test tool: reads a NUBBLER board from a screenshot of the running game and
// prints the clicks that solve it, one "x y button" line each (button 1 turns
// anticlockwise, 3 clockwise), in the screenshot's coordinates.
//
//   nubbler_solver SCREENSHOT SHEET_b3.bmp
//
// The board is found by matching the sheet's background where no plate lies;
// each button's colour is its centre pixel, matched to the button pictures.
// The turns are found by a search over the eight turns of each plate.

#include <QGuiApplication>
#include <QImage>

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "puzzles/Nubbler.h"

namespace {

using qg::NubblerColours;

// Background points around the grid, in board coordinates.
std::vector<QPoint> ProbePoints() {
    std::vector<QPoint> out;
    for (int y = 4; y < 330; y += 23) {
        out.push_back({8 + (y % 5), y});
        out.push_back({60 + (y % 7), y});
    }
    for (int x = 400; x < 496; x += 11) out.push_back({x, 300});
    return out;
}

std::optional<QPoint> FindBoard(const QImage& shot, const QImage& sheet) {
    const std::vector<QPoint> probes = ProbePoints();
    for (int oy = 0; oy + qg::kBoardHeight <= shot.height(); ++oy)
        for (int ox = 0; ox + qg::kBoardWidth <= shot.width(); ++ox) {
            bool match = true;
            for (const QPoint& p : probes)
                if ((shot.pixel(ox + p.x(), oy + p.y()) & 0xFFFFFFu) != (sheet.pixel(p) & 0xFFFFFFu)) {
                    match = false;
                    break;
                }
            if (match) return QPoint(ox, oy);
        }
    return std::nullopt;
}

int ColourAt(const QImage& shot, QPoint at, const std::array<QRgb, qg::kNubblerColours>& buttons, bool& exact) {
    const QRgb c = shot.pixel(at);
    int best = 0, bestDistance = INT_MAX;
    for (int k = 0; k < qg::kNubblerColours; ++k) {
        const QRgb b = qg::At(buttons, k);
        const int d = std::abs(qRed(c) - qRed(b)) + std::abs(qGreen(c) - qGreen(b)) + std::abs(qBlue(c) - qBlue(b));
        if (d < bestDistance) best = k, bestDistance = d;
    }
    exact = exact && bestDistance == 0;
    return best;
}

NubblerColours Turned(const NubblerColours& c, int plate, int left) {
    NubblerColours out = c;
    for (int j = 0; j < left; ++j) qg::NubblerTurnLeft(out, plate);
    return out;
}

int Cost(int left) { return left <= 4 ? left : 8 - left; }

// Depth-first over the plates in order; a pair is checked as soon as both of
// its plates have their turn. Keeps the solution with the fewest clicks.
struct Search {
    const NubblerColours& start;
    std::array<int, qg::kNubblerPlateCount> turns{};
    std::array<int, qg::kNubblerPlateCount> best{};
    int bestCost = INT_MAX;

    void Run(int plate, const NubblerColours& colours, int cost) {
        if (cost >= bestCost) return;
        if (plate == qg::kNubblerPlateCount) {
            bestCost = cost;
            best = turns;
            return;
        }
        for (int left = 0; left < qg::kNubblerPositions; ++left) {
            const NubblerColours next = Turned(colours, plate, left);
            bool fits = true;
            for (const qg::NubblerPair& pair : qg::NubblerPairs) {
                if (pair.a.plate > plate || pair.b.plate > plate) continue;
                if (pair.a.plate != plate && pair.b.plate != plate) continue;
                if (qg::At(next, qg::NubblerIndex(pair.a)) != qg::At(next, qg::NubblerIndex(pair.b))) {
                    fits = false;
                    break;
                }
            }
            if (!fits) continue;
            qg::At(turns, plate) = left;
            Run(plate + 1, next, cost + Cost(left));
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: nubbler_solver SCREENSHOT SHEET\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QImage shot = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage sheet = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || sheet.width() < qg::kNubblerRecord.sheetMinWidth || sheet.height() < qg::kNubblerRecord.sheetMinHeight) {
        std::fprintf(stderr, "nubbler_solver: cannot read the screenshot or the sheet\n");
        return 1;
    }
    const std::optional<QPoint> board = FindBoard(shot, sheet);
    if (!board) {
        std::fprintf(stderr, "nubbler_solver: no NUBBLER board on the screenshot\n");
        return 1;
    }
    std::array<QRgb, qg::kNubblerColours> buttons{};
    for (int k = 0; k < qg::kNubblerColours; ++k)
        qg::At(buttons, k) =
            sheet.pixel(qg::kNubblerButtonPicture.x + qg::kNubblerButtonSize * k + qg::kNubblerButtonSize / 2,
                        qg::kNubblerButtonPicture.y + qg::kNubblerButtonSize / 2);

    NubblerColours colours{};
    bool exact = true;
    for (int p = 0; p < qg::kNubblerPlateCount; ++p)
        for (int i = 0; i < qg::kNubblerPositions; ++i) {
            const qg::NubblerPoint plate = qg::At(qg::NubblerPlates, p);
            const qg::NubblerPoint c = qg::At(qg::NubblerTurnFrames[0], i);
            qg::At(colours, qg::NubblerIndex(p, i)) =
                static_cast<std::uint8_t>(ColourAt(shot, *board + QPoint(plate.x + c.x, plate.y + c.y), buttons, exact));
        }
    std::fprintf(stderr, "board at (%d, %d)%s\n", board->x(), board->y(), exact ? "" : ", some colours only nearest");
    for (int p = 0; p < qg::kNubblerPlateCount; ++p) {
        std::fprintf(stderr, "plate %d:", p);
        for (int i = 0; i < qg::kNubblerPositions; ++i) std::fprintf(stderr, " %d", qg::At(colours, qg::NubblerIndex(p, i)));
        std::fprintf(stderr, "\n");
    }

    Search search{colours};
    search.Run(0, colours, 0);
    if (search.bestCost == INT_MAX) {
        std::fprintf(stderr, "nubbler_solver: no turns solve this board\n");
        return 1;
    }
    std::fprintf(stderr, "solved in %d clicks\n", search.bestCost);
    for (int p = 0; p < qg::kNubblerPlateCount; ++p) {
        const int left = qg::At(search.best, p);
        const qg::NubblerPoint plate = qg::At(qg::NubblerPlates, p);
        const int x = board->x() + plate.x + qg::kNubblerPlateSize / 2, y = board->y() + plate.y + qg::kNubblerPlateSize / 2;
        for (int k = 0; k < Cost(left); ++k) std::printf("%d %d %d\n", x, y, left <= 4 ? 1 : 3);
    }
    return 0;
}
