// Pictures of NUBBLER's sheet: a walnut table with a felt tray, nine maple plates that
// turn on it (at rest, 15 and 30 degrees), and the eight buttons.

#include <QLinearGradient>
#include <QRadialGradient>

#include <array>
#include <cmath>

#include "puzzles/Nubbler.h"
#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

using qg::kNubblerButtonSize;
using qg::kNubblerPlateSize;
using qg::NubblerPlates;
using qg::NubblerTurnFrames;

constexpr qreal kPi = 3.14159265358979323846;

// The plate turns around this point of its square (pixel (49, 50), taken at
// its centre).
const QPointF kPivot(49.5, 50.5);
constexpr qreal kPlateRadius = 46.0;
constexpr int kTeeth = 24;          // knurls on the rim; they show the turn
constexpr qreal kSocketRadius = 9.2;  // covers the whole 13 x 13 button place

const QRectF kTray(72.5, 8.5, 315, 315);
const QRectF kPanel(395.5, 8.5, 88, 214);

// Maple of the plates.
const QColor kMapleLight(232, 204, 158);
const QColor kMaple(204, 168, 118);
const QColor kMapleDeep(150, 112, 70);

QPointF Polar(QPointF centre, qreal radius, qreal degreesClockwiseFromTop) {
    const qreal a = degreesClockwiseFromTop * kPi / 180.0;
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

// The plate's outline: a disc with a softly knurled rim, turned by `turn`.
QPainterPath PlateOutline(QPointF centre, qreal turn) {
    QPainterPath path;
    constexpr int kSteps = 240;
    for (int i = 0; i <= kSteps; ++i) {
        const qreal deg = 360.0 * i / kSteps;
        const qreal wave = 0.5 + 0.5 * std::cos((deg - turn) * kPi / 180.0 * kTeeth);
        const QPointF pt = Polar(centre, kPlateRadius - 1.6 * wave, deg);
        if (i == 0) path.moveTo(pt);
        else path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Disc(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A star of `points` rays, the first pointing at `turn`.
QPainterPath Star(QPointF centre, qreal outer, qreal inner, int points, qreal turn) {
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const QPointF pt = Polar(centre, (i % 2 == 0) ? outer : inner, turn + 180.0 * i / points);
        if (i == 0) path.moveTo(pt);
        else path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

// An engraved line: a dark cut with a lit lower edge.
void Engrave(QPainter& p, QPointF a, QPointF b, qreal width) {
    p.setPen(QPen(QColor(255, 240, 210, 90), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a + QPointF(0.6, 0.8), b + QPointF(0.6, 0.8));
    p.setPen(QPen(QColor(90, 56, 24, 170), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

void DrawPlate(QPainter& p, int frame) {
    const qreal turn = 15.0 * frame;
    const QPainterPath outline = PlateOutline(kPivot, turn);

    // Body: lit from the upper left; the light does not turn with the plate.
    QRadialGradient body(kPivot + QPointF(-18, -20), kPlateRadius * 1.7);
    body.setColorAt(0.0, kMapleLight);
    body.setColorAt(0.45, kMaple);
    body.setColorAt(1.0, kMapleDeep);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(outline);

    // Lathe rings: quiet concentric tones.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 9; ++i) {
        const qreal r = 15.0 + 3.3 * i;
        p.setPen(QPen(QColor(120, 80, 40, (i % 2) ? 26 : 16), 1.0));
        p.drawEllipse(kPivot, r, r);
    }

    // Grooves between the buttons, which turn with the plate.
    for (int k = 0; k < 8; ++k) {
        const qreal deg = turn + 22.5 + 45.0 * k;
        Engrave(p, Polar(kPivot, 17.0, deg), Polar(kPivot, 38.0, deg), 1.4);
    }

    // Rim bevel and a thin dark edge.
    DrawBevel(p, outline, 2.5, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(96, 64, 34), 1.0));
    p.drawPath(outline);

    // Hub: a raised boss with a walnut star pointing at the buttons.
    const QPainterPath hub = Disc(kPivot, 12.5);
    QRadialGradient boss(kPivot + QPointF(-5, -5), 18);
    boss.setColorAt(0.0, kMapleLight);
    boss.setColorAt(1.0, kMaple.darker(108));
    p.setPen(Qt::NoPen);
    p.setBrush(boss);
    p.drawPath(hub);
    DrawBevel(p, hub, 2.0, true);
    const QPainterPath star = Star(kPivot, 9.5, 3.6, 8, turn);
    QRadialGradient inlay(kPivot + QPointF(-3, -3), 12);
    inlay.setColorAt(0.0, QColor(122, 78, 46));
    inlay.setColorAt(1.0, QColor(70, 40, 22));
    p.setBrush(inlay);
    p.drawPath(star);
    p.setBrush(QColor(250, 232, 196));
    p.drawEllipse(kPivot, 1.6, 1.6);

    // Sockets: a sunken ring, then the pure black hole the button is ORed into.
    for (const qg::NubblerPoint c : qg::At(NubblerTurnFrames, frame)) {
        const QPointF centre(c.x + 0.5, c.y + 0.5);
        const QPainterPath ring = Disc(centre, kSocketRadius + 1.4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(92, 60, 30));
        p.drawPath(ring);
        DrawBevel(p, ring, 1.6, false);
        p.setBrush(QColor(0, 0, 0));
        p.drawPath(Disc(centre, kSocketRadius));
    }
}

// The button places of a frame are pure black in picture and mask alike.
void BlackenButtonPlaces(QImage& picture, QImage& mask, int frame) {
    const int half = kNubblerButtonSize / 2;
    for (const qg::NubblerPoint c : qg::At(NubblerTurnFrames, frame))
        for (int y = c.y - half; y <= c.y + half; ++y)
            for (int x = c.x - half; x <= c.x + half; ++x) {
                picture.setPixel(x, y, qRgb(0, 0, 0));
                mask.setPixel(x, y, qRgb(0, 0, 0));
            }
}

QImage DrawButton(int colour) {
    const Sprite s = MakeSprite(QSize(kNubblerButtonSize, kNubblerButtonSize), [colour](QPainter& p) {
        QPainterPath disc;
        disc.addEllipse(QRectF(0.4, 0.4, kNubblerButtonSize - 0.8, kNubblerButtonSize - 0.8));
        DrawGlossy(p, disc, colour, 0);
        // The mark goes over the highlight, so it stays readable at this size.
        DrawMark(p, QPointF(6.8, 6.8), 7.5, colour);
    });
    return s.picture;
}

// Two plate edges meeting with a pair of matching buttons: the rule at a glance.
void DrawRuleSign(QPainter& p, QPointF centre) {
    for (int side = -1; side <= 1; side += 2) {
        const QPointF plateCentre = centre + QPointF(side * 30.0, 0);
        QPainterPath arc = Disc(plateCentre, 21.0);
        QPainterPath clip;
        clip.addRect(QRectF(centre.x() - 33, centre.y() - 24, 66, 48));
        arc = arc.intersected(clip);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawPath(arc.translated(1.0, 1.5));
        p.drawPath(arc.translated(2.0, 2.5));
        QRadialGradient body(plateCentre + QPointF(-8, -10), 40);
        body.setColorAt(0.0, kMapleLight);
        body.setColorAt(1.0, kMapleDeep);
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawPath(arc);
        DrawBevel(p, arc, 1.6, true);
        const QPointF button = plateCentre + QPointF(-side * 12.0, 0);
        p.setBrush(QColor(92, 60, 30));
        p.drawEllipse(button, 8.6, 8.6);
        p.setBrush(QColor(0, 0, 0));
        p.drawEllipse(button, 7.6, 7.6);
        QPainterPath disc;
        disc.addEllipse(QRectF(button.x() - 6.1, button.y() - 6.1, 12.2, 12.2));
        DrawGlossy(p, disc, 3, 0);
        DrawMark(p, button + QPointF(0.3, 0.3), 7.5, 3);
    }
}

// An engraved stroke: dark cut, lit lower edge.
void EngravePath(QPainter& p, const QPainterPath& path, qreal width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 112, 74, 200), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path.translated(0.7, 0.9));
    p.setPen(QPen(QColor(30, 18, 10, 230), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// A mouse with the pressing button lit, and the way that button turns a plate.
void DrawTurnSign(QPainter& p, QPointF centre, bool right) {
    const QRectF body(centre.x() - 28, centre.y() - 11, 15, 22);
    QPainterPath mouse;
    mouse.addRoundedRect(body, 7, 7);
    QPainterPath button;
    const QRectF half(right ? body.center().x() : body.left(), body.top(), body.width() / 2, 9);
    button.addRect(half);
    button = button.intersected(mouse);
    p.setPen(Qt::NoPen);
    p.setBrush(kMaple);
    p.drawPath(button);
    EngravePath(p, mouse, 1.5);
    QPainterPath split;
    split.moveTo(body.center().x(), body.top() + 1);
    split.lineTo(body.center().x(), body.top() + 9);
    split.moveTo(body.left() + 1, body.top() + 9);
    split.lineTo(body.right() - 1, body.top() + 9);
    EngravePath(p, split, 1.2);

    // A three-quarter circle with its head at the top.
    const QPointF c = centre + QPointF(14, 0);
    const qreal r = 10.0;
    QPainterPath arrow;
    const qreal sweep = right ? -270.0 : 270.0;  // Qt: positive is anticlockwise
    const qreal startAngle = right ? 0.0 : 180.0;
    arrow.arcMoveTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), startAngle);
    arrow.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), startAngle, sweep);
    const QPointF tip = arrow.currentPosition();
    const qreal dir = right ? 1.0 : -1.0;  // the way the head points along the top
    arrow.moveTo(tip + QPointF(-dir * 4.5, -4.0));
    arrow.lineTo(tip + QPointF(dir * 0.5, 0));
    arrow.lineTo(tip + QPointF(-dir * 4.5, 4.0));
    EngravePath(p, arrow, 1.8);
}

QImage DrawBackground() {
    QImage bg = MakeTexture(QSize(qg::kBoardWidth, qg::kBoardHeight), Texture::Wood, QColor(44, 28, 18),
                            QColor(78, 52, 32), 307);

    // The tray: a felt floor sunk into the table.
    QPainterPath tray;
    tray.addRoundedRect(kTray, 7, 7);
    DrawShadow(bg, tray, QPointF(2, 3), 3, 120);
    {
        const QImage felt = MakeTexture(bg.size(), Texture::Felt, QColor(18, 50, 40), QColor(32, 74, 58), 311);
        QPainter p(&bg);
        Prepare(p);
        p.setClipPath(tray);
        p.drawImage(0, 0, felt);
    }
    // Inner shade along the upper-left wall of the tray.
    {
        QPainter p(&bg);
        Prepare(p);
        p.setClipPath(tray);
        QPainterPath wall;
        wall.addRect(QRectF(0, 0, qg::kBoardWidth, qg::kBoardHeight));
        wall = wall.subtracted(tray.translated(3, 4));
        p.fillPath(wall, QColor(0, 0, 0, 90));
    }

    // Shadows of the plates, which never leave their places.
    QPainterPath plates;
    for (const qg::NubblerPoint at : NubblerPlates) plates.addEllipse(QPointF(at.x, at.y) + kPivot, kPlateRadius, kPlateRadius);
    DrawShadow(bg, plates, QPointF(3, 4), 3, 150);

    QPainter p(&bg);
    Prepare(p);
    DrawBevel(p, tray, 3.0, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(24, 14, 8), 1.0));
    p.drawPath(tray);

    // Brass studs where four plates meet.
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 2; ++col) {
            const QPointF c(80 + 100 * col, 16 + 100 * row);
            QPainterPath stud = Disc(c, 4.5);
            QRadialGradient brass(c + QPointF(-1.5, -1.8), 6);
            brass.setColorAt(0.0, QColor(255, 236, 170));
            brass.setColorAt(0.5, QColor(196, 150, 64));
            brass.setColorAt(1.0, QColor(104, 72, 22));
            p.setPen(QPen(QColor(60, 40, 12), 1.0));
            p.setBrush(brass);
            p.drawPath(stud);
        }

    // The side panel: an inset of lighter wood with the name and the rule.
    QPainterPath panel;
    panel.addRoundedRect(kPanel, 6, 6);
    const QImage lid = MakeTexture(bg.size(), Texture::Wood, QColor(70, 46, 28), QColor(104, 72, 44), 313);
    p.save();
    p.setClipPath(panel);
    p.drawImage(0, 0, lid);
    p.restore();
    DrawBevel(p, panel, 3.0, false);
    p.setPen(QPen(QColor(24, 14, 8), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(panel);

    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    const QRectF title(kPanel.left(), 26, kPanel.width(), 20);
    p.setPen(QColor(150, 112, 74));
    p.drawText(title.translated(0.8, 1), Qt::AlignCenter, "NUBBLER");
    p.setPen(QColor(30, 18, 10));
    p.drawText(title, Qt::AlignCenter, "NUBBLER");
    p.setPen(QPen(QColor(40, 24, 12, 160), 1.0));
    p.drawLine(QPointF(kPanel.left() + 14, 54.5), QPointF(kPanel.right() - 14, 54.5));

    DrawRuleSign(p, QPointF(kPanel.center().x(), 96));
    p.setPen(QPen(QColor(40, 24, 12, 160), 1.0));
    p.drawLine(QPointF(kPanel.left() + 14, 138.5), QPointF(kPanel.right() - 14, 138.5));
    DrawTurnSign(p, QPointF(kPanel.center().x(), 166), false);
    DrawTurnSign(p, QPointF(kPanel.center().x(), 198), true);
    return bg;
}

}  // namespace

QImage MakeNubblerSheet() {
    QImage sheet = NewSheet(qg::kNubblerRecord.sheetMinWidth, qg::kNubblerRecord.sheetMinHeight);
    Put(sheet, DrawBackground(), QPoint(0, 0));
    for (int frame = 0; frame < qg::kNubblerFrameCount; ++frame) {
        Sprite plate = MakeSprite(QSize(kNubblerPlateSize, kNubblerPlateSize), [frame](QPainter& p) { DrawPlate(p, frame); });
        BlackenButtonPlaces(plate.picture, plate.mask, frame);
        Put(sheet, plate.picture, QPoint(qg::kNubblerPlatePictureX, kNubblerPlateSize * frame));
        Put(sheet, plate.mask, QPoint(qg::kNubblerPlateMaskX, kNubblerPlateSize * frame));
    }
    for (int k = 0; k < qg::kNubblerColours; ++k)
        Put(sheet, DrawButton(k + 1),
            QPoint(qg::kNubblerButtonPicture.x + kNubblerButtonSize * k, qg::kNubblerButtonPicture.y));
    return sheet;
}

}  // namespace art
