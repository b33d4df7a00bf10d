// Pictures of b2.bmp: a walnut table with the six-coloured lens board in its
// three sizes, a legend panel with the sector marks and the two turning
// directions, the six glass lenses, and the tray and mask in which one cell's
// lenses are put together.
//
// A cell's lenses are ORed onto the board picture, so every pixel a lens can
// ever light, at rest or on its way round, is a black channel in the picture.
// The colour of each sector shows on the raised islands between the channels
// and on the rim. The channels are worked out from the very lens pictures and
// mask written into the sheet, so they cannot drift apart.

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "puzzles/Pellora.h"
#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

constexpr int kSheetW = 532, kSheetH = 597;
constexpr int kTile = 62;                 // the cluster tray, centred on pixel (31, 31)
constexpr int kTileCentre = 31;
constexpr int kWindowLeft = 3, kWindowRight = 58;  // tray columns laid onto the board
constexpr int kLensCentre = 9;            // centre pixel of a lens in its 18 x 18 cell
constexpr qreal kLensDiameter = 15;
// A lens passing a neighbouring cell slips under the edge of its island: the
// mask cuts it off within this distance of a neighbour's centre, which leaves
// the islands room for their colour.
constexpr qreal kTrimRadius = 13.0;
constexpr qreal kChannelMargin = 1.0;     // the channel's edge lies this far outside a lens
constexpr int kSuper = 4;                 // supersampling of the board pictures

constexpr std::array<QPoint, 6> kNeighbours = {{{38, 0}, {-38, 0}, {19, -33}, {-19, -33}, {19, 33}, {-19, 33}}};

// The middle of the board's centre pixel, where the sectors meet.
const QPointF kCentre(qg::kPelloraCentreX + 0.5, qg::kPelloraCentreY + 0.5);

// Sector colours counterclockwise from the right, 60 degrees each.
constexpr std::array<int, 6> kSectorColour = {3, 2, 1, 4, 5, 6};

int SectorAt(QPointF p) {
    qreal a = std::atan2(-(p.y() - kCentre.y()), p.x() - kCentre.x()) * 180.0 / std::numbers::pi;
    if (a < 0) a += 360.0;
    return kSectorColour[static_cast<std::size_t>(std::min(5, static_cast<int>(a / 60.0)))];
}

// ---------------------------------------------------------------- lenses --

Sprite LensSprite(int colour) {
    const qreal inset = kLensCentre + 0.5 - kLensDiameter / 2;
    return MakeSprite(QSize(qg::kPelloraLensSize, qg::kPelloraLensSize), [&](QPainter& p) {
        DrawGlossyDisc(p, QRectF(inset, inset, kLensDiameter, kLensDiameter), colour);
    });
}

// Pixels (relative to the lens centre) that a lens lights: its mask's inside.
std::vector<QPoint> LensFootprint(const Sprite& lens) {
    std::vector<QPoint> out;
    for (int y = 0; y < lens.mask.height(); ++y)
        for (int x = 0; x < lens.mask.width(); ++x)
            if ((lens.mask.pixel(x, y) & 0xFFFFFFu) == 0) out.push_back({x - kLensCentre, y - kLensCentre});
    return out;
}

bool Trimmed(qreal dx, qreal dy, qreal radius) {
    for (const QPoint& n : kNeighbours)
        if (std::hypot(dx - n.x(), dy - n.y()) < radius) return true;
    return false;
}

// The cluster mask: white wherever one of the cell's own lenses may show.
QImage ClusterMask(const std::vector<QPoint>& footprint) {
    QImage mask(kTile, kTile, QImage::Format_RGB32);
    mask.fill(QColor(0, 0, 0));
    for (const auto& frame : qg::LensSlotOffsets)
        for (const qg::LensOffset& o : frame)
            for (const QPoint& f : footprint) {
                const int dx = o.dx + f.x(), dy = o.dy + f.y();
                const int x = kTileCentre + dx, y = kTileCentre + dy;
                if (x < 0 || y < 0 || x >= kTile || y >= kTile || Trimmed(dx, dy, kTrimRadius)) continue;
                mask.setPixel(x, y, qRgb(255, 255, 255));
            }
    return mask;
}

// Every board pixel that a lens of this board size can light.
std::vector<bool> LitPixels(int variant, const QImage& mask) {
    const qg::PelloraVariantRow& v = qg::PelloraVariantParams[static_cast<std::size_t>(variant - 1)];
    std::vector<bool> lit(static_cast<std::size_t>(qg::kBoardWidth * qg::kBoardHeight), false);
    for (int cell = 1; cell <= v.cells; ++cell) {
        const qg::PelloraCell& c = qg::PelloraCellAt(cell);
        for (int ty = 0; ty < kTile; ++ty)
            for (int tx = kWindowLeft; tx <= kWindowRight; ++tx) {
                if ((mask.pixel(tx, ty) & 0xFFFFFFu) == 0) continue;
                const int x = c.X() - kTileCentre + tx, y = c.Y() - kTileCentre + ty;
                if (x >= 0 && y >= 0 && x < qg::kBoardWidth && y < qg::kBoardHeight)
                    lit[static_cast<std::size_t>(y * qg::kBoardWidth + x)] = true;
            }
    }
    return lit;
}

// ------------------------------------------------------------ the board --

struct Geometry {
    int variant;
    qreal radius;  // of the hexagonal plate
};

bool InPlate(QPointF p, qreal radius) {
    const qreal dx = std::abs(p.x() - kCentre.x()), dy = std::abs(p.y() - kCentre.y());
    const qreal h = radius * std::sqrt(3.0) / 2;
    return dy <= h && dx * std::sqrt(3.0) / 2 + dy / 2 <= h;
}

QPainterPath PlatePath(qreal radius, QPointF at) {
    QPolygonF hex;
    for (int k = 0; k < 6; ++k) {
        const qreal a = k * std::numbers::pi / 3;
        hex << at + QPointF(radius * std::cos(a), -radius * std::sin(a));
    }
    QPainterPath path;
    path.addPolygon(hex);
    path.closeSubpath();
    return path;
}

// The channels: everything within reach of a cell's lenses, less the round
// island at every cell's centre. The islands stay clear of every lens: a
// cell's own lenses keep 22 px from it, and its neighbours' lenses are cut
// off by the mask before they come this close.
constexpr qreal kChannelReach = 22.7 + kLensDiameter / 2 + kChannelMargin;
constexpr qreal kIslandRadius = kTrimRadius - kChannelMargin;

// Distance from p to the nearest cell centre of the board, and that cell.
qreal NearestCell(QPointF p, int cells, int* which = nullptr) {
    qreal best = 1e9;
    for (int cell = 1; cell <= cells; ++cell) {
        const qg::PelloraCell& c = qg::PelloraCellAt(cell);
        const qreal d = std::hypot(p.x() - (c.X() + 0.5), p.y() - (c.Y() + 0.5));
        if (d < best) {
            best = d;
            if (which) *which = cell;
        }
    }
    return best;
}

bool InChannel(QPointF p, int cells) {
    const qreal d = NearestCell(p, cells);
    return d < kChannelReach && d >= kIslandRadius;
}

QColor Scale(QColor c, qreal k) {
    auto ch = [k](int v) { return std::clamp(static_cast<int>(std::lround(v * k)), 0, 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()));
}

// Distance from p to the nearest of the six sector borders (rays from the centre).
qreal SeamDistance(QPointF p) {
    const qreal dx = p.x() - kCentre.x(), dy = -(p.y() - kCentre.y());
    qreal best = 1e9;
    for (int k = 0; k < 6; ++k) {
        const qreal a = k * std::numbers::pi / 3;
        const qreal ux = std::cos(a), uy = std::sin(a);
        const qreal along = dx * ux + dy * uy;
        if (along < 0) continue;
        best = std::min(best, std::abs(-dx * uy + dy * ux));
    }
    return best;
}

// Each island carries the mark of its sector colour, or one mark per half
// where a sector border runs through it, for players who tell the colours
// apart by the marks of the lenses.
void DrawIslandMarks(QImage& image, QPoint origin, int variant) {
    const qg::PelloraVariantRow& v = qg::PelloraVariantParams[static_cast<std::size_t>(variant - 1)];
    QPainter p(&image);
    Prepare(p);
    p.translate(-origin);
    for (int cell = 1; cell <= v.cells; ++cell) {
        const qg::PelloraCell& c = qg::PelloraCellAt(cell);
        const QPointF at(c.X() + 0.5, c.Y() + 0.5);
        const QPointF off = at - kCentre;
        const qreal dist = std::hypot(off.x(), off.y());
        if (dist < 1) {
            for (int k = 0; k < 6; ++k) {
                const qreal a = (30 + 60 * k) * std::numbers::pi / 180;
                const QPointF m = at + QPointF(6.5 * std::cos(a), -6.5 * std::sin(a));
                DrawMark(p, m, 5, SectorAt(m));
            }
            continue;
        }
        // Does a border run through this island? Then it runs along `off`.
        const qreal angle = std::atan2(-off.y(), off.x()) * 180 / std::numbers::pi;
        const qreal fromBorder = std::abs(std::remainder(angle, 60.0));
        if (fromBorder * std::numbers::pi / 180 * dist > kIslandRadius) {
            DrawMark(p, at, 10, SectorAt(at));
            continue;
        }
        const QPointF across(-off.y() / dist, off.x() / dist);
        for (qreal side : {-5.5, 5.5}) {
            const QPointF m = at + across * side;
            DrawMark(p, m, 7, SectorAt(m));
        }
    }
}

// Draws the board of `variant` onto `image`, whose pixel (0, 0) is board pixel
// `origin`. Only the variant's picture rectangle is touched.
void DrawBoard(QImage& image, QPoint origin, int variant, const std::vector<bool>& lit) {
    const qg::PelloraVariantRow& v = qg::PelloraVariantParams[static_cast<std::size_t>(variant - 1)];
    const QRect place(v.boardX, v.boardY, 2 * v.halfWidth, 2 * v.halfHeight);
    const qreal radius = v.halfWidth - 1.0;

    // The plate's shadow on the table, faded out before the picture's edge so
    // that no cut shows where the picture ends.
    {
        QImage shaded = image.copy();
        DrawShadow(shaded, PlatePath(radius, kCentre - origin), QPointF(3, 4), 4, 150);
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x) {
                const int edge = std::min({x - place.left(), place.right() - x, y - place.top(), place.bottom() - y});
                const qreal keep = std::clamp(edge / 5.0, 0.0, 1.0);
                const QPoint ip(x - origin.x(), y - origin.y());
                const QColor a = image.pixelColor(ip), b = shaded.pixelColor(ip);
                image.setPixelColor(ip, QColor(static_cast<int>(std::lround(a.red() + (b.red() - a.red()) * keep)),
                                               static_cast<int>(std::lround(a.green() + (b.green() - a.green()) * keep)),
                                               static_cast<int>(std::lround(a.blue() + (b.blue() - a.blue()) * keep))));
            }
    }

    // Coverage of the plate and of its coloured surface (plate minus channels).
    const int w = place.width(), h = place.height();
    std::vector<float> plate(static_cast<std::size_t>(w * h)), surface(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int inPlate = 0, inSurface = 0;
            for (int sy = 0; sy < kSuper; ++sy)
                for (int sx = 0; sx < kSuper; ++sx) {
                    const QPointF p(place.left() + x + (sx + 0.5) / kSuper, place.top() + y + (sy + 0.5) / kSuper);
                    if (!InPlate(p, radius)) continue;
                    ++inPlate;
                    if (!InChannel(p, v.cells)) ++inSurface;
                }
            plate[static_cast<std::size_t>(y * w + x)] = static_cast<float>(inPlate) / (kSuper * kSuper);
            surface[static_cast<std::size_t>(y * w + x)] = static_cast<float>(inSurface) / (kSuper * kSuper);
        }
    auto at = [&](const std::vector<float>& a, int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return a[static_cast<std::size_t>(y * w + x)];
    };
    // A soft height field of the surface for the bevel light.
    std::vector<float> height(surface.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) s += at(surface, x + i, y + j) * ((i == 0 ? 2.f : 1.f) * (j == 0 ? 2.f : 1.f));
            height[static_cast<std::size_t>(y * w + x)] = s / 16.f;
        }
    const QImage grain = MakeTexture(QSize(w, h), Texture::Stone, QColor(0, 0, 0), QColor(255, 255, 255), 2300u + static_cast<unsigned>(variant));

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QPoint bp(place.left() + x, place.top() + y);
            const QPoint ip = bp - origin;
            const float cover = at(plate, x, y), colourCover = at(surface, x, y);
            if (cover <= 0) continue;
            const QPointF centre(bp.x() + 0.5, bp.y() + 0.5);
            const int colour = SectorAt(centre);
            // Enamel with a fine grain; the islands are low domes lit from the upper left.
            const float g = static_cast<float>(qGray(grain.pixel(x, y))) / 255.f;
            QColor body = Scale(Base(colour), 0.84 + 0.10 * g);
            int cell = 0;
            const qreal d = NearestCell(centre, v.cells, &cell);
            if (d < kIslandRadius + 1) {
                const qg::PelloraCell& c = qg::PelloraCellAt(cell);
                const qreal nx = (centre.x() - c.X() - 0.5) / kIslandRadius, ny = (centre.y() - c.Y() - 0.5) / kIslandRadius;
                body = Scale(body, 1.0 - 0.22 * (nx + ny) / std::numbers::sqrt2 - 0.10 * (nx * nx + ny * ny));
            }
            // Bevel: lit where the surface rises towards the lower right.
            const float light = at(height, x + 1, y + 1) - at(height, x - 1, y - 1);
            if (light > 0)
                body = QColor(std::min(255, static_cast<int>(body.red() + (255 - body.red()) * light * 0.55f)),
                              std::min(255, static_cast<int>(body.green() + (255 - body.green()) * light * 0.55f)),
                              std::min(255, static_cast<int>(body.blue() + (255 - body.blue()) * light * 0.55f)));
            else
                body = Scale(body, 1.0 + light * 0.9);
            // A fine dark seam where two sectors meet.
            const qreal seam = SeamDistance(centre);
            if (seam < 1.2) body = Scale(body, 0.45 + 0.55 * seam / 1.2);

            const QColor under = image.pixelColor(ip);
            const float table = 1.f - cover;
            auto mix = [&](int b, int u) {
                return std::clamp(static_cast<int>(std::lround(b * colourCover + u * table)), 0, 255);
            };
            QColor out(mix(body.red(), under.red()), mix(body.green(), under.green()), mix(body.blue(), under.blue()));
            if (lit[static_cast<std::size_t>(bp.y() * qg::kBoardWidth + bp.x())]) out = QColor(0, 0, 0);
            image.setPixelColor(ip, out);
        }
    DrawIslandMarks(image, origin, variant);
}

// ------------------------------------------------------------ the table --

QImage Table() {
    QImage table = MakeTexture(QSize(qg::kBoardWidth, qg::kBoardHeight), Texture::Wood, QColor(46, 30, 20), QColor(80, 54, 34), 2201);
    QPainter p(&table);
    Prepare(p);
    QRadialGradient v(QPointF(230, 165), 320);
    v.setColorAt(0.55, QColor(0, 0, 0, 0));
    v.setColorAt(1.0, QColor(0, 0, 0, 80));
    p.fillRect(QRectF(0, 0, qg::kBoardWidth, qg::kBoardHeight), v);
    return table;
}

}  // namespace

QImage MakePelloraSheet() {
    QImage sheet = NewSheet(kSheetW, kSheetH);

    std::vector<QPoint> footprint;
    for (int colour = 1; colour <= qg::kPelloraColours; ++colour) {
        const Sprite lens = LensSprite(colour);
        Put(sheet, lens.picture, QPoint(qg::kPelloraLensX, qg::kPelloraLensSize * (colour - 1)));
        if (footprint.empty()) footprint = LensFootprint(lens);
    }
    const QImage mask = ClusterMask(footprint);
    Put(sheet, mask, QPoint(qg::kPelloraClusterMask.x, qg::kPelloraClusterMask.y));
    QImage base(kTile, kTile, QImage::Format_RGB32);
    base.fill(QColor(0, 0, 0));
    Put(sheet, base, QPoint(qg::kPelloraClusterBase.x, qg::kPelloraClusterBase.y));

    const QImage table = Table();
    QImage background = table.copy();
    DrawBoard(background, QPoint(0, 0), 1, LitPixels(1, mask));
    Put(sheet, background, QPoint(0, 0));
    for (int variant = 2; variant <= 3; ++variant) {
        const qg::PelloraVariantRow& v = qg::PelloraVariantParams[static_cast<std::size_t>(variant - 1)];
        const QRect place(v.boardX, v.boardY, 2 * v.halfWidth, 2 * v.halfHeight);
        QImage picture = table.copy(place);
        DrawBoard(picture, place.topLeft(), variant, LitPixels(variant, mask));
        Put(sheet, picture, QPoint(v.sheetX, v.sheetY));
    }
    return sheet;
}

}  // namespace art
