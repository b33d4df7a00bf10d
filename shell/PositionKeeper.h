#pragma once
// Keeps the main window's place on the screen from one run to the next: the
// stored value is the marker 200, the placement's flags and show command,
// then left, top, right and bottom of the window's normal frame rectangle,
// joined by commas ("200,0,1,262,201,764,567").

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <utility>

#include "settings/Settings.h"

class QEvent;
class QWidget;

namespace qg {

inline constexpr int kPlacementMarker = 200;
// Show commands of a placement.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;

// Where a frame of the given size goes on the screen: the stored left and
// top, pulled back so that the whole frame lies on the screen when it fits;
// centred when the stored text is missing or not of the stored form.
QPoint PlaceWindow(const QString& stored, QSize frame, const QRect& screen);
// The same over all connected screens, the primary one first: a frame that
// lies wholly on the screens (on any one, or across neighbours) stays where
// it was stored; one that hangs off them is pulled onto the screen that
// holds most of it (the primary one when none does); the centred place is
// on the primary screen.
QPoint PlaceWindow(const QString& stored, QSize frame, const QList<QRect>& screens);

// Where the frame's top-left corner goes, for a frame of this size.
using FrameRule = std::function<QPoint(QSize frame)>;
// A window is placed by its client area: where that goes for a client of
// size `client` in a frame of `frame` margins (title bar and borders) when
// the frame is placed by `rule`.
QPoint ClientPlace(const FrameRule& rule, QSize client, QMargins frame);
// The same for the stored place (the frame's), pulled back as above.
QPoint ClientPlace(const QString& stored, QSize client, QMargins frame, const QList<QRect>& screens);
// The frame rectangle round a client rectangle, as it is stored.
inline QRect FrameRect(const QRect& client, QMargins frame) { return client.marginsAdded(frame); }

// The stored text for a frame rectangle.
QString DescribePlacement(const QRect& frame, int showCommand);

// The frame the window manager has put round a top-level window: nothing
// before it has framed it (and never without a window manager).
QMargins FrameMargins(const QWidget& window);

// Places a top-level window by its frame. Before the window is mapped the
// window system is asked to put the frame there (the window manager adds
// the frame later); once mapped, the client goes inside the known frame. As
// the frame is known only after mapping, the window is placed again when
// the frame turns out other than it was placed with.
class FramePlacer {
public:
    using Rule = FrameRule;

    // From showEvent (before mapping) and on every new placement: `guess`
    // stands for the frame while the window manager has not yet told it.
    void Place(QWidget& window, Rule rule, QMargins guess = {});
    // From the window's event(): places it again once its frame is known,
    // if that differs from the one it was placed with.
    void Check(QWidget& window, const QEvent& event);

private:
    void Apply(QWidget& window, QMargins frame);

    Rule rule_;
    QMargins used_;
    bool waiting_ = false;  // for the window manager's frame
};

// The main window becomes the transient parent of a window of the game, so
// that the window manager or compositor keeps it over the game (Wayland
// compositors place dialogs only by it). Needs both windows created.
void TieToMainWindow(QWidget& window, const QWidget& mainWindow);

class PositionKeeper {
public:
    PositionKeeper(Settings settings, QString section, QString name)
        : settings_(std::move(settings)), section_(std::move(section)), name_(std::move(name)) {}

    // When the window is first shown (before it is mapped, so the window
    // manager takes the position as asked); later calls do nothing. Does
    // nothing either where programs cannot place their windows.
    void Restore(QWidget& window);
    // From the window's event(): once the window manager has framed the
    // window, the stored place is applied again to the real frame.
    void Check(QWidget& window, const QEvent& event) { placer_.Check(window, event); }
    // When the window is destroyed. A window that was never shown keeps the
    // stored place as it is.
    void Save(const QWidget& window);

    // False on platforms where a program cannot place its windows.
    static bool CanPlaceWindows();

private:
    Settings settings_;
    QString section_;
    QString name_;
    bool restored_ = false;
    FramePlacer placer_;
};

}  // namespace qg
