#pragma once
// The toolbar to assistive tools and to the keyboard: a Press that returns
// before the window it opens closes, extra actions (the option button's
// Bigger and Smaller), a focus mark that reads, and the hint shown when a
// button takes the keyboard focus.

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QAbstractButton;
class QToolButton;

namespace qg {

struct ButtonAction {
    QString name;                               // as tools call it, "Bigger"
    std::function<QString()> localized;         // as the player reads it
    std::function<void()> run;
};

// An assistive tool's Press (and each extra action) on `button` is carried
// out once the tool's call has returned: a button that opens a modal window
// would otherwise keep the tool waiting until the window closes. A toggle
// button's Toggle is made at once, as Qt makes it. Nothing is done while a
// window that waits for an answer stands over the button's window, as the
// mouse cannot reach it then either. Call before anything asks for the
// button's accessible interface.
void QueueAccessiblePress(QAbstractButton* button, std::vector<ButtonAction> extras = {});

// The keyboard focus of a toolbar button: a 2-pixel ring of kFocusMarkColour
// (at least 3:1 against the toolbar, and unlike a pressed button's sunken
// panel), and its hint shown as when the mouse rests on it.
inline constexpr QColor kFocusMarkColour{0, 70, 170};
void MarkKeyboardFocus(QToolButton* button);

}  // namespace qg
