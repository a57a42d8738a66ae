// Questions a container asks about one of its controls.
#pragma once

#include <QPoint>
#include <QWidget>

class UItem {
public:
    UItem() = delete;

    // Whether the point (global coordinates) is on item: inside its frame and not on a part that lets
    // clicks through (an image button's transparent pixels).
    static bool mouseInItem(const QWidget* item, QPoint global);
    // Whether keyboard focus may move to view: an enabled, shown control that takes focus by keyboard.
    static bool acceptsFirstResponderWithView(const QWidget* view);
};
