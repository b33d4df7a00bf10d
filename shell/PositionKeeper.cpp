#include "shell/PositionKeeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <QWindow>

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

QPoint ClientPlace(const FrameRule& rule, QSize client, QMargins frame) {
    return rule(client.grownBy(frame)) + QPoint(frame.left(), frame.top());
}

QPoint ClientPlace(const QString& stored, QSize client, QMargins frame, const QList<QRect>& screens) {
    return ClientPlace([&](QSize outer) { return PlaceWindow(stored, outer, screens); }, client, frame);
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

QMargins FrameMargins(const QWidget& window) {
    const QRect client = window.geometry();
    const QRect frame = window.frameGeometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

void FramePlacer::Place(QWidget& window, Rule rule, QMargins guess) {
    rule_ = std::move(rule);
    const QMargins known = FrameMargins(window);
    // A frameless window has its frame already.
    waiting_ = known.isNull() && !window.windowFlags().testFlag(Qt::FramelessWindowHint);
    Apply(window, waiting_ ? guess : known);
}

void FramePlacer::Check(QWidget& window, const QEvent& event) {
    if (!waiting_ || !rule_) return;
    switch (event.type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::Show:
        break;
    default:
        return;
    }
    const QMargins known = FrameMargins(window);
    if (known.isNull()) return;
    waiting_ = false;
    if (known != used_) Apply(window, known);
}

void FramePlacer::Apply(QWidget& window, QMargins frame) {
    used_ = frame;
    const QSize client = window.size();
    QWindow* handle = window.windowHandle();
    const bool mapped = handle && handle->isVisible();
    if (!handle) {
        // Not yet made: move() takes the place as the frame's.
        window.move(rule_(client.grownBy(frame)));
    } else if (!mapped && waiting_) {
        // Not yet framed: the window manager puts the frame at the place
        // asked for. The widget is told the same place, or it would ask
        // for its client area there when it maps.
        const QPoint at = rule_(client.grownBy(frame));
        handle->setFramePosition(at);
        window.setGeometry(QRect(at, client));
    } else {
        window.setGeometry(QRect(ClientPlace(rule_, client, frame), client));
    }
}

void TieToMainWindow(QWidget& window, const QWidget& mainWindow) {
    QWindow* handle = window.windowHandle();
    QWindow* main = mainWindow.window()->windowHandle();
    if (handle && main && handle != main && handle->transientParent() != main) handle->setTransientParent(main);
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
    // Placed by the frame, so that the place read back at the end is the
    // one stored: placing the client there moved the window up by its title
    // bar at every start. The pull-back counts the real frame once the
    // window manager has put it round the window.
    placer_.Place(window, [stored, screens](QSize frame) { return PlaceWindow(stored, frame, screens); });
}

void PositionKeeper::Save(const QWidget& window) {
    // On Wayland every window reads as placed at 0,0: keep the stored place.
    if (!restored_ || !CanPlaceWindows()) return;
    const QRect client = window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : window.geometry();
    const QRect normal = FrameRect(client, FrameMargins(window));
    const int show = window.isMinimized() ? kShowMinimized : window.isMaximized() ? kShowMaximized : kShowNormal;
    settings_.WriteString(section_, name_, DescribePlacement(normal, show));
}

}  // namespace qg
