#pragma once
// Keeps the main window's place on the screen from one run to the next: the
// stored value is the marker 200, the placement's flags and show command,
// then left, top, right and bottom of the window's normal frame rectangle,
// joined by commas ("200,0,1,262,201,764,567").

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <utility>

#include "settings/Settings.h"

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

// The stored text for a frame rectangle.
QString DescribePlacement(const QRect& frame, int showCommand);

class PositionKeeper {
public:
    PositionKeeper(Settings settings, QString section, QString name)
        : settings_(std::move(settings)), section_(std::move(section)), name_(std::move(name)) {}

    // When the window is first shown (before it is mapped, so the window
    // manager takes the position as asked); later calls do nothing. Does
    // nothing either where programs cannot place their windows.
    void Restore(QWidget& window);
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
};

}  // namespace qg
