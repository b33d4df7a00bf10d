#include "shell/ToolAccess.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QSet>
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

void InstallToolFactory(QAccessible::InterfaceFactory factory) {
    static QSet<QAccessible::InterfaceFactory> installed;
    if (installed.contains(factory)) return;
    installed.insert(factory);
    QAccessible::installFactory(factory);
}

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
    InstallToolFactory(WindowFactory);
    window.setProperty(kWindowRole, true);
}

}  // namespace qg
