#pragma once
// The toolbar clock: six digits from the digit strip, showing the current
// session's Elapsed in 200 ms ticks.

#include <QImage>
#include <QWidget>

namespace qg {

// The digit strip: cells 11 x 20, the digit d at x = 11 * d, blank at x = 110.
inline constexpr int kDigitCellWidth = 11;
inline constexpr int kDigitCellHeight = 20;
inline constexpr int kBlankCellX = 110;
inline constexpr int kClockDigits = 6;
inline constexpr int kClockPitch = 13;  // 11-pixel cells with 2-pixel gaps
inline constexpr int kTimboxWidth = 77;
inline constexpr int kTimboxHeight = 20;
inline constexpr int kTimerIntervalMs = 200;
inline constexpr const char* kDigitStripResource = ":/pictures/digits.png";

// Paints `elapsed` into `box` from `strip`: six digits, most significant
// first, higher digits dropped; leading zeros blank, the last digit always
// shown. The gaps between the cells are left as they are.
void TimboxPaint(QImage& box, const QImage& strip, int elapsed);

// The `timbox` paint box: keeps the clock's picture and shows it.
class ClockBox : public QWidget {
public:
    explicit ClockBox(QWidget* parent = nullptr);
    // Paints the digits of `elapsed` and shows them at once.
    void Show(int elapsed);
    const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage strip_;
    QImage image_;
};

}  // namespace qg
