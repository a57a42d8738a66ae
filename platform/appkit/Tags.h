// Controls are found by the integer property "tag" that every control of an interface file carries
// (set in Designer as a dynamic property, or with setTag in code-built windows).
#pragma once

#include <QObject>
#include <QWidget>

#include <optional>

namespace appkit {

// The name of the dynamic property that holds a control's tag (widgets and menu actions).
inline constexpr const char* kTagProperty = "tag";
// The data roles of a pop-up menu's (combo box's) items: the item's tag and its represented object.
inline constexpr int kItemTagRole = Qt::UserRole + 1;
inline constexpr int kItemObjectRole = Qt::UserRole + 2;

void setTag(QObject* object, int tag);
// The object's tag; none when it has no integer "tag" property.
std::optional<int> tagOf(const QObject* object);

// The widget with that tag: the view itself or the first one below it, depth first in child order.
// Null for a null view or when none carries the tag. The view keeps ownership.
QWidget* viewWithTag(QWidget* view, int tag);

// Like viewWithTag, but the widget must also be of type T; null otherwise.
template <typename T> T* viewWithTag(QWidget* view, int tag) {
    return dynamic_cast<T*>(viewWithTag(view, tag));
}

// The widget with its tag set, for building windows in one expression.
template <typename W> W* tagged(W* widget, int tag) {
    setTag(widget, tag);
    return widget;
}

} // namespace appkit
