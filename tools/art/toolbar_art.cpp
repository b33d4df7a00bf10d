// Toolbar button pictures and the window icon: small glyphs in the toys'
// colours, drawn for 20 x 20 pixels (the quirko button 24 x 20).

#include <QPainterPath>
#include <QtMath>

#include <array>
#include <functional>

#include "puzzles/PuzzleRecords.h"
#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

const QColor kInk(70, 52, 36);       // the toolbar's dark brown

void Arrowhead(QPainter& p, QPointF tip, qreal angleDeg, qreal size, QColor c) {
    const qreal a = qDegreesToRadians(angleDeg);
    QPolygonF head;
    head << tip << tip - QPointF(std::cos(a - 0.5) * size, std::sin(a - 0.5) * size)
         << tip - QPointF(std::cos(a + 0.5) * size, std::sin(a + 0.5) * size);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(head);
}

void Mix(QPainter& p) {
    // Two arrows chasing each other round: a new task.
    QPen pen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3, 14, 14), 30 * 16, 140 * 16);
    p.drawArc(QRectF(3, 3, 14, 14), 210 * 16, 140 * 16);
    Arrowhead(p, QPointF(3.6, 12.0), 100, 5, kInk);
    Arrowhead(p, QPointF(16.4, 8.0), -80, 5, kInk);
    DrawGlossyDisc(p, QRectF(7, 7, 6, 6), 1);
}

void Option(QPainter& p) {
    // Upper-right half raises, lower-left half lowers.
    QPolygonF upper, lower;
    upper << QPointF(2, 2) << QPointF(18, 2) << QPointF(18, 18);
    lower << QPointF(2, 2) << QPointF(2, 18) << QPointF(18, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(226, 214, 190));
    p.drawPolygon(upper);
    p.setBrush(QColor(190, 172, 142));
    p.drawPolygon(lower);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 15, 15));
    p.drawLine(QPointF(2.5, 2.5), QPointF(17.5, 17.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 120, 50));
    QPolygonF up;
    up << QPointF(13, 4) << QPointF(16.5, 9) << QPointF(9.5, 9);
    p.drawPolygon(up);
    p.setBrush(QColor(170, 40, 36));
    QPolygonF down;
    down << QPointF(7, 16) << QPointF(3.5, 11) << QPointF(10.5, 11);
    p.drawPolygon(down);
}

void PauseGlyph(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(5, 4, 3.5, 12), 1, 1);
    p.drawRoundedRect(QRectF(11.5, 4, 3.5, 12), 1, 1);
}

void Sound(QPainter& p) {
    QPolygonF speaker;
    speaker << QPointF(3, 8) << QPointF(6, 8) << QPointF(10, 4) << QPointF(10, 16) << QPointF(6, 12) << QPointF(3, 12);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(214, 196, 160));
    p.drawPolygon(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(8, 6, 6, 8), -50 * 16, 100 * 16);
    p.drawArc(QRectF(8, 3, 10, 14), -50 * 16, 100 * 16);
}

void Music(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(6, 15), 3, 2.3);
    p.drawEllipse(QPointF(14, 13), 3, 2.3);
    p.setPen(QPen(kInk, 1.6));
    p.drawLine(QPointF(8.6, 15), QPointF(8.6, 4));
    p.drawLine(QPointF(16.6, 13), QPointF(16.6, 2.5));
    p.setPen(QPen(kInk, 2.6));
    p.drawLine(QPointF(8.6, 4.5), QPointF(16.6, 3));
}

void HighScore(QPainter& p) {
    // A small gold cup.
    QPainterPath cup;
    cup.moveTo(5, 3);
    cup.lineTo(15, 3);
    cup.cubicTo(15, 10, 12, 12, 10, 12);
    cup.cubicTo(8, 12, 5, 10, 5, 3);
    p.setPen(QPen(QColor(120, 84, 10), 1));
    QLinearGradient g(5, 3, 15, 12);
    g.setColorAt(0, QColor(255, 236, 150));
    g.setColorAt(1, QColor(196, 140, 20));
    p.setBrush(g);
    p.drawPath(cup);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2, 4, 5, 5), 90 * 16, 180 * 16);
    p.drawArc(QRectF(13, 4, 5, 5), -90 * 16, 180 * 16);
    p.setBrush(QColor(196, 140, 20));
    p.drawRect(QRectF(9, 12, 2, 3));
    p.drawRoundedRect(QRectF(6, 15, 8, 2.5), 1, 1);
}

void ExitGlyph(QPainter& p) {
    // A door, left ajar, with the way out.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(150, 104, 60));
    p.drawRect(QRectF(3.5, 2.5, 9, 15));
    QPolygonF leaf;
    leaf << QPointF(3.5, 2.5) << QPointF(8.5, 4.5) << QPointF(8.5, 19) << QPointF(3.5, 17.5);
    p.setBrush(QColor(196, 150, 96));
    p.drawPolygon(leaf);
    p.setPen(QPen(QColor(170, 40, 36), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 10), QPointF(17.5, 10));
    Arrowhead(p, QPointF(19, 10), 0, 4.5, QColor(170, 40, 36));
}

void TorvaneGlyph(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 22, 22));
    p.drawRoundedRect(QRectF(1, 1, 18, 18), 4, 4);
    const int colours[4] = {1, 3, 2, 4};
    for (int k = 0; k < 4; ++k) DrawGlossyDisc(p, QRectF(2.5 + 8 * (k % 2), 2.5 + 8 * (k / 2), 7, 7), colours[k]);
}

void PelloraGlyph(QPainter& p) {
    QPolygonF hex;
    for (int k = 0; k < 6; ++k) hex << QPointF(10 + 9 * std::cos(qDegreesToRadians(60.0 * k)), 10 + 9 * std::sin(qDegreesToRadians(60.0 * k)));
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(60, 52, 46));
    p.drawPolygon(hex);
    for (int k = 0; k < 6; ++k) {
        const QPointF c(10 + 5.6 * std::cos(qDegreesToRadians(60.0 * k + 30)), 10 + 5.6 * std::sin(qDegreesToRadians(60.0 * k + 30)));
        DrawGlossyDisc(p, QRectF(c.x() - 2.6, c.y() - 2.6, 5.2, 5.2), k + 1);
    }
}

void NubblerGlyph(QPainter& p) {
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 9; ++k) {
        const QRectF plate(1 + 6 * (k % 3), 1 + 6 * (k / 3), 6, 6);
        p.setBrush(QColor(96, 80, 64));
        p.drawEllipse(plate.adjusted(0.3, 0.3, -0.3, -0.3));
        DrawGlossyDisc(p, plate.adjusted(1.5, 1.5, -1.5, -1.5), k % 4 + 1);
    }
}

void CirrelaGlyph(QPainter& p) {
    for (int ring = 0; ring < 2; ++ring) {
        const QPointF c(ring ? 13.0 : 7.0, 10.0);
        for (int k = 0; k < 8; ++k) {
            const QPointF b(c.x() + 5.4 * std::cos(qDegreesToRadians(45.0 * k)), c.y() + 5.4 * std::sin(qDegreesToRadians(45.0 * k)));
            DrawGlossyDisc(p, QRectF(b.x() - 2, b.y() - 2, 4, 4), ring ? 3 : 1);
        }
    }
}

void Tongue(QPainter& p) {
    // Two speech bubbles: two languages.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(240, 232, 214));
    p.drawRoundedRect(QRectF(1.5, 2.5, 11, 8), 3, 3);
    p.setBrush(QColor(206, 226, 246));
    p.drawRoundedRect(QRectF(7.5, 8.5, 11, 8), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int k = 0; k < 3; ++k) {
        p.drawEllipse(QPointF(4.5 + 2.5 * k, 6.5), 0.9, 0.9);
        p.drawEllipse(QPointF(10.5 + 2.5 * k, 12.5), 0.9, 0.9);
    }
}

void CircleLetter(QPainter& p, int colour, const QString& letter, bool serif) {
    DrawGlossy(p, [] {
        QPainterPath c;
        c.addEllipse(QRectF(1.5, 1.5, 17, 17));
        return c;
    }(), colour, 0);
    QFont f(serif ? "DejaVu Serif" : "DejaVu Sans");
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(1.5, 1.5, 17, 17), Qt::AlignCenter, letter);
}

void Quirko(QPainter& p) {
    // The maker's mark: a glossy Q with a swirl.
    DrawGlossy(p, [] {
        QPainterPath c;
        c.addEllipse(QRectF(3, 1, 18, 18));
        return c;
    }(), 5, 0);
    p.setPen(QPen(QColor(255, 250, 240), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(7.5, 5.5, 9, 9));
    p.drawLine(QPointF(14, 12), QPointF(18, 17));
}

void AppIcon(QPainter& p) {
    p.scale(3.2, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(74, 54, 38));
    p.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 4, 4);
    const int colours[4] = {1, 2, 3, 4};
    for (int k = 0; k < 4; ++k) DrawGlossyDisc(p, QRectF(2.5 + 8 * (k % 2), 2.5 + 8 * (k / 2), 7, 7), colours[k]);
}

}  // namespace

bool MakeToolbarPictures(const QString& dir, QStringList& files) {
    bool ok = SaveGlyphs({
        {"mix", 20, 20, Mix},
        {"option", 20, 20, Option},
        {"pause", 20, 20, PauseGlyph},
        {"sound", 20, 20, Sound},
        {"music", 20, 20, Music},
        {"highscore", 20, 20, HighScore},
        {"exit", 20, 20, ExitGlyph},
        }, dir, files);
    // The puzzle buttons, named by their records, in GameIndex order.
    const std::array<void (*)(QPainter&), qg::kPuzzleCount> puzzleGlyphs = {TorvaneGlyph, PelloraGlyph, NubblerGlyph,
                                                                            CirrelaGlyph};
    for (int game = 0; ok && game < qg::kPuzzleCount; ++game)
        ok = SaveGlyphs({{qg::Record(game).buttonPicture, 20, 20, qg::At(puzzleGlyphs, game)}}, dir, files);
    return ok && SaveGlyphs({
        {"tongue", 20, 20, Tongue},
        {"help", 20, 20, [](QPainter& p) { CircleLetter(p, 3, "?", false); }},
        {"info", 20, 20, [](QPainter& p) { CircleLetter(p, 4, "i", true); }},
        {"quirko", 24, 20, Quirko},
        {"icon", 64, 64, AppIcon},
        }, dir, files);
}

}  // namespace art
