// The application icon, drawn for each size it ships in. The small sizes are
// one bold shape, a turntable of the four first colours; from 48 px on the
// icon shows the toys themselves: a turning plate with four glossy pieces on
// a wooden tile, with the arrow of a quarter turn from 64 px on.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

// The game's first four colours, clockwise from the upper left: red, yellow,
// blue, green.
constexpr int kQuarterColours[4] = {1, 2, 3, 4};

QImage Transparent(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// 16 to 32 px: a disc in four coloured quarters, lit from the upper left,
// with a dark rim that holds it against any panel colour.
QImage Turntable(int size) {
    QImage img = Transparent(size);
    QPainter p(&img);
    Prepare(p);
    const qreal rim = size <= 16 ? 1.0 : 1.5;
    const QRectF disc(rim * 0.5 + 0.5, rim * 0.5 + 0.5, size - rim - 1.0, size - rim - 1.0);
    const QPointF c = disc.center();
    // Qt counts angles counter-clockwise from three o'clock.
    const int startAngle[4] = {90, 0, 180, 270};  // upper left, upper right, lower left, lower right
    const int colourAt[4] = {kQuarterColours[0], kQuarterColours[1], kQuarterColours[3], kQuarterColours[2]};
    p.setPen(Qt::NoPen);
    for (int q = 0; q < 4; ++q) {
        QPainterPath wedge;
        wedge.moveTo(c);
        wedge.arcTo(disc, startAngle[q], 90);
        wedge.closeSubpath();
        QRadialGradient g(QPointF(disc.left() + disc.width() * 0.3, disc.top() + disc.height() * 0.3), disc.width() * 0.85);
        g.setColorAt(0.0, Light(colourAt[q]));
        g.setColorAt(size <= 24 ? 0.2 : 0.45, Base(colourAt[q]));  // small: full colour nearly everywhere
        g.setColorAt(1.0, Deep(colourAt[q]));
        p.setBrush(g);
        p.drawPath(wedge);
    }
    // The seams between the quarters and the hub the quarters turn on.
    p.setPen(QPen(QColor(40, 28, 18), size <= 16 ? 1.0 : 1.4));
    p.drawLine(QPointF(c.x(), disc.top()), QPointF(c.x(), disc.bottom()));
    p.drawLine(QPointF(disc.left(), c.y()), QPointF(disc.right(), c.y()));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 28, 18));
    const qreal hub = size * 0.11;
    p.drawEllipse(c, hub, hub);
    // Specular highlight near the light, faint where it would wash out a quarter.
    QRadialGradient spec(QPointF(disc.left() + disc.width() * 0.3, disc.top() + disc.height() * 0.28), disc.width() * 0.22);
    spec.setColorAt(0.0, QColor(255, 255, 255, size <= 24 ? 110 : 200));
    spec.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(spec);
    p.drawEllipse(disc);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 28, 18), rim));
    p.drawEllipse(disc);
    return img;
}

// 48 px and up: a wooden tile with a black turning plate and four pieces.
QImage Toys(int size) {
    const qreal s = size;
    const qreal margin = std::max(1.0, std::round(s * 0.03));
    const QRectF tileRect(margin, margin, s - 2 * margin, s - 2 * margin);
    const QPainterPath tile = RoundedRect(tileRect, s * 0.16);

    // The tile: wood, bevelled, with a soft shadow kept inside the icon.
    QImage img = Transparent(size);
    const QImage wood = MakeTexture(QSize(size, size), Texture::Wood, QColor(92, 60, 34), QColor(150, 104, 62), 47u);
    FillClipped(img, tile, wood);
    QPainter p(&img);
    Prepare(p);
    DrawBevel(p, tile, std::max(1.0, s / 32), true);
    p.setPen(QPen(QColor(48, 30, 16), std::max(1.0, s / 64)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tile);

    // The plate, turned a little as if caught in the middle of a quarter turn.
    const QPointF c(s * 0.5, s * 0.5);
    const qreal half = s * 0.30;
    QTransform turn;
    turn.translate(c.x(), c.y());
    turn.rotate(-12);
    const QPainterPath plate = turn.map(RoundedRect(QRectF(-half, -half, 2 * half, 2 * half), s * 0.07));
    p.end();
    DrawShadow(img, plate, QPointF(s * 0.025, s * 0.035), std::max(1, size / 40), 120);
    p.begin(&img);
    Prepare(p);
    QLinearGradient face(plate.boundingRect().topLeft(), plate.boundingRect().bottomRight());
    face.setColorAt(0.0, QColor(58, 58, 62));
    face.setColorAt(1.0, QColor(14, 14, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawPath(plate);
    DrawBevel(p, plate, std::max(1.0, s / 40), true);

    // Four pieces on the plate, turned with it; marks from 64 px on.
    const qreal piece = half * 0.78;
    const QPointF offsets[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};  // clockwise from the upper left
    for (int k = 0; k < 4; ++k) {
        const QPointF at = turn.map(QPointF(offsets[k].x() * half * 0.5, offsets[k].y() * half * 0.5));
        const QRectF r(at.x() - piece / 2, at.y() - piece / 2, piece, piece);
        QPainterPath disc;
        disc.addEllipse(r);
        DrawGlossy(p, disc, kQuarterColours[k], size >= 64 ? piece * 0.36 : 0);
    }

    // The arrow of a quarter turn along the upper right of the plate.
    if (size >= 64) {
        const qreal radius = half * 1.32;
        const QRectF arc(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
        const qreal width = std::max(2.0, s / 26);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 244, 220, 230), width, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(arc, 78 * 16, -62 * 16);  // from near the top clockwise towards the right
        const qreal end = qDegreesToRadians(16.0);
        const QPointF tip(c.x() + radius * std::cos(end), c.y() - radius * std::sin(end));
        // Tangent at the end of a clockwise arc points down and to the right.
        const QPointF along(std::sin(end), std::cos(end));
        const QPointF across(std::cos(end), -std::sin(end));
        const qreal head = width * 2.2;
        QPolygonF arrow;
        arrow << tip + along * head << tip - across * head * 0.8 << tip + across * head * 0.8;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 244, 220, 230));
        p.drawPolygon(arrow);
    }
    return img;
}

}  // namespace

const std::vector<int>& IconSizes() {
    static const std::vector<int> sizes = {16, 24, 32, 48, 64, 128, 256};
    return sizes;
}

QImage MakeIcon(int size) { return size < 48 ? Turntable(size) : Toys(size); }

bool MakeIcons(const QString& dir) {
    for (int size : IconSizes())
        if (!MakeIcon(size).save(QString("%1/icon-%2.png").arg(dir).arg(size), "PNG")) return false;
    return true;
}

}  // namespace art
