// Pictures of CIRRELA's sheet: a figure-eight wooden tray with two felt-lined ring
// tracks, the four small pictures of the solved patterns, and per level four
// glossy balls with their mask.

#include <array>
#include <cmath>
#include <numbers>

#include "puzzles/Cirrela.h"
#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

constexpr QPointF kRingCentre[2] = {{qg::kCirrelaRingX[0], qg::kCirrelaRingY}, {qg::kCirrelaRingX[1], qg::kCirrelaRingY}};
constexpr qreal kRingRadius = qg::kCirrelaRadius;
constexpr qreal kTrackHalfWidth = 17;  // the track carries the smallest balls, the big ones ride on it
constexpr qreal kTrayRadius = 128;
constexpr QRect kPreviewPlace(qg::kCirrelaPreviewPlace.x, qg::kCirrelaPreviewPlace.y, qg::kCirrelaPreviewPlace.w,
                              qg::kCirrelaPreviewPlace.h);

// The target colour on position j of ring 0 or 1 of a level (1..4).
int TargetColour(int level, int ring, int j) {
    const int cell = qg::At(qg::At(qg::At(qg::CirrelaRings, level - 1), ring), j);
    return qg::At(qg::At(qg::CirrelaTarget, level - 1), cell);
}

QPainterPath Disc(QPointF c, qreal r) {
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

// The tray: both ring discs joined by a soft waist, so the outline has no cusps.
QPainterPath TrayShape() {
    QPainterPath tray = Disc(kRingCentre[0], kTrayRadius).united(Disc(kRingCentre[1], kTrayRadius));
    QPainterPath waist;
    waist.addEllipse(QPointF(249, 166), 96, 116);
    return tray.united(waist).simplified();
}

QPainterPath TrackShape() {
    QPainterPath track;
    for (const QPointF& c : kRingCentre) {
        QPainterPath ring = Disc(c, kRingRadius + kTrackHalfWidth).subtracted(Disc(c, kRingRadius - kTrackHalfWidth));
        track = track.united(ring);
    }
    return track.simplified();
}

QImage Background() {
    QImage bg = MakeTexture(QSize(500, 333), Texture::Wood, QColor(46, 31, 22), QColor(78, 54, 36), 4401);

    // The tray lies on the table and casts its shadow to the lower right.
    const QPainterPath tray = TrayShape();
    DrawShadow(bg, tray, QPointF(5, 6), 6, 150);
    const QImage trayWood = MakeTexture(QSize(500, 333), Texture::Wood, QColor(108, 74, 44), QColor(146, 104, 64), 4402);
    FillClipped(bg, tray, trayWood);

    // Hubs at the ring centres, turned from the same wood, with a brass pin.
    for (const QPointF& c : kRingCentre) {
        const QPainterPath hub = Disc(c, 15);
        DrawShadow(bg, hub, QPointF(2, 3), 3, 120);
        QPainter p(&bg);
        Prepare(p);
        QRadialGradient wood(c - QPointF(5, 5), 22);
        wood.setColorAt(0, QColor(170, 124, 78));
        wood.setColorAt(1, QColor(104, 70, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(wood);
        p.drawPath(hub);
        DrawBevel(p, hub, 2, true);
        QRadialGradient brass(c - QPointF(1.5, 1.5), 5);
        brass.setColorAt(0, QColor(250, 226, 150));
        brass.setColorAt(1, QColor(140, 104, 40));
        p.setBrush(brass);
        p.setPen(QPen(QColor(90, 64, 24), 1));
        p.drawEllipse(c, 4, 4);
    }

    // The two tracks, cut into the tray and lined with dark felt.
    const QPainterPath track = TrackShape();
    const QImage felt = MakeTexture(QSize(500, 333), Texture::Felt, QColor(30, 32, 38), QColor(50, 52, 60), 4403);
    FillClipped(bg, track, felt);
    InnerShadow(bg, track, 3, 3, 170);

    // The tray's rim and the tracks' edges.
    {
        QPainter p(&bg);
        Prepare(p);
        DrawBevel(p, tray, 3, true);
        DrawBevel(p, track, 2, false);
    }

    // An inset panel at the upper right for the picture of the pattern.
    const QRectF panelRect(kPreviewPlace.adjusted(-5, -5, 5, 5));
    QPainterPath panel;
    panel.addRoundedRect(panelRect, 4, 4);
    FillClipped(bg, panel, felt);
    InnerShadow(bg, panel, 2, 2, 150);
    {
        QPainter p(&bg);
        Prepare(p);
        DrawBevel(p, panel, 2, false);
    }
    return bg;
}

// A level's solved pattern, small: the two tracks and a dot for every ball.
QImage Preview(int levelNumber) {
    const qg::CirrelaLevelRow& level = qg::At(qg::CirrelaLevelParams, levelNumber - 1);
    QImage img(kPreviewPlace.size(), QImage::Format_RGB32);
    const QImage felt = MakeTexture(QSize(500, 333), Texture::Felt, QColor(30, 32, 38), QColor(50, 52, 60), 4403);
    {
        QPainter p(&img);
        p.drawImage(QPoint(0, 0), felt, kPreviewPlace);
    }
    QPainter p(&img);
    Prepare(p);
    // The board's rings scaled into the panel, centred.
    const qreal scale = 0.17;
    const QPointF mid(36, 22.5);
    const qreal r = kRingRadius * scale;
    const qreal dot = std::min<qreal>(8.0, 2 * std::numbers::pi * r / level.balls * 0.86);
    const QPointF centres[2] = {mid + (kRingCentre[0] - QPointF(249, 166)) * scale,
                                mid + (kRingCentre[1] - QPointF(249, 166)) * scale};
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(88, 90, 100), 1.2));
    for (const QPointF& c : centres) p.drawEllipse(c, r, r);
    for (int ring = 0; ring < 2; ++ring) {
        for (int j = 0; j < level.balls; ++j) {
            // Crossing balls are painted by both rings, in their one colour.
            const int colour = TargetColour(levelNumber, ring, j);
            const qreal a = (qg::kCirrelaStartAngle + j * 360.0 / level.balls) * std::numbers::pi / 180.0;
            const QPointF c = centres[ring] + QPointF(r * std::cos(a), -r * std::sin(a));
            QRadialGradient g(c - QPointF(dot * 0.2, dot * 0.2), dot * 0.7);
            g.setColorAt(0, Light(colour));
            g.setColorAt(0.5, Base(colour));
            g.setColorAt(1, Deep(colour));
            p.setPen(QPen(Deep(colour).darker(130), 0.8));
            p.setBrush(g);
            p.drawEllipse(c, dot / 2, dot / 2);
        }
    }
    return img;
}

}  // namespace

QImage MakeCirrelaSheet() {
    QImage sheet = NewSheet(qg::kCirrelaRecord.sheetMinWidth, qg::kCirrelaRecord.sheetMinHeight);
    QImage bg = Background();
    const QImage first = Preview(1);
    {
        // The background carries level 1's picture until the game paints its own.
        QPainter p(&bg);
        p.drawImage(kPreviewPlace.topLeft(), first);
    }
    Put(sheet, bg, QPoint(0, 0));

    for (int l = 0; l < qg::kCirrelaLevels; ++l) {
        const qg::CirrelaLevelRow& level = qg::At(qg::CirrelaLevelParams, l);
        Put(sheet, Preview(l + 1), QPoint(qg::kCirrelaPreviewX, qg::kCirrelaPreviewH * l));
        const int s = level.ballSize;
        const QPoint row(level.rowX, level.rowY);
        Sprite ball;
        for (int colour = 1; colour <= 4; ++colour) {
            // The disc fills its box, so neighbours near the crossings just touch.
            ball = MakeSprite(QSize(s, s), [&](QPainter& p) {
                QPainterPath disc;
                disc.addEllipse(QRectF(0, 0, s, s));
                DrawGlossy(p, disc, colour, s * 0.36);
            });
            Put(sheet, ball.picture, row + QPoint((colour - 1) * s, 0));
        }
        Put(sheet, ball.mask, row + QPoint(4 * s, 0));  // the same disc for every colour
    }
    return sheet;
}

}  // namespace art
