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
QRect RingArea(const Rect& r) { return QRect(r.x, r.y, r.w, r.h).adjusted(-6, -6, 6, 6); }

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
        // A light line on a dark ring reads on every board and piece colour.
        // On whole pixels, and the line left out wherever the picture under
        // it is light itself (CIRRELA's rims): there the dark ring shows.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        const QRect ring = QRect(cursor_->x, cursor_->y, cursor_->w, cursor_->h).adjusted(-1, -1, 1, 1);
        p.setPen(QPen(QColor(20, 20, 20), kRingWidth + 4));
        p.drawEllipse(ring);
        const QRect area = RingArea(*cursor_);
        QImage line(area.size(), QImage::Format_ARGB32_Premultiplied);
        line.fill(Qt::transparent);
        {
            QPainter lp(&line);
            lp.translate(-area.topLeft());
            lp.setPen(QPen(QColor(255, 244, 160), 1));
            lp.drawEllipse(ring);
        }
        for (int y = 0; y < line.height(); ++y)
            for (int x = 0; x < line.width(); ++x) {
                const int bx = area.x() + x, by = area.y() + y;
                if (qAlpha(line.pixel(x, y)) == 0 || bx < 0 || by < 0 || bx >= screen_.width() || by >= screen_.height()) continue;
                const std::uint32_t under = screen_.pixel(bx, by);
                const int luma = (54 * ((under >> 16) & 0xFF) + 183 * ((under >> 8) & 0xFF) + 19 * (under & 0xFF)) >> 8;
                if (luma > 140) line.setPixel(x, y, 0);
            }
        p.drawImage(area.topLeft(), line);
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
