// Pictures of TORVANE's sheet: a wooden table with a felt mat, five black turning
// plates, the sunken target panel and the name plaque; below the board the
// four glossy pieces, the four target tiles and their two masks.

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>

#include "puzzles/Torvane.h"
#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {
namespace {

constexpr QRectF kMat(22, 22, 286, 286);            // felt under the plates
// Plates are rounded so far that the middle plate leaves the hubs of the
// corner plates free, and the corner plates do not touch each other.
constexpr qreal kPlateHalf = 59;
constexpr qreal kPlateCorner = 38;
constexpr QRectF kPanelFrame(320, 11, 166, 166);     // raised wooden frame of the target
constexpr QRectF kPanelWell(328, 19, 150, 150);      // the sunken well the tiles lie in
constexpr QRectF kPlaque(316, 258, 152, 46);         // name plaque, inside the rules hint area
constexpr qreal kPieceDiameter = 48;
constexpr qreal kSocketRadius = 22;                  // hidden under a resting piece

QPainterPath PlateShape(int plate) {
    const qg::TorvanePlate& p = qg::At(qg::kTorvanePlates, plate);
    return RoundedRect(QRectF(p.hubX - kPlateHalf, p.hubY - kPlateHalf, 2 * kPlateHalf, 2 * kPlateHalf), kPlateCorner);
}

void DrawTable(QImage& sheet) {
    Put(sheet, MakeTexture(QSize(qg::kBoardWidth, qg::kBoardHeight), Texture::Wood, QColor(50, 32, 20), QColor(86, 58, 36), 41),
        QPoint(0, 0));
    // Only the board part of the sheet: the sprites below stay untouched.
    QImage table = sheet.copy(0, 0, qg::kBoardWidth, qg::kBoardHeight);
    Vignette(table, QPointF(250, 160), 330, 70);
    Put(sheet, table, QPoint(0, 0));
}

void DrawMat(QImage& sheet) {
    const QPainterPath mat = RoundedRect(kMat, 9);
    DrawShadow(sheet, mat, QPointF(3, 4), 4, 130);
    FillClipped(sheet, mat, MakeTexture(sheet.size(), Texture::Felt, QColor(16, 46, 34), QColor(30, 70, 52), 17));
    QPainter p(&sheet);
    Prepare(p);
    DrawBevel(p, mat, 2, true);
    // The stitched seam round the edge.
    QPen seam(QColor(70, 112, 88, 150), 1.0, Qt::CustomDashLine, Qt::RoundCap);
    seam.setDashPattern({3, 3});
    p.setPen(seam);
    p.setBrush(Qt::NoBrush);
    p.drawPath(RoundedRect(kMat.adjusted(6.5, 6.5, -6.5, -6.5), 5));
}

void DrawSocket(QPainter& p, QPointF c) {
    QRadialGradient g(c + QPointF(4, 4), kSocketRadius * 1.3);
    g.setColorAt(0.0, QColor(30, 30, 34));
    g.setColorAt(1.0, QColor(8, 8, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, kSocketRadius, kSocketRadius);
    QPainterPath rim;
    rim.addEllipse(c, kSocketRadius, kSocketRadius);
    DrawBevel(p, rim, 1.5, false);
}

// The brass knob on the hub: the place to press.
void DrawHub(QPainter& p, QPointF c) {
    p.setPen(QPen(QColor(6, 6, 8), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 13, 13);  // the groove the plate turns in
    QRadialGradient g(c - QPointF(3, 3), 13);
    g.setColorAt(0.0, QColor(250, 226, 150));
    g.setColorAt(0.5, QColor(196, 150, 66));
    g.setColorAt(1.0, QColor(104, 70, 22));
    p.setBrush(g);
    p.setPen(QPen(QColor(70, 46, 12), 1));
    p.drawEllipse(c, 10, 10);
    // A slotted screw head, turned a little.
    p.setPen(QPen(QColor(78, 52, 16), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4.5, 2.5), c + QPointF(4.5, -2.5));
    p.setPen(QPen(QColor(255, 240, 190, 150), 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4, 4), c + QPointF(4.5, -0.5));
}

void DrawPlate(QImage& sheet, int plate) {
    const QPainterPath shape = PlateShape(plate);
    DrawShadow(sheet, shape, QPointF(4, 5), 5, 170);
    const qg::TorvanePlate& hub = qg::At(qg::kTorvanePlates, plate);
    const QPointF c(hub.hubX, hub.hubY);
    QPainter p(&sheet);
    Prepare(p);
    QLinearGradient body(c - QPointF(kPlateHalf, kPlateHalf), c + QPointF(kPlateHalf, kPlateHalf));
    body.setColorAt(0.0, QColor(48, 48, 54));
    body.setColorAt(0.5, QColor(26, 26, 30));
    body.setColorAt(1.0, QColor(12, 12, 14));
    p.setPen(QPen(QColor(4, 4, 5), 1));
    p.setBrush(body);
    p.drawPath(shape);
    DrawBevel(p, shape, 2.5, true);
    for (const qg::TorvaneOffset& o : qg::kTorvaneTurnFrames[0]) DrawSocket(p, c + QPointF(o.dx, o.dy));
    DrawHub(p, c);
}

void DrawTargetPanel(QImage& sheet) {
    const QPainterPath frame = RoundedRect(kPanelFrame, 8);
    DrawShadow(sheet, frame, QPointF(3, 4), 4, 150);
    FillClipped(sheet, frame,
                    MakeTexture(sheet.size(), Texture::Wood, QColor(92, 62, 38), QColor(128, 90, 56), 73));
    {
        QPainter p(&sheet);
        Prepare(p);
        DrawBevel(p, frame, 2.5, true);
    }
    const QPainterPath well = RoundedRect(kPanelWell, 4);
    FillClipped(sheet, well, MakeTexture(sheet.size(), Texture::Felt, QColor(14, 16, 20), QColor(28, 32, 38), 29));
    InnerShadow(sheet, well, 3, 3, 200);
    QPainter p(&sheet);
    Prepare(p);
    DrawBevel(p, well, 2, false);
}

void DrawPlaque(QImage& sheet) {
    DrawBrassPlaque(sheet, kPlaque, 5);
    QPainter p(&sheet);
    Prepare(p);
    for (qreal x : {kPlaque.left() + 9, kPlaque.right() - 9}) {
        const QPointF c(x, kPlaque.center().y());
        p.setPen(QPen(QColor(84, 56, 18), 1));
        p.setBrush(QColor(150, 110, 46));
        p.drawEllipse(c, 3, 3);
        p.drawLine(c + QPointF(-2, 0), c + QPointF(2, 0));
    }
    QFont font("DejaVu Serif");
    font.setPixelSize(19);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    EngraveText(p, kPlaque.adjusted(16, 0, -16, 0), "TORVANE", font);
}

void DrawBackground(QImage& sheet) {
    DrawTable(sheet);
    DrawMat(sheet);
    // The middle plate lies over the inner corners of the other four.
    for (int plate : {0, 1, 3, 4, 2}) DrawPlate(sheet, plate);
    DrawTargetPanel(sheet);
    DrawPlaque(sheet);
}

void DrawSprites(QImage& sheet) {
    const int row = qg::kTorvaneSpriteRow;
    Sprite mask;
    for (int colour = 1; colour <= 4; ++colour) {
        const qreal inset = (qg::kTorvanePieceSize - kPieceDiameter) / 2.0;
        const Sprite piece = MakeSprite(QSize(qg::kTorvanePieceSize, qg::kTorvanePieceSize), [&](QPainter& p) {
            DrawGlossyDisc(p, QRectF(inset, inset, kPieceDiameter, kPieceDiameter), colour);
        });
        Put(sheet, piece.picture, QPoint(qg::TorvanePieceSheetX(colour), row));
        mask = piece;
    }
    Put(sheet, mask.mask, QPoint(qg::kTorvanePieceMaskX, row));

    const int t = qg::kTorvaneTileSize;
    for (int colour = 1; colour <= 4; ++colour) {
        const Sprite tile = MakeSprite(QSize(t, t), [&](QPainter& p) {
            DrawGlossy(p, RoundedRect(QRectF(0.5, 0.5, t - 1, t - 1), 6), colour, 13);
        });
        Put(sheet, tile.picture, QPoint(qg::TorvaneTileSheetX(colour), row));
        mask = tile;
    }
    Put(sheet, mask.mask, QPoint(qg::kTorvaneTileMaskX, row));
}

}  // namespace

QImage MakeTorvaneSheet() {
    QImage sheet = NewSheet(qg::kTorvaneRecord.sheetMinWidth, qg::kTorvaneRecord.sheetMinHeight);
    DrawBackground(sheet);
    DrawSprites(sheet);
    return sheet;
}

}  // namespace art
