#include "shell/Clock.h"

#include <QPainter>

#include "shell/Pictures.h"

namespace qg {

void TimboxPaint(QImage& box, const QImage& strip, int elapsed) {
    if (box.isNull() || strip.isNull()) return;
    // Elapsed never goes below 0 in play; a damaged value must not pick a
    // cell outside the strip.
    unsigned v = elapsed < 0 ? 0u : static_cast<unsigned>(elapsed);
    int digits[kClockDigits];
    for (int i = kClockDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<int>(v % 10);
        v /= 10;
    }
    QPainter p(&box);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    bool blank = true;
    for (int i = 0; i < kClockDigits; ++i) {
        if (digits[i] != 0) blank = false;
        const int cellX = (blank && i < kClockDigits - 1) ? kBlankCellX : kDigitCellWidth * digits[i];
        p.drawImage(QPoint(kClockPitch * i, 0), strip, QRect(cellX, 0, kDigitCellWidth, kDigitCellHeight));
    }
}

ClockBox::ClockBox(QWidget* parent)
    : QWidget(parent),
      strip_(PictureImage(kDigitStripResource).convertToFormat(QImage::Format_RGB32)),
      image_(kTimboxWidth, kTimboxHeight, QImage::Format_RGB32) {
    image_.fill(Qt::black);
    setFixedSize(kTimboxWidth, kTimboxHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClockBox::Show(int elapsed) {
    TimboxPaint(image_, strip_, elapsed);
    repaint();
}

void ClockBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

}  // namespace qg
