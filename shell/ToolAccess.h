#pragma once
// What assistive tools are told beyond what Qt tells them: every event of
// the game's own accessible objects goes through here, so that tests can
// hear them (without a tool listening, Qt drops them before any platform
// sees them); and which of the game's widgets are windows.

#include <QAccessible>

#include <functional>

class QAccessibleEvent;
class QAccessibleInterface;
class QWidget;

namespace qg {

// Installs `factory` for the game's accessible interfaces, once however
// often it is asked.
void InstallToolFactory(QAccessible::InterfaceFactory factory);

// Sends `type` for `iface` to the tools; nothing for no interface.
void NotifyTools(QAccessibleInterface* iface, QAccessible::Event type);

// Hears every event sent through NotifyTools, before Qt passes it on; empty to stop.
using AccessEventListener = std::function<void(QAccessibleEvent*)>;
void ListenToAccessEvents(AccessEventListener listener);

// Whether an assistive tool's action on `widget` may be made now: not while
// a modal window other than the widget's own waits for an answer, as the
// mouse and the keys cannot reach the widget then either.
bool ToolMayActOn(const QWidget& widget);

// A plain widget that is a window of its own (the game's, the help's) is a
// window to the tools too, a frame that screen readers name when it comes
// to the front, not a filler. Call before anything asks for its interface.
void ShowAsWindowToTools(QWidget& window);

}  // namespace qg
