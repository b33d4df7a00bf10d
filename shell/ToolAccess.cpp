#include "shell/ToolAccess.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>

#include <utility>

namespace qg {

namespace {

constexpr char kWindowRole[] = "qgWindowToTools";

AccessEventListener& Listener() {
    static AccessEventListener listener;
    return listener;
}

QAccessibleInterface* WindowFactory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType() || !object->property(kWindowRole).toBool()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

void NotifyTools(QAccessibleInterface* iface, QAccessible::Event type) {
    if (!iface) return;
    QAccessibleEvent event(iface, type);
    if (Listener()) Listener()(&event);
    QAccessible::updateAccessibility(&event);
}

void ListenToAccessEvents(AccessEventListener listener) { Listener() = std::move(listener); }

bool ToolMayActOn(const QWidget& widget) {
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || modal == widget.window();
}

void ShowAsWindowToTools(QWidget& window) {
    static const bool installed = [] {
        QAccessible::installFactory(WindowFactory);
        return true;
    }();
    (void)installed;
    window.setProperty(kWindowRole, true);
}

}  // namespace qg
