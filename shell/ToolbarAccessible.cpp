#include "shell/ToolbarAccessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <QToolTip>

#include "shell/ToolAccess.h"

namespace qg {

namespace {

// Lives as a child of a button whose Press is queued, with its extra actions.
class QueuedPress : public QObject {
public:
    QueuedPress(QAbstractButton* button, std::vector<ButtonAction> extras)
        : QObject(button), extras_(std::move(extras)) {
        setObjectName("QueuedPress");
    }
    const std::vector<ButtonAction>& Extras() const { return extras_; }

private:
    std::vector<ButtonAction> extras_;
};

class QueuedButtonAccessible : public QAccessibleWidget {
public:
    QueuedButtonAccessible(QAbstractButton* button, QueuedPress* queued)
        : QAccessibleWidget(button, QAccessible::Button), queued_(queued) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button()->isDown();
        s.checkable = Button()->isCheckable();
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        // A toggle button toggles, as Qt's own do; the others press.
        QStringList names{Button()->isCheckable() ? toggleAction() : pressAction()};
        if (queued_)
            for (const ButtonAction& a : queued_->Extras()) names << a.name;
        return names + QAccessibleWidget::actionNames();
    }
    QString localizedActionName(const QString& name) const override {
        if (const ButtonAction* a = Extra(name)) return a->localized ? a->localized() : a->name;
        return QAccessibleWidget::localizedActionName(name);
    }
    QString localizedActionDescription(const QString& name) const override {
        if (const ButtonAction* a = Extra(name)) return a->localized ? a->localized() : a->name;
        return QAccessibleWidget::localizedActionDescription(name);
    }
    void doAction(const QString& name) override {
        if (!widget()->isEnabled() || !ToolMayActOn(*widget())) return;
        QPointer<QAbstractButton> button = Button();
        const auto mayAct = [button] { return button && button->isEnabled() && ToolMayActOn(*button); };
        if (name == toggleAction() && button->isCheckable()) {
            // At once, as Qt's own: what it starts comes through the toggled signal.
            button->toggle();
        } else if (name == pressAction() && !button->isCheckable()) {
            QMetaObject::invokeMethod(button, [button, mayAct] {
                if (mayAct()) button->click();
            }, Qt::QueuedConnection);
        } else if (const ButtonAction* a = Extra(name)) {
            QMetaObject::invokeMethod(button, [mayAct, run = a->run] {
                if (mayAct() && run) run();
            }, Qt::QueuedConnection);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() || name == toggleAction()) return {"Space"};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
    const ButtonAction* Extra(const QString& name) const {
        if (queued_)
            for (const ButtonAction& a : queued_->Extras())
                if (a.name == name) return &a;
        return nullptr;
    }

    QPointer<QueuedPress> queued_;
};

QAccessibleInterface* QueuedButtonFactory(const QString&, QObject* object) {
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (!button) return nullptr;
    for (QObject* child : button->children())
        if (auto* queued = dynamic_cast<QueuedPress*>(child)) return new QueuedButtonAccessible(button, queued);
    return nullptr;
}

// Draws the toolbar buttons as the application's style does, but with a
// focus ring of our own instead of the style's faint one.
class FocusMarkStyle : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        const auto* tool = qstyleoption_cast<const QStyleOptionToolButton*>(option);
        if (control != CC_ToolButton || !tool || !(tool->state & State_HasFocus)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionToolButton plain = *tool;
        plain.state &= ~State_HasFocus;
        QProxyStyle::drawComplexControl(control, &plain, painter, widget);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(kFocusMarkColour, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(tool->rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

QStyle* ToolbarStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new FocusMarkStyle;
        style->setParent(qApp);  // lives as long as the widgets that use it
    }
    return style;
}

// Shows a button's hint while it has the keyboard focus.
class FocusHint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = static_cast<QToolButton*>(watched);
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Once the focus has moved: a hint hides at every focus event.
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                QMetaObject::invokeMethod(button, [button] {
                    if (button->hasFocus() && !button->toolTip().isEmpty())
                        QToolTip::showText(button->mapToGlobal(QPoint(0, button->height() + 2)), button->toolTip(), button);
                }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::FocusOut) {
            QToolTip::hideText();
        }
        return false;
    }
};

}  // namespace

void QueueAccessiblePress(QAbstractButton* button, std::vector<ButtonAction> extras) {
    InstallToolFactory(QueuedButtonFactory);
    new QueuedPress(button, std::move(extras));
}

void MarkKeyboardFocus(QToolButton* button) {
    button->setStyle(ToolbarStyle());
    button->installEventFilter(new FocusHint(button));
}

}  // namespace qg
