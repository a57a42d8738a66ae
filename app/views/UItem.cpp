#include "UItem.h"

#include <QAbstractButton>

namespace {

// QAbstractButton::hitButton is protected; the button's own answer is the one that counts.
class HitTest : public QAbstractButton {
public:
    static bool hits(const QAbstractButton* button, QPoint local) {
        return (button->*(&HitTest::hitButton))(local);
    }
};

} // namespace

bool UItem::mouseInItem(const QWidget* item, QPoint global) {
    if (!item || !item->isVisible())
        return false;
    const QPoint local = item->mapFromGlobal(global);
    if (!item->rect().contains(local))
        return false;
    const auto* button = qobject_cast<const QAbstractButton*>(item);
    return !button || HitTest::hits(button, local);
}

bool UItem::acceptsFirstResponderWithView(const QWidget* view) {
    return view && view->isEnabled() && view->isVisible() && (view->focusPolicy() & Qt::TabFocus);
}
