#include "shell/HintArrow.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qg {
namespace {

constexpr int kMargin = 6;      // between the place and the arc
constexpr int kMaxRadius = 60;  // CIRRELA's rings are large: a smaller arc in their middle
constexpr int kBadge = 30;      // the mouse and its key beside the arc

struct Geometry {
    QPointF centre;
    double radius;
    QRectF badge;
};

Geometry Measure(const HintArrow& a) {
    const QPointF c(a.place.x + a.place.w / 2.0, a.place.y + a.place.h / 2.0);
    const double r = std::min<double>(kMaxRadius, std::min(a.place.w, a.place.h) / 2.0 + kMargin);
    // The badge sits to the upper right of the arc, pulled inside the board.
    QRectF badge(c.x() + r * 0.7, c.y() - r * 0.7 - kBadge, kBadge, kBadge);
    badge.moveLeft(std::clamp(badge.left(), 2.0, kBoardWidth - kBadge - 2.0));
    badge.moveTop(std::clamp(badge.top(), 2.0, kBoardHeight - kBadge - 2.0));
    return {c, r, badge};
}

void Stroke(QPainter& p, const QPainterPath& path, double width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 20, 20, 210), width + 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(120, 230, 255), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

}  // namespace

QRect HintArrowArea(const HintArrow& arrow) {
    const Geometry g = Measure(arrow);
    const QRectF arc(g.centre.x() - g.radius, g.centre.y() - g.radius, 2 * g.radius, 2 * g.radius);
    return arc.united(g.badge).toAlignedRect().adjusted(-10, -10, 10, 10);
}

void PaintHintArrow(QPainter& p, const HintArrow& arrow) {
    const Geometry g = Measure(arrow);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Three quarters of a circle, the head at the end the move turns to.
    const bool anticlockwise = arrow.turn == Turn::Left;
    const double start = 135.0, span = anticlockwise ? 270.0 : -270.0;  // degrees, Qt counts anticlockwise
    const QRectF box(g.centre.x() - g.radius, g.centre.y() - g.radius, 2 * g.radius, 2 * g.radius);
    QPainterPath arc;
    arc.arcMoveTo(box, start);
    arc.arcTo(box, start, span);
    const double end = (start + span) * std::numbers::pi / 180.0;
    const QPointF tip(g.centre.x() + g.radius * std::cos(end), g.centre.y() - g.radius * std::sin(end));
    // The tangent at the tip, in screen coordinates (y down), along the turn.
    const double sign = anticlockwise ? 1.0 : -1.0;
    const QPointF along(-std::sin(end) * sign, -std::cos(end) * sign);
    const QPointF side(-along.y(), along.x());
    const double head = 9;
    QPainterPath tipPath;
    tipPath.moveTo(tip - along * head + side * head * 0.8);
    tipPath.lineTo(tip);
    tipPath.lineTo(tip - along * head - side * head * 0.8);
    Stroke(p, arc, 3);
    Stroke(p, tipPath, 3);

    // The mouse, its pressed button filled, and the key beside it.
    const QRectF mouse(g.badge.left(), g.badge.top() + 2, 16, kBadge - 4);
    p.setPen(QPen(QColor(20, 20, 20), 1.5));
    p.setBrush(QColor(245, 245, 245));
    p.drawRoundedRect(mouse, 7, 7);
    const QRectF button = anticlockwise ? QRectF(mouse.left() + 2, mouse.top() + 2, mouse.width() / 2 - 2, 9)
                                        : QRectF(mouse.center().x(), mouse.top() + 2, mouse.width() / 2 - 2, 9);
    p.setBrush(QColor(40, 140, 220));
    p.setPen(Qt::NoPen);
    p.drawRect(button);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    const QRectF key(mouse.right() + 1, g.badge.top(), g.badge.right() - mouse.right() - 1, kBadge);
    p.setPen(QColor(20, 20, 20));
    p.drawText(key.translated(1, 1), Qt::AlignCenter, anticlockwise ? "J" : "K");
    p.setPen(QColor(255, 255, 255));
    p.drawText(key, Qt::AlignCenter, anticlockwise ? "J" : "K");
    p.restore();
}

}  // namespace qg
