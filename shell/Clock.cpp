#include "shell/Clock.h"

#include <QAccessible>
#include <QAccessibleWidget>

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

namespace {

class ClockAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ClockAccessible(ClockBox* box) : QAccessibleWidget(box, QAccessible::Clock) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Box()->Spoken();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return Box()->Elapsed() / 5.0; }
    void setCurrentValue(const QVariant&) override {}  // a clock is read, not set
    QVariant maximumValue() const override { return 999999 / 5.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.2; }

private:
    const ClockBox* Box() const { return static_cast<const ClockBox*>(widget()); }
};

QAccessibleInterface* ClockFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("qg::ClockBox") && object && object->isWidgetType())
        return new ClockAccessible(static_cast<ClockBox*>(object));
    return nullptr;
}

}  // namespace

ClockBox::ClockBox(QWidget* parent)
    : QWidget(parent),
      strip_(PictureImage(kDigitStripResource).convertToFormat(QImage::Format_RGB32)),
      image_(kTimboxWidth, kTimboxHeight, QImage::Format_RGB32) {
    static const bool factory = [] {
        QAccessible::installFactory(ClockFactory);
        return true;
    }();
    (void)factory;
    image_.fill(Qt::black);
    setFixedSize(kTimboxWidth, kTimboxHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClockBox::Show(int elapsed, const QString& spoken) {
    TimboxPaint(image_, strip_, elapsed);
    repaint();
    elapsed_ = elapsed;
    spoken_ = spoken;
    const int second = elapsed / 5;
    if (second != announcedSecond_) {
        announcedSecond_ = second;
        QAccessibleValueChangeEvent event(this, elapsed / 5.0);
        QAccessible::updateAccessibility(&event);
    }
}

void ClockBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

}  // namespace qg
