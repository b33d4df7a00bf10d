// Pictures of PELLORA's sheet: a walnut table with the lens board in its three sizes,
// a legend panel (the sectors with their marks, the two turning directions
// and the name plaque), the six glass lenses, and the tray and mask in which
// one cell's lenses are put together.
//
// A cell's lenses are ORed onto the board picture, so every pixel that a lens
// can light, at rest or on its way round, is black in the picture: the board
// is a black tray. The colour of each sector shows on the raised enamel
// islands at the cell centres and on the bevelled rim. The black places are
// worked out from the very lens pictures and mask written into the sheet, so
// the two cannot drift apart.

#include <QFont>
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

constexpr int kTile = 62;                          // the cluster tray, centred on pixel (31, 31)
constexpr int kTileCentre = 31;
constexpr int kWindowLeft = 3, kWindowRight = 58;  // tray columns laid onto the board
constexpr int kLensCentre = 9;                     // centre pixel of a lens in its 18 x 18 cell
constexpr qreal kLensDiameter = 15;
// A lens passing a neighbouring cell slips under the edge of its island: the
// mask cuts it off within this distance of a neighbour's centre, which leaves
// the islands room for their colour.
constexpr qreal kTrimRadius = 13.0;
// The islands are six-sided like the cells, corners towards the lenses.
constexpr qreal kIslandRadius = 12.5;
constexpr qreal kChannelMargin = 0.75;             // the channel reaches this far beyond a lens
constexpr int kSuper = 4;                          // supersampling of the board pictures

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

QPointF CellCentre(int cell) { return {qg::PelloraCellAt(cell).X() + 0.5, qg::PelloraCellAt(cell).Y() + 0.5}; }

QColor Scale(QColor c, qreal k) {
    auto ch = [k](int v) { return std::clamp(static_cast<int>(std::lround(v * k)), 0, 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()));
}

QColor Lighten(QColor c, qreal k) {
    auto ch = [k](int v) { return std::clamp(static_cast<int>(std::lround(v + (255 - v) * k)), 0, 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()));
}

QColor Blend(QColor a, QColor b, qreal t) {
    auto ch = [t](int u, int v) { return std::clamp(static_cast<int>(std::lround(u + (v - u) * t)), 0, 255); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()));
}

QPainterPath Hexagon(QPointF at, qreal radius, qreal firstAngle) {
    QPolygonF hex;
    for (int k = 0; k < 6; ++k) {
        const qreal a = (firstAngle + 60.0 * k) * std::numbers::pi / 180;
        hex << at + QPointF(radius * std::cos(a), -radius * std::sin(a));
    }
    QPainterPath path;
    path.addPolygon(hex);
    path.closeSubpath();
    return path;
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
    const qg::PelloraVariantRow& v = qg::At(qg::PelloraVariantParams, variant - 1);
    std::vector<bool> lit(static_cast<std::size_t>(qg::kBoardWidth * qg::kBoardHeight), false);
    for (int cell = 0; cell < v.cells; ++cell) {
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

bool InPlate(QPointF p, qreal radius) {
    const qreal dx = std::abs(p.x() - kCentre.x()), dy = std::abs(p.y() - kCentre.y());
    const qreal h = radius * std::sqrt(3.0) / 2;
    return dy <= h && dx * std::sqrt(3.0) / 2 + dy / 2 <= h;
}

// Inside a pointy-topped hexagon of circumradius r round the origin.
bool InHexagon(qreal dx, qreal dy, qreal r) {
    dx = std::abs(dx);
    dy = std::abs(dy);
    const qreal apothem = r * std::sqrt(3.0) / 2;
    return dx <= apothem && dx / 2 + dy * std::sqrt(3.0) / 2 <= apothem;
}

enum class Part { Table, Channel, Island, Rim };

constexpr qreal kRimBand = 2.2;  // the rim runs round the whole plate at least this wide

// Distance from p inside the plate to the plate's edge.
qreal ToPlateEdge(QPointF p, qreal radius) {
    const qreal dx = std::abs(p.x() - kCentre.x()), dy = std::abs(p.y() - kCentre.y());
    const qreal h = radius * std::sqrt(3.0) / 2;
    return std::min(h - dy, h - (dx * std::sqrt(3.0) / 2 + dy / 2));
}

// What a point of the board shows. The channel holds every place a lens can
// take and the ring round each island that neighbouring lenses slip under;
// what is left of the plate is rim, with a band of it all round.
Part PartAt(QPointF p, int cells, qreal plateRadius, int* island) {
    if (!InPlate(p, plateRadius)) return Part::Table;
    const qreal reach = kLensDiameter / 2 + kChannelMargin;
    bool channel = false;
    for (int cell = 0; cell < cells; ++cell) {
        const QPointF c = CellCentre(cell);
        const qreal dx = p.x() - c.x(), dy = p.y() - c.y();
        if (std::abs(dx) > 32 || std::abs(dy) > 32) continue;
        if (InHexagon(dx, dy, kIslandRadius)) {
            *island = cell;
            return Part::Island;
        }
        if (channel) continue;
        if (std::hypot(dx, dy) < 22) {
            channel = true;
            continue;
        }
        if (Trimmed(dx, dy, kTrimRadius - kChannelMargin)) continue;
        for (const auto& frame : qg::LensSlotOffsets)
            for (const qg::LensOffset& o : frame)
                if (std::hypot(dx - o.dx, dy - o.dy) < reach) channel = true;
    }
    return channel && ToPlateEdge(p, plateRadius) > kRimBand ? Part::Channel : Part::Rim;
}

// Each island carries the mark of its sector colour, or one mark per part
// where sector borders run through it, for players who tell the colours
// apart by the marks on the lenses.
void DrawIslandMarks(QImage& image, QPoint origin, int variant) {
    const qg::PelloraVariantRow& v = qg::At(qg::PelloraVariantParams, variant - 1);
    QPainter p(&image);
    Prepare(p);
    p.translate(-origin);
    for (int cell = 0; cell < v.cells; ++cell) {
        const QPointF at = CellCentre(cell);
        const QPointF off = at - kCentre;
        const qreal dist = std::hypot(off.x(), off.y());
        if (dist < 1) {
            for (int k = 0; k < 6; ++k) {
                const qreal a = (30 + 60 * k) * std::numbers::pi / 180;
                const QPointF m = at + QPointF(6.8 * std::cos(a), -6.8 * std::sin(a));
                DrawMark(p, m, 5, SectorAt(m));
            }
            continue;
        }
        // A border runs through an island only along the line from the centre.
        const qreal angle = std::atan2(-off.y(), off.x()) * 180 / std::numbers::pi;
        const qreal fromBorder = std::abs(std::remainder(angle, 60.0));
        if (fromBorder * std::numbers::pi / 180 * dist > kIslandRadius) {
            DrawMark(p, at, 10, SectorAt(at));
            continue;
        }
        const QPointF across(-off.y() / dist, off.x() / dist);
        for (qreal side : {-5.0, 5.0}) {
            const QPointF m = at + across * side;
            DrawMark(p, m, 7, SectorAt(m));
        }
    }
}

// Distance from p to the nearest of the six sector borders.
qreal SeamDistance(QPointF p) {
    const qreal dx = p.x() - kCentre.x(), dy = -(p.y() - kCentre.y());
    qreal best = 1e9;
    for (int k = 0; k < 6; ++k) {
        const qreal a = k * std::numbers::pi / 3;
        const qreal ux = std::cos(a), uy = std::sin(a);
        if (dx * ux + dy * uy < 0) continue;
        best = std::min(best, std::abs(-dx * uy + dy * ux));
    }
    return best;
}

// Mixes `shaded` into `image` inside `place`, fading out over the last few
// pixels before the place's edge, so that no cut shows where a picture ends.
void FadeIn(QImage& image, const QImage& shaded, const QRect& place, QPoint origin) {
    for (int y = place.top(); y <= place.bottom(); ++y)
        for (int x = place.left(); x <= place.right(); ++x) {
            const int edge = std::min({x - place.left(), place.right() - x, y - place.top(), place.bottom() - y});
            const QPoint ip(x - origin.x(), y - origin.y());
            image.setPixelColor(ip, Blend(image.pixelColor(ip), shaded.pixelColor(ip), std::clamp(edge / 5.0, 0.0, 1.0)));
        }
}

// Draws the board of `variant` onto `image`, whose pixel (0, 0) is board pixel
// `origin`. Only the variant's picture rectangle is touched.
void DrawBoard(QImage& image, QPoint origin, int variant, const std::vector<bool>& lit) {
    const qg::PelloraVariantRow& v = qg::At(qg::PelloraVariantParams, variant - 1);
    const QRect place(v.boardX, v.boardY, 2 * v.halfWidth, 2 * v.halfHeight);
    const qreal radius = v.halfWidth - 1.0;

    QImage shaded = image.copy();
    DrawShadow(shaded, Hexagon(kCentre - origin, radius, 0), QPointF(3, 4), 4, 160);
    FadeIn(image, shaded, place, origin);

    // Coverage of the plate, its raised surface (islands and rim) and the islands.
    const int w = place.width(), h = place.height();
    const std::size_t n = static_cast<std::size_t>(w * h);
    std::vector<float> plate(n), surface(n), islands(n);
    std::vector<int> islandOf(n, -1);  // -1: no island
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int inPlate = 0, inSurface = 0, inIsland = 0;
            for (int sy = 0; sy < kSuper; ++sy)
                for (int sx = 0; sx < kSuper; ++sx) {
                    const QPointF p(place.left() + x + (sx + 0.5) / kSuper, place.top() + y + (sy + 0.5) / kSuper);
                    int cell = -1;
                    const Part part = PartAt(p, v.cells, radius, &cell);
                    inPlate += part != Part::Table;
                    inSurface += part == Part::Island || part == Part::Rim;
                    if (part == Part::Island) {
                        ++inIsland;
                        islandOf[static_cast<std::size_t>(y * w + x)] = cell;
                    }
                }
            const float k = 1.f / (kSuper * kSuper);
            plate[static_cast<std::size_t>(y * w + x)] = inPlate * k;
            surface[static_cast<std::size_t>(y * w + x)] = inSurface * k;
            islands[static_cast<std::size_t>(y * w + x)] = inIsland * k;
        }
    auto at = [&](const std::vector<float>& a, int x, int y) {
        return a[static_cast<std::size_t>(std::clamp(y, 0, h - 1) * w + std::clamp(x, 0, w - 1))];
    };
    // A soft height field of the raised surface for the bevel light.
    std::vector<float> height(n);
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
            const float cover = at(plate, x, y), raised = at(surface, x, y);
            if (cover <= 0) continue;
            const QPoint bp(place.left() + x, place.top() + y);
            const QPoint ip = bp - origin;
            const QPointF centre(bp.x() + 0.5, bp.y() + 0.5);
            const int colour = SectorAt(centre);
            const float g = static_cast<float>(qGray(grain.pixel(x, y))) / 255.f;
            QColor body;
            const int cell = islandOf[static_cast<std::size_t>(y * w + x)];
            if (at(islands, x, y) > 0 && cell >= 0) {
                // Enamel, lighter towards the upper left of each island.
                const QPointF c = CellCentre(cell);
                const qreal t = ((centre.x() - c.x()) + (centre.y() - c.y())) / (2 * kIslandRadius);
                body = Scale(Base(colour), 0.98 - 0.16 * t + 0.06 * g);
            } else {
                // The rim: the sector colour a shade deeper, like a painted frame.
                body = Scale(Blend(Base(colour), Deep(colour), 0.35), 0.92 + 0.12 * g);
            }
            const float light = at(height, x + 1, y + 1) - at(height, x - 1, y - 1);
            body = light > 0 ? Lighten(body, light * 0.6) : Scale(body, 1.0 + light * 0.9);
            const qreal seam = SeamDistance(centre);
            if (seam < 1.2) body = Scale(body, 0.45 + 0.55 * seam / 1.2);

            const QColor under = image.pixelColor(ip);
            const float table = 1.f - cover;
            auto mix = [&](int b, int u) { return std::clamp(static_cast<int>(std::lround(b * raised + u * table)), 0, 255); };
            image.setPixelColor(ip, QColor(mix(body.red(), under.red()), mix(body.green(), under.green()), mix(body.blue(), under.blue())));
        }
    DrawIslandMarks(image, origin, variant);

    for (int y = place.top(); y <= place.bottom(); ++y)
        for (int x = place.left(); x <= place.right(); ++x)
            if (lit[static_cast<std::size_t>(y * qg::kBoardWidth + x)]) image.setPixel(x - origin.x(), y - origin.y(), qRgb(0, 0, 0));
}

// ------------------------------------------------------------ the table --

constexpr QRectF kPanel(410, 12, 80, 309);        // legend panel: wooden frame ...
constexpr QRectF kPanelWell(416, 18, 68, 297);    // ... and its sunken felt
constexpr QPointF kLegendCentre(450, 58);
constexpr qreal kLegendRadius = 30;
constexpr QRectF kPlaque(414, 280, 72, 30);

// The sectors in small, each with its colour's mark.
void DrawLegend(QImage& image) {
    const QPainterPath hex = Hexagon(kLegendCentre, kLegendRadius, 0);
    DrawShadow(image, hex, QPointF(2, 3), 3, 150);
    QPainter p(&image);
    Prepare(p);
    for (int k = 0; k < 6; ++k) {
        const qreal a0 = 60.0 * k * std::numbers::pi / 180, a1 = 60.0 * (k + 1) * std::numbers::pi / 180;
        QPolygonF tri;
        tri << kLegendCentre << kLegendCentre + QPointF(kLegendRadius * std::cos(a0), -kLegendRadius * std::sin(a0))
            << kLegendCentre + QPointF(kLegendRadius * std::cos(a1), -kLegendRadius * std::sin(a1));
        const int colour = kSectorColour[static_cast<std::size_t>(k)];
        QLinearGradient g(kLegendCentre - QPointF(kLegendRadius, kLegendRadius), kLegendCentre + QPointF(kLegendRadius, kLegendRadius));
        g.setColorAt(0, Lighten(Base(colour), 0.12));
        g.setColorAt(1, Scale(Base(colour), 0.78));
        p.setPen(QPen(QColor(20, 14, 10), 1.2));
        p.setBrush(g);
        p.drawPolygon(tri);
        const qreal am = (a0 + a1) / 2, rm = kLegendRadius * 0.58;
        DrawMark(p, kLegendCentre + QPointF(rm * std::cos(am), -rm * std::sin(am)), 10, colour);
    }
    DrawBevel(p, hex, 2, true);
}

// A cell with its six lenses and the arrow of a turn round it, beside a
// mouse with the button that turns it that way.
void DrawTurnHint(QImage& image, QPointF cell, bool left) {
    QPainter p(&image);
    Prepare(p);
    const QPainterPath hex = Hexagon(cell, 15, 90);
    p.setPen(QPen(QColor(150, 130, 100), 1.2));
    p.setBrush(QColor(36, 30, 26));
    p.drawPath(hex);
    const int colours[6] = {1, 2, 3, 4, 5, 6};
    for (int k = 0; k < 6; ++k) {
        const qreal a = (150 - 60.0 * k) * std::numbers::pi / 180;  // slot 0 upper left, clockwise
        const QPointF c = cell + QPointF(15 * std::cos(a), -15 * std::sin(a));
        DrawGlossyDisc(p, QRectF(c.x() - 4.5, c.y() - 4.5, 9, 9), colours[k]);
    }
    // The arrow runs round outside the lenses; left turns counterclockwise.
    const QRectF arc(cell.x() - 23, cell.y() - 23, 46, 46);
    const qreal start = left ? 20 : 160, span = left ? 140 : -140;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(236, 222, 190), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(arc, static_cast<int>(start * 16), static_cast<int>(span * 16));
    const qreal end = (start + span) * std::numbers::pi / 180;
    const QPointF tip = cell + QPointF(23 * std::cos(end), -23 * std::sin(end));
    // Tangent of travel at the arrow's end.
    const QPointF dir = left ? QPointF(-std::sin(end), -std::cos(end)) : QPointF(std::sin(end), std::cos(end));
    const QPointF side(-dir.y(), dir.x());
    QPolygonF head;
    head << tip + dir * 5 << tip - dir * 2 + side * 4 << tip - dir * 2 - side * 4;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 222, 190));
    p.drawPolygon(head);

    // The mouse, its pressed button lit.
    const QRectF mouse(cell.x() - 9, cell.y() + 27, 18, 26);
    p.setPen(QPen(QColor(20, 16, 12), 1));
    QLinearGradient body(mouse.topLeft(), mouse.bottomRight());
    body.setColorAt(0, QColor(226, 220, 206));
    body.setColorAt(1, QColor(150, 142, 128));
    p.setBrush(body);
    p.drawRoundedRect(mouse, 8, 9);
    QPainterPath button;
    const QRectF half = left ? QRectF(mouse.left(), mouse.top(), 9, 11) : QRectF(mouse.center().x(), mouse.top(), 9, 11);
    button.addRect(half);
    QPainterPath outline;
    outline.addRoundedRect(mouse, 8, 9);
    p.setClipPath(outline);
    p.setBrush(QColor(222, 60, 40));
    p.drawPath(button);
    p.setClipping(false);
    p.setPen(QPen(QColor(60, 52, 44), 1));
    p.drawLine(QPointF(mouse.center().x(), mouse.top() + 1), QPointF(mouse.center().x(), mouse.top() + 11));
    p.drawLine(QPointF(mouse.left() + 1, mouse.top() + 11), QPointF(mouse.right() - 1, mouse.top() + 11));
}

void DrawPlaque(QImage& image) {
    DrawBrassPlaque(image, kPlaque, 4);
    QPainter p(&image);
    Prepare(p);
    QFont font("DejaVu Serif Condensed");
    font.setPixelSize(13);
    font.setBold(true);
    EngraveText(p, kPlaque, "PELLORA", font);
}

QImage Table() {
    QImage table = MakeTexture(QSize(qg::kBoardWidth, qg::kBoardHeight), Texture::Wood, QColor(46, 30, 20), QColor(80, 54, 34), 2201);
    Vignette(table, QPointF(230, 165), 320, 80);
    const QPainterPath frame = RoundedRect(kPanel, 7);
    DrawShadow(table, frame, QPointF(3, 4), 4, 150);
    FillClipped(table, frame, MakeTexture(table.size(), Texture::Wood, QColor(92, 62, 38), QColor(128, 90, 56), 2202));
    {
        QPainter p(&table);
        Prepare(p);
        DrawBevel(p, frame, 2.5, true);
    }
    const QPainterPath well = RoundedRect(kPanelWell, 4);
    FillClipped(table, well, MakeTexture(table.size(), Texture::Felt, QColor(14, 16, 20), QColor(28, 32, 38), 2203));
    {
        QPainter p(&table);
        Prepare(p);
        DrawBevel(p, well, 2, false);
    }
    DrawLegend(table);
    DrawTurnHint(table, QPointF(450, 132), true);
    DrawTurnHint(table, QPointF(450, 210), false);
    DrawPlaque(table);
    return table;
}

}  // namespace

QImage MakePelloraSheet() {
    QImage sheet = NewSheet(qg::kPelloraRecord.sheetMinWidth, qg::kPelloraRecord.sheetMinHeight);

    std::vector<QPoint> footprint;
    for (int colour = 1; colour <= qg::kPelloraColours; ++colour) {
        const Sprite lens = LensSprite(colour);
        Put(sheet, lens.picture, QPoint(qg::kPelloraLensX, qg::kPelloraLensSize * (colour - 1)));
        if (footprint.empty()) footprint = LensFootprint(lens);
    }
    // The tray a cell's lenses are laid into is empty black; the mask keeps
    // the places its lenses pass and clears everything else.
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
        const qg::PelloraVariantRow& v = qg::At(qg::PelloraVariantParams, variant - 1);
        const QRect place(v.boardX, v.boardY, 2 * v.halfWidth, 2 * v.halfHeight);
        QImage picture = table.copy(place);
        DrawBoard(picture, place.topLeft(), variant, LitPixels(variant, mask));
        Put(sheet, picture, QPoint(v.sheetX, v.sheetY));
    }
    return sheet;
}

}  // namespace art
