#include "KeyViewLoop.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>

#include <algorithm>

namespace {

constexpr int kSameRowDistance = 8;

// A control is one stop of the keyboard order; its inner parts (a spin box's field) are not.
bool IsControl(const QWidget* view) {
    return qobject_cast<const QAbstractButton*>(view) || qobject_cast<const QAbstractSlider*>(view) ||
           qobject_cast<const QAbstractSpinBox*>(view) || qobject_cast<const QComboBox*>(view) ||
           qobject_cast<const QLineEdit*>(view);
}

QList<QWidget*> ChildViews(const QWidget* view) {
    QList<QWidget*> children;
    for (QObject* child : view->children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            children.append(widget);
    return children;
}

bool TakesFocus(const QWidget* view) {
    return (view->focusPolicy() & Qt::TabFocus) && view->isEnabled() && !view->isHidden();
}

} // namespace

int ArrangeView(const QWidget* a, const QWidget* b) {
    const QRect frameA = a->geometry();
    const QRect frameB = b->geometry();
    if (std::abs(frameA.top() - frameB.top()) > kSameRowDistance)
        return frameA.top() < frameB.top() ? -1 : 1;
    if (frameA.left() == frameB.left())
        return 0;
    return frameA.left() < frameB.left() ? -1 : 1;
}

QList<QWidget*> GetDeepSubViews(QWidget* view) {
    if (!view)
        return {};
    QList<QWidget*> list{view};
    if (IsControl(view))
        return list;
    const QWidget* container = view;
    if (auto* scroll = qobject_cast<QScrollArea*>(view); scroll && scroll->widget())
        container = scroll->widget();
    QList<QWidget*> children = ChildViews(container);
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget* a, const QWidget* b) { return ArrangeView(a, b) < 0; });
    for (QWidget* child : children)
        list += GetDeepSubViews(child);
    return list;
}

void RecalcKeyViewLoop(QWidget* window) {
    if (!window)
        return;
    QList<QWidget*> ring = GetDeepSubViews(window);
    ring.removeIf([window](const QWidget* view) { return view == window || !TakesFocus(view); });
    for (qsizetype i = 1; i < ring.size(); ++i)
        QWidget::setTabOrder(ring.at(i - 1), ring.at(i));
}

bool IsFullKeyboardAccessInView(const QWidget* view) {
    if (!view)
        return false;
    const QList<QWidget*> children = ChildViews(view);
    return std::any_of(children.begin(), children.end(), TakesFocus);
}
