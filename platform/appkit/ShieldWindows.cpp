// The shield is a child widget laid over the whole window, kept on top and sized with it. It filters
// the application's input events for every widget of the window, so keys are stopped too (they go to
// the focused widget, not to what lies under the pointer), and accepts what it stops, so a stopped
// shortcut does not fire either.
// A window's shield and list of modal panels live in a small state object that the window owns.
#include "ShieldWindows.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>

#include <algorithm>

namespace appkit {

namespace {

class ShieldOverlay final : public QWidget {
public:
    ShieldOverlay(QWidget* window, FWindow::Blocks blocks) : QWidget(window), blocks_(blocks) {
        setObjectName("appkit.shield");
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(window->rect());
        qApp->installEventFilter(this); // sees the window's own events too
        raise();
        show();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QWidget* window = parentWidget();
        if (watched == window && event->type() == QEvent::Resize)
            setGeometry(window->rect());
        if (watched == window && event->type() == QEvent::ChildAdded)
            raise();
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target || target->window() != window || !stops(event->type()))
            return false;
        event->accept();
        return true;
    }

private:
    bool stops(QEvent::Type type) const {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return blocks_ == FWindow::Blocks::MouseAndKeys;
        default:
            return false;
        }
    }

    FWindow::Blocks blocks_;
};

// What a window knows of its shield and its modal panels; owned by the window.
class ShieldState final : public QObject {
public:
    explicit ShieldState(QWidget* window) : QObject(window), window_(window) {
        setObjectName("appkit.shieldState");
    }

    static ShieldState* of(const QWidget* window) {
        return window ? window->findChild<ShieldState*>("appkit.shieldState", Qt::FindDirectChildrenOnly)
                      : nullptr;
    }
    static ShieldState& make(QWidget* window) {
        ShieldState* state = of(window);
        return state ? *state : *new ShieldState(window);
    }

    QWidget* shield() const { return shield_; }
    void raiseShield(FWindow::Blocks blocks) {
        if (!shield_)
            shield_ = new ShieldOverlay(window_, blocks);
    }
    void lowerShield() { delete shield_.data(); }

    QList<QWidget*> panels() const {
        QList<QWidget*> out;
        for (const QPointer<QWidget>& p : panels_)
            if (p)
                out.push_back(p);
        return out;
    }
    bool contains(const QWidget* panel) const {
        return std::any_of(panels_.begin(), panels_.end(),
                           [panel](const QPointer<QWidget>& p) { return p == panel; });
    }
    // A panel deleted or closed (a dialog's Escape, its close button) while modal ends its modality
    // by itself, so the window is never left shielded with no panel to answer.
    void add(QWidget* panel) {
        if (contains(panel))
            return;
        panels_.push_back(panel);
        connect(panel, &QObject::destroyed, this, [this, panel] { remove(panel); });
        if (auto* dialog = qobject_cast<QDialog*>(panel))
            connect(dialog, &QDialog::finished, this, [this, dialog] { remove(dialog); });
    }
    void remove(const QWidget* panel) {
        panels_.removeIf([panel](const QPointer<QWidget>& p) { return !p || p == panel; });
        if (panel)
            disconnect(panel, nullptr, this, nullptr);
        if (panels_.isEmpty())
            lowerShield();
    }

private:
    QWidget* window_;
    QPointer<ShieldOverlay> shield_;
    QList<QPointer<QWidget>> panels_;
};

void showActive(QWidget* panel) {
    if (auto* dialog = qobject_cast<QDialog*>(panel))
        dialog->open();
    else
        panel->show();
    panel->raise();
    panel->activateWindow();
}

} // namespace

void FWindow::setShieldWindow(QWidget* window, bool includeFrame, Blocks blocks) {
    (void)includeFrame;
    if (window)
        ShieldState::make(window).raiseShield(blocks);
}

void FWindow::removeShieldWindow(QWidget* window) {
    if (ShieldState* state = ShieldState::of(window))
        state->lowerShield();
}

QWidget* FWindow::shieldWindow(const QWidget* window) {
    const ShieldState* state = ShieldState::of(window);
    return state ? state->shield() : nullptr;
}

void FWindow::beginModalWindow(QWidget* panel, QWidget* window, Blocks blocks) {
    if (!panel)
        return;
    if (!window || window == panel) {
        showActive(panel);
        return;
    }
    ShieldState& state = ShieldState::make(window);
    state.raiseShield(blocks);
    state.add(panel);
    if (panel->isVisible())
        panel->hide(); // modality and parent change only while hidden
    if (panel->parentWidget() != window)
        panel->setParent(window, panel->windowFlags() | Qt::Dialog);
    panel->setWindowModality(Qt::WindowModal);
    showActive(panel);
}

void FWindow::endModalWindow(QWidget* panel, bool orderOut) {
    if (!panel)
        return;
    if (QWidget* window = behindWindow(panel))
        ShieldState::of(window)->remove(panel);
    if (orderOut)
        panel->hide();
}

QWidget* FWindow::behindWindow(const QWidget* panel) {
    QWidget* window = panel ? panel->parentWidget() : nullptr;
    const ShieldState* state = ShieldState::of(window);
    return state && state->contains(panel) ? window : nullptr;
}

QList<QWidget*> FWindow::modalWindows(const QWidget* window) {
    const ShieldState* state = ShieldState::of(window);
    return state ? state->panels() : QList<QWidget*>();
}

} // namespace appkit
