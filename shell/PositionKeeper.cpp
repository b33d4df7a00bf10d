#include "shell/PositionKeeper.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <climits>
#include <optional>

namespace qg {

namespace {

constexpr int kPlacementItems = 7;
constexpr int kLeftItem = 3;  // then top, right, bottom

}  // namespace

namespace {

// The stored left and top, when the text is of the stored form.
std::optional<std::pair<int, int>> StoredPlace(const QString& stored) {
    const QStringList items = stored.split(',');
    if (items.size() != kPlacementItems || items[0] != QString::number(kPlacementMarker)) return std::nullopt;
    const std::optional<int> left = ParseWholeNumber(items[kLeftItem]);
    const std::optional<int> top = ParseWholeNumber(items[kLeftItem + 1]);
    if (!left || !top) return std::nullopt;
    return std::pair{*left, *top};
}

QPoint Centred(QSize frame, const QRect& screen) {
    return {screen.x() + (screen.width() - frame.width()) / 2, screen.y() + (screen.height() - frame.height()) / 2};
}

// The frame at (x, y) pulled onto `screen`: right and bottom edges first, then
// left and top, so a frame larger than the screen keeps its top-left corner
// (and with it the title bar) on it.
QPoint PullOnto(long long x, long long y, QSize frame, const QRect& screen) {
    // 64 bits: a hand-made value near the ends of int must not wrap.
    const long long screenRight = static_cast<long long>(screen.x()) + screen.width();
    const long long screenBottom = static_cast<long long>(screen.y()) + screen.height();
    if (x + frame.width() > screenRight) x = screenRight - frame.width();
    if (y + frame.height() > screenBottom) y = screenBottom - frame.height();
    // A place left of or above the screen would hide the title bar and with
    // it the only way to move the window back.
    if (x < screen.x()) x = screen.x();
    if (y < screen.y()) y = screen.y();
    return {static_cast<int>(x), static_cast<int>(y)};
}

long long Area(const QRect& r) { return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height(); }

}  // namespace

QPoint PlaceWindow(const QString& stored, QSize frame, const QRect& screen) {
    return PlaceWindow(stored, frame, QList<QRect>{screen});
}

QPoint PlaceWindow(const QString& stored, QSize frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return {};
    const QRect& primary = screens.front();
    const auto place = StoredPlace(stored);
    if (!place) return Centred(frame, primary);
    const auto [x, y] = *place;
    // A frame so far out that its rectangle cannot be formed lies on no screen.
    const bool representable = static_cast<long long>(x) + frame.width() <= INT_MAX &&
                               static_cast<long long>(y) + frame.height() <= INT_MAX;
    if (representable) {
        const QRect rect(QPoint(x, y), frame);
        long long covered = 0, most = 0;
        const QRect* home = &primary;
        for (const QRect& screen : screens) {
            const long long part = Area(rect.intersected(screen));
            covered += part;
            if (part > most) {
                most = part;
                home = &screen;
            }
        }
        // Screens do not overlap: the parts add up to the whole frame only
        // when every pixel of it is on some screen.
        if (covered == Area(rect)) return rect.topLeft();
        return PullOnto(x, y, frame, *home);
    }
    return PullOnto(x, y, frame, primary);
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
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return;
    QList<QRect> screens{primary->geometry()};
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) screens << screen->geometry();
    }
    const QString stored = settings_.ReadString(section_, name_, QString());
    // For a window, move() places its frame; the frame counts where the
    // platform already knows it.
    window.move(PlaceWindow(stored, window.frameGeometry().size(), screens));
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
