#include "shell/BoardWidget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "core/Puzzle.h"

namespace qg {

BoardBox::BoardBox(QWidget* parent) : QWidget(parent), screen_(kBoardWidth, kBoardHeight) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kBoardWidth, kBoardHeight);
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
