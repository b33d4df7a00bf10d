#include "shell/BoardWidget.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

#include "core/Puzzle.h"

namespace qg {

namespace {

constexpr int kRingWidth = 3;

// The ring and its dark edge lie within this rectangle around the place.
QRect RingArea(const Rect& r) { return QRect(r.x, r.y, r.w, r.h).adjusted(-4, -4, 4, 4); }

}  // namespace

BoardBox::BoardBox(QWidget* parent) : QWidget(parent), screen_(kBoardWidth, kBoardHeight) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kBoardWidth, kBoardHeight);
    setFocusPolicy(Qt::StrongFocus);
}

void BoardBox::ShowCursor(std::optional<Rect> r) {
    const std::optional<Rect> old = std::exchange(cursor_, r);
    if (old) repaint(RingArea(*old));  // the screen image alone, where the ring was
    if (cursor_) repaint(RingArea(*cursor_));
}

void BoardBox::ShowHint(std::optional<HintArrow> arrow) {
    const std::optional<HintArrow> old = std::exchange(hint_, arrow);
    if (old) repaint(HintArrowArea(*old));
    if (hint_) repaint(HintArrowArea(*hint_));
}

void BoardBox::Present(const Rect& r) {
    repaint(QRect(r.x, r.y, r.w, r.h));
}

void BoardBox::paintEvent(QPaintEvent* event) {
    const QImage image(reinterpret_cast<const uchar*>(screen_.data()), screen_.width(), screen_.height(),
                       screen_.bytesPerLine(), QImage::Format_RGB32);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect r = event->rect();
    p.drawImage(r, image, r);
    if (cursor_ && r.intersects(RingArea(*cursor_))) {
        // A light ring on a dark one reads on every board and piece colour.
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        const QRectF ring = QRectF(cursor_->x, cursor_->y, cursor_->w, cursor_->h).adjusted(-1, -1, 1, 1);
        p.setPen(QPen(QColor(20, 20, 20, 200), kRingWidth + 2));
        p.drawEllipse(ring);
        p.setPen(QPen(QColor(255, 244, 160), kRingWidth - 1));
        p.drawEllipse(ring);
    }
    if (hint_ && r.intersects(HintArrowArea(*hint_))) PaintHintArrow(p, *hint_);
}

void BoardBox::keyPressEvent(QKeyEvent* event) {
    if (onKey && onKey(event)) return;
    QWidget::keyPressEvent(event);
}

void BoardBox::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (onMouseDown) onMouseDown(event->button(), at.x(), at.y());
}

RulesShape::RulesShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void RulesShape::mousePressEvent(QMouseEvent* event) { event->accept(); }
void RulesShape::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void RulesShape::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

}  // namespace qg
