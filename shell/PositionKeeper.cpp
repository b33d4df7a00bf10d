#include "shell/PositionKeeper.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace qg {

namespace {

constexpr int kPlacementItems = 7;
constexpr int kLeftItem = 3;  // then top, right, bottom

}  // namespace

QPoint PlaceWindow(const QString& stored, QSize frame, const QRect& screen) {
    const QStringList items = stored.split(',');
    if (items.size() == kPlacementItems && items[0] == QString::number(kPlacementMarker)) {
        const std::optional<int> left = ParseWholeNumber(items[kLeftItem]);
        const std::optional<int> top = ParseWholeNumber(items[kLeftItem + 1]);
        if (left && top) {
            // 64 bits: a hand-made value near the ends of int must not wrap.
            long long x = *left, y = *top;
            const long long screenRight = static_cast<long long>(screen.x()) + screen.width();
            const long long screenBottom = static_cast<long long>(screen.y()) + screen.height();
            if (x + frame.width() > screenRight) x = screenRight - frame.width();
            if (y + frame.height() > screenBottom) y = screenBottom - frame.height();
            // A place left of or above the screen (a screen that has since
            // gone, or a hand-made value) would hide the title bar and with
            // it the only way to move the window back.
            if (x < screen.x()) x = screen.x();
            if (y < screen.y()) y = screen.y();
            return {static_cast<int>(x), static_cast<int>(y)};
        }
    }
    return {screen.x() + (screen.width() - frame.width()) / 2, screen.y() + (screen.height() - frame.height()) / 2};
}

QString DescribePlacement(const QRect& frame, int showCommand) {
    return QStringLiteral("%1,0,%2,%3,%4,%5,%6")
        .arg(kPlacementMarker)
        .arg(showCommand)
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.x() + frame.width())
        .arg(frame.y() + frame.height());
}

bool PositionKeeper::CanPlaceWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}

void PositionKeeper::Restore(QWidget& window) {
    if (restored_) return;
    restored_ = true;
    if (!CanPlaceWindows()) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QString stored = settings_.ReadString(section_, name_, QString());
    // For a window, move() places its frame.
    window.move(PlaceWindow(stored, window.frameGeometry().size(), screen->geometry()));
}

void PositionKeeper::Save(const QWidget& window) {
    // On Wayland every window reads as placed at 0,0: keep the stored place.
    if (!restored_ || !CanPlaceWindows()) return;
    const QRect client = window.geometry();
    const QRect frame = window.frameGeometry();
    QRect normal = window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : client;
    normal.adjust(frame.left() - client.left(), frame.top() - client.top(), frame.right() - client.right(),
                  frame.bottom() - client.bottom());
    const int show = window.isMinimized() ? kShowMinimized : window.isMaximized() ? kShowMaximized : kShowNormal;
    settings_.WriteString(section_, name_, DescribePlacement(normal, show));
}

}  // namespace qg
