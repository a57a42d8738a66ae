// Children are watched through an event filter installed as they are added: their key presses for
// arrow-key selection, their pointer moves for roll-over (with mouse tracking on, so moves arrive
// without a button held).
#include "Container.h"

#include "RollOver.h"
#include "UItem.h"

#include <QApplication>
#include <QChildEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <vector>

namespace {

std::optional<ArrowKey> arrowOf(int key) {
    switch (key) {
    case Qt::Key_Up:
        return ArrowKey::Up;
    case Qt::Key_Down:
        return ArrowKey::Down;
    case Qt::Key_Left:
        return ArrowKey::Left;
    case Qt::Key_Right:
        return ArrowKey::Right;
    default:
        return std::nullopt;
    }
}

// While one of these is held the highlight stays where it was.
constexpr Qt::MouseButtons kDragButtons = Qt::LeftButton | Qt::RightButton;

bool dragging() {
    return QGuiApplication::mouseButtons() & kDragButtons;
}

} // namespace

Container::Container(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

QAbstractButton* Container::findNearestSiblingItem(QWidget* item, ArrowKey key) const {
    std::vector<QAbstractButton*> buttons;
    std::vector<QRectF> frames;
    std::optional<int> from;
    for (QObject* child : children())
        if (auto* button = qobject_cast<QAbstractButton*>(child); button && !button->isWindow()) {
            if (button == item)
                from = static_cast<int>(buttons.size());
            buttons.push_back(button);
            frames.emplace_back(QRectF(button->mapTo(window(), QPoint()), button->size()));
        }
    if (item && !from)
        return nullptr; // only the container's own buttons take part
    // Our windows keep the bottom-up content of the originals: up and down walk the columns.
    const auto to = ::findNearestSiblingItem(frames, from, key, mIsLoopSelectable, false);
    return to ? buttons[static_cast<std::size_t>(*to)] : nullptr;
}

bool Container::performKeyEquivalent(QWidget* focus, const QKeyEvent* event) {
    const auto key = arrowOf(event->key());
    if (!mArrowKeySelection || !key || focus->parentWidget() != this || focus != QApplication::focusWidget())
        return false;
    // Buttons that refuse focus are passed over; after every button was tried once the walk ends.
    QWidget* at = focus;
    for (std::size_t tries = children().size(); tries > 0; --tries) {
        at = findNearestSiblingItem(at, *key);
        if (!at)
            return false;
        if (UItem::acceptsFirstResponderWithView(at)) {
            at->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

void Container::rollOverTest(std::optional<QPoint> global) {
    if (!window() || !parentWidget())
        return;
    RollOver* old = nullptr;
    RollOver* now = nullptr;
    for (QObject* child : children()) {
        auto* item = dynamic_cast<RollOver*>(child);
        if (!item)
            continue;
        if (!old && item->isRollOvered())
            old = item;
        if (!now && global && isActiveWindow() && UItem::mouseInItem(static_cast<QWidget*>(child), *global))
            now = item;
    }
    if (now == old)
        return;
    if (now)
        now->setRollOvered(true);
    if (old)
        old->setRollOvered(false);
}

bool Container::trackPointer(const QEvent* event) {
    Qt::MouseButtons held = QGuiApplication::mouseButtons();
    switch (event->type()) {
    case QEvent::Enter:
        mPointer = static_cast<const QEnterEvent*>(event)->globalPosition().toPoint();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        mPointer = mouse->globalPosition().toPoint();
        held = mouse->buttons();
        break;
    }
    default:
        return false;
    }
    if (!(held & kDragButtons))
        rollOverTest(mPointer);
    return true;
}

bool Container::event(QEvent* event) {
    if (!trackPointer(event)) {
        if (event->type() == QEvent::Leave) {
            mPointer.reset();
            if (!dragging())
                rollOverTest(mPointer);
        } else if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
            rollOverTest(mPointer);
        }
    }
    return QWidget::event(event);
}

bool Container::eventFilter(QObject* watched, QEvent* event) {
    auto* child = qobject_cast<QWidget*>(watched);
    if (!child || child->parentWidget() != this)
        return false;
    if (event->type() == QEvent::KeyPress)
        return performKeyEquivalent(child, static_cast<QKeyEvent*>(event));
    trackPointer(event);
    return false;
}

void Container::childEvent(QChildEvent* event) {
    // A child moved elsewhere keeps the filter, which then ignores it (see eventFilter).
    if (auto* child = qobject_cast<QWidget*>(event->child()); child && event->added()) {
        child->installEventFilter(this);
        child->setMouseTracking(true);
    }
    QWidget::childEvent(event);
}
