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

// The `timbox` paint box: keeps the clock's picture and shows it. To
// assistive tools it is a clock whose value is the time in seconds, to the
// fifth of a second the display counts in; a change is announced at most
// once a second while it counts, and whenever it goes back.
class ClockBox : public QWidget {
    Q_OBJECT
public:
    explicit ClockBox(QWidget* parent = nullptr);
    // Paints the digits of `elapsed` and shows them at once; `spoken` is the
    // time as a screen reader says it ("7.4 s").
    void Show(int elapsed, const QString& spoken = QString());
    const QImage& Image() const { return image_; }
    int Elapsed() const { return elapsed_; }
    const QString& Spoken() const { return spoken_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage strip_;
    QImage image_;
    int elapsed_ = 0;
    QString spoken_;
    int announcedSecond_ = -1;
};

}  // namespace qg
