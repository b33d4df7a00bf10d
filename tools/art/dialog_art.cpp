// Pictures of the small windows: the parchment they are painted with, the
// button glyphs (tick, cross, play, two flag sets) and the splash picture.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <functional>

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

// Light parchment: a very quiet cloud with fine fibres, kept within a narrow
// band of light tones so black text stays crisp on every pixel.
QImage Parchment() {
    QImage base = MakeTexture(QSize(320, 200), Texture::Stone, QColor(226, 210, 176), QColor(246, 237, 214), 1601u);
    const QImage fibres = MakeTexture(QSize(320, 200), Texture::Felt, QColor(0, 0, 0), QColor(255, 255, 255), 1602u);
    for (int y = 0; y < base.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(base.scanLine(y));
        const QRgb* f = reinterpret_cast<const QRgb*>(fibres.constScanLine(y));
        for (int x = 0; x < base.width(); ++x) {
            const int d = (qRed(f[x]) - 128) / 26;  // +-5 levels of grain
            line[x] = qRgb(std::clamp(qRed(line[x]) + d, 0, 255), std::clamp(qGreen(line[x]) + d, 0, 255),
                           std::clamp(qBlue(line[x]) + d, 0, 255));
        }
    }
    return base;
}

// A glyph shape filled with a lit gradient and a darker rim, as the toolbar's.
void LitShape(QPainter& p, const QPainterPath& shape, QColor light, QColor deep, QColor rim) {
    const QRectF b = shape.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomRight());
    g.setColorAt(0, light);
    g.setColorAt(1, deep);
    p.setPen(QPen(rim, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(shape);
}

// A bold tick as an outline, so it can be filled and rimmed.
QPainterPath Tick(qreal s) {
    QPainterPathStroker stroker;
    stroker.setWidth(s * 0.2);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath line;
    line.moveTo(s * 0.16, s * 0.55);
    line.lineTo(s * 0.40, s * 0.78);
    line.lineTo(s * 0.85, s * 0.20);
    return stroker.createStroke(line).simplified();
}

void OkGlyph(QPainter& p, qreal s) {
    LitShape(p, Tick(s), QColor(150, 222, 120), QColor(30, 128, 40), QColor(18, 80, 26));
}

void CancelGlyph(QPainter& p, qreal s) {
    QPainterPathStroker stroker;
    stroker.setWidth(s * 0.2);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath cross;
    cross.moveTo(s * 0.22, s * 0.22);
    cross.lineTo(s * 0.78, s * 0.78);
    cross.moveTo(s * 0.78, s * 0.22);
    cross.lineTo(s * 0.22, s * 0.78);
    LitShape(p, stroker.createStroke(cross).simplified(), QColor(246, 130, 110), QColor(170, 30, 26), QColor(110, 16, 14));
}

void ContinueGlyph(QPainter& p, qreal s) {
    QPainterPath tri;
    tri.moveTo(s * 0.25, s * 0.14);
    tri.lineTo(s * 0.86, s * 0.5);
    tri.lineTo(s * 0.25, s * 0.86);
    tri.closeSubpath();
    LitShape(p, tri, QColor(150, 222, 120), QColor(30, 128, 40), QColor(18, 80, 26));
}

// A flag cloth with a thin dark edge and the light from the upper left.
void Cloth(QPainter& p, const QRectF& r, const std::function<void(QPainter&, const QRectF&)>& paint) {
    p.save();
    p.setClipRect(r);
    paint(p, r);
    QLinearGradient sheen(r.topLeft(), r.bottomRight());
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    sheen.setColorAt(1, QColor(0, 0, 0, 50));
    p.fillRect(r, sheen);
    p.restore();
    p.setPen(QPen(QColor(40, 30, 24), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

void UnionFlag(QPainter& p, const QRectF& r) {
    const QColor blue(1, 33, 105), red(200, 16, 46);
    p.fillRect(r, blue);
    const QPointF c = r.center();
    p.setPen(QPen(Qt::white, r.height() * 0.24));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(QPen(red, r.height() * 0.09));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left(), c.y() - r.height() * 0.18, r.width(), r.height() * 0.36));
    p.drawRect(QRectF(c.x() - r.height() * 0.18, r.top(), r.height() * 0.36, r.height()));
    p.setBrush(red);
    p.drawRect(QRectF(r.left(), c.y() - r.height() * 0.1, r.width(), r.height() * 0.2));
    p.drawRect(QRectF(c.x() - r.height() * 0.1, r.top(), r.height() * 0.2, r.height()));
}

void Stripes(QPainter& p, const QRectF& r, const QColor (&colours)[3]) {
    for (int k = 0; k < 3; ++k) p.fillRect(QRectF(r.left(), r.top() + r.height() * k / 3, r.width(), r.height() / 3 + 0.5), colours[k]);
}

void SwissFlag(QPainter& p, const QRectF& r) {
    p.fillRect(r, QColor(218, 41, 28));
    const QPointF c = r.center();
    const qreal arm = r.width() * 0.19, len = r.width() * 0.62;
    p.fillRect(QRectF(c.x() - arm / 2, c.y() - len / 2, arm, len), Qt::white);
    p.fillRect(QRectF(c.x() - len / 2, c.y() - arm / 2, len, arm), Qt::white);
}

// English: the Union flag, centred in its 53 x 20 glyph.
void EnglishFlags(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    Cloth(p, QRectF(7, 1, 38, 19), UnionFlag);
}

// German: the three German-speaking countries' flags side by side in 80 x 20.
void GermanFlags(QPainter& p) {
    const QColor de[3] = {QColor(20, 20, 20), QColor(221, 0, 0), QColor(255, 206, 0)};
    const QColor at[3] = {QColor(200, 16, 46), QColor(255, 255, 255), QColor(200, 16, 46)};
    Cloth(p, QRectF(1, 2, 30, 18), [&](QPainter& q, const QRectF& r) { Stripes(q, r, de); });
    Cloth(p, QRectF(34, 2, 27, 18), [&](QPainter& q, const QRectF& r) { Stripes(q, r, at); });
    Cloth(p, QRectF(63, 2, 17, 17), SwissFlag);
}

// ---- The splash: the four toys lying on a dark table under a warm light.

QPainterPath Circle(QPointF c, qreal r) {
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPainterPath Hexagon(QPointF c, qreal r, qreal startDeg) {
    QPainterPath path;
    for (int k = 0; k < 6; ++k) {
        const qreal a = qDegreesToRadians(startDeg + 60.0 * k);
        const QPointF pt = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (k == 0) path.moveTo(pt);
        else path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void BlackPlate(QImage& img, const QPainterPath& plate) {
    DrawShadow(img, plate, QPointF(2, 3), 3, 160);
    QPainter p(&img);
    Prepare(p);
    const QRectF b = plate.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomRight());
    g.setColorAt(0, QColor(74, 70, 68));
    g.setColorAt(1, QColor(16, 14, 14));
    p.setPen(QPen(QColor(8, 6, 6), 1));
    p.setBrush(g);
    p.drawPath(plate);
    DrawBevel(p, plate, 1.5, true);
}

// TORVANE: a black plate carrying four rounded square pieces.
void Torvane(QImage& img, QPointF c) {
    BlackPlate(img, RoundedRect(QRectF(c.x() - 20, c.y() - 20, 40, 40), 6));
    QPainter p(&img);
    Prepare(p);
    const int colours[4] = {1, 2, 3, 4};
    for (int k = 0; k < 4; ++k) {
        const QRectF r(c.x() - 17 + 18 * (k % 2), c.y() - 17 + 18 * (k / 2), 16, 16);
        DrawGlossy(p, RoundedRect(r, 4), colours[k], 5);
    }
}

// PELLORA: a hexagonal cell with six lenses on its corners, in sector colours.
void Pellora(QImage& img, QPointF c) {
    const QPainterPath board = Hexagon(c, 23, 0);
    DrawShadow(img, board, QPointF(2, 3), 3, 150);
    QPainter p(&img);
    Prepare(p);
    const int sectors[6] = {1, 5, 2, 4, 3, 6};
    for (int k = 0; k < 6; ++k) {
        QPainterPath wedge;
        const qreal a0 = qDegreesToRadians(60.0 * k), a1 = qDegreesToRadians(60.0 * (k + 1));
        wedge.moveTo(c);
        wedge.lineTo(c + QPointF(std::cos(a0) * 23, std::sin(a0) * 23));
        wedge.lineTo(c + QPointF(std::cos(a1) * 23, std::sin(a1) * 23));
        wedge.closeSubpath();
        QColor tone = Deep(sectors[k]);
        tone.setAlpha(255);
        p.setPen(Qt::NoPen);
        p.setBrush(tone.darker(130));
        p.drawPath(wedge);
    }
    p.setPen(QPen(QColor(20, 16, 12), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(board);
    DrawBevel(p, board, 1.5, true);
    p.setPen(QPen(QColor(230, 220, 200, 150), 1));
    p.drawPath(Hexagon(c, 11, 30));
    for (int k = 0; k < 6; ++k) {
        const qreal a = qDegreesToRadians(30.0 + 60.0 * k);
        const QPointF at = c + QPointF(std::cos(a) * 11, std::sin(a) * 11);
        // Lens k sits near the sector of its own colour, one still out of place.
        const int colour = sectors[(k + (k == 2 ? 1 : 0)) % 6];
        DrawGlossyDisc(p, QRectF(at.x() - 5, at.y() - 5, 10, 10), colour);
    }
}

// NUBBLER: a round plate with its ring of eight coloured buttons.
void Nubbler(QImage& img, QPointF c) {
    BlackPlate(img, Circle(c, 21));
    QPainter p(&img);
    Prepare(p);
    const int colours[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int k = 0; k < 8; ++k) {
        const qreal a = qDegreesToRadians(-90.0 + 45.0 * k);
        const QPointF at = c + QPointF(std::cos(a) * 14, std::sin(a) * 14);
        DrawGlossyDisc(p, QRectF(at.x() - 5, at.y() - 5, 10, 10), colours[k]);
    }
    DrawGlossy(p, Circle(c, 4), 8, 0);
}

// CIRRELA: two crossing rings of balls.
void Cirrela(QImage& img, QPointF c) {
    const QPointF left = c - QPointF(10, 0), right = c + QPointF(10, 0);
    {
        QPainterPath grooves = Circle(left, 17);
        grooves.addEllipse(right, 17, 17);
        QPainterPathStroker s;
        s.setWidth(11);
        DrawShadow(img, s.createStroke(grooves), QPointF(1.5, 2), 2, 110);
        QPainter p(&img);
        Prepare(p);
        p.setPen(QPen(QColor(28, 20, 14), 11));
        p.setBrush(Qt::NoBrush);
        p.drawPath(grooves);
        p.setPen(QPen(QColor(150, 112, 70, 120), 1));
        p.drawEllipse(left, 22, 22);
        p.drawEllipse(right, 22, 22);
    }
    QPainter p(&img);
    Prepare(p);
    for (int ring = 0; ring < 2; ++ring) {
        const QPointF o = ring == 0 ? left : right;
        for (int k = 0; k < 12; ++k) {
            const qreal a = qDegreesToRadians(30.0 * k + (ring == 0 ? 0 : 180));
            const QPointF at = o + QPointF(std::cos(a) * 17, std::sin(a) * 17);
            // The crossings belong to the left ring.
            if (ring == 1 && std::abs(at.x() - c.x()) < 4) continue;
            const int colour = ring == 0 ? (k % 3 == 0 ? 3 : 1) : (k % 3 == 0 ? 2 : 4);
            DrawGlossyDisc(p, QRectF(at.x() - 4.5, at.y() - 4.5, 9, 9), colour);
        }
    }
}

QImage Splash(int scale) {
    QImage img = MakeTexture(QSize(200, 150), Texture::Wood, QColor(58, 36, 22), QColor(112, 74, 44), 1603u, scale);
    {
        // A warm light from the upper left.
        QPainter p(&img);
        Prepare(p);
        QRadialGradient light(QPointF(60, 30), 170);
        light.setColorAt(0, QColor(255, 220, 160, 70));
        light.setColorAt(1, QColor(255, 220, 160, 0));
        p.fillRect(img.rect(), light);
    }
    Vignette(img, QPointF(100, 75), 130, 110);

    // The toys lie round the name plate, with a few loose pieces between.
    Torvane(img, QPointF(30, 26));
    Nubbler(img, QPointF(170, 27));
    Pellora(img, QPointF(32, 122));
    Cirrela(img, QPointF(152, 124));
    const struct {
        QPointF at;
        int colour;
    } loose[] = {{{78, 20}, 5}, {{96, 31}, 3}, {{118, 17}, 2}, {{82, 127}, 6}, {{100, 138}, 4}};
    for (const auto& piece : loose) {
        const QRectF r(piece.at.x() - 5.5, piece.at.y() - 5.5, 11, 11);
        QPainterPath disc;
        disc.addEllipse(r);
        DrawShadow(img, disc, QPointF(1.5, 2), 2, 140);
        QPainter p(&img);
        Prepare(p);
        DrawGlossyDisc(p, r, piece.colour);
    }

    // The name on a brass plate.
    const QRectF plate(10, 52, 180, 46);
    DrawBrassPlaque(img, plate, 7);
    QPainter p(&img);
    Prepare(p);
    QFont title("DejaVu Serif");
    title.setBold(true);
    title.setPixelSize(20);
    EngraveText(p, QRectF(plate.left(), plate.top() + 4, plate.width(), 24), "Quirko Gyrelle", title);
    QFont sub("DejaVu Sans");
    sub.setBold(true);
    sub.setPixelSize(9);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    EngraveText(p, QRectF(plate.left(), plate.top() + 28, plate.width(), 13), "FOUR PUZZLES  V1.5", sub);
    return img;
}

}  // namespace

bool MakeDialogPictures(const QString& dir, QStringList& files) {
    if (!SaveGlyphs({
        {"glyph_ok", 17, 17, [](QPainter& p) { OkGlyph(p, 17); }},
        {"glyph_ok18", 18, 18, [](QPainter& p) { OkGlyph(p, 18); }},
        {"glyph_cancel", 18, 18, [](QPainter& p) { CancelGlyph(p, 18); }},
        {"glyph_continue", 17, 17, [](QPainter& p) { ContinueGlyph(p, 17); }},
        {"flag_en", 53, 20, EnglishFlags},
        {"flag_de", 80, 20, GermanFlags},
        }, dir, files)) {
        return false;
    }
    const std::pair<const char*, QImage> pictures[] = {
        {"texture.png", Parchment()}, {"splash.png", Splash(1)}, {"splash@2x.png", Splash(2)}};
    for (const auto& [file, img] : pictures) {
        if (!img.save(dir + "/" + file, "PNG")) return false;
        files << file;
    }
    return true;
}

}  // namespace art
