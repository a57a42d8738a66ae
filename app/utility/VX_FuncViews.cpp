// Widget walks, the Tab order and window placement. Qt's y axis points down, so "top" is the
// smaller y throughout; the placement lets the top-left corner win wherever a window cannot fit.
#include "VX_Func.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// Reading order in window coordinates: higher first, then further left.
bool readsBefore(const QWidget* a, const QWidget* b) {
    const QPoint pa = a->mapTo(a->window(), QPoint(0, 0));
    const QPoint pb = b->mapTo(b->window(), QPoint(0, 0));
    return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
}

void appendDeep(QWidget* view, std::vector<QWidget*>& out) {
    out.push_back(view);
    std::vector<QWidget*> children;
    for (QObject* child : view->children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            children.push_back(widget);
    std::stable_sort(children.begin(), children.end(), readsBefore);
    for (QWidget* child : children)
        appendDeep(child, out);
}

// Index of the first element lying inside (or being) container; 0 when none.
std::size_t firstInside(const std::vector<QWidget*>& list, const QWidget* container) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == container || container->isAncestorOf(list[i]))
            return i;
    return 0;
}

QRect keptInside(QRect frame, const QRect& area) {
    if (frame.right() > area.right())
        frame.moveRight(area.right());
    if (frame.left() < area.left())
        frame.moveLeft(area.left());
    if (frame.bottom() > area.bottom())
        frame.moveBottom(area.bottom());
    if (frame.top() < area.top())
        frame.moveTop(area.top());
    return frame;
}

QRect aligned(QRect frame, const QRect& parent, int alignment) {
    // Edge alignments keep this gap (px) to the parent's side edges.
    constexpr int kSideGap = 3;
    if (alignment == VX_Func::kAlignCentre) {
        frame.moveCenter(parent.center());
        return frame;
    }
    if (alignment & VX_Func::kAlignTop)
        frame.moveTop(parent.top());
    if (alignment & VX_Func::kAlignBottom)
        frame.moveBottom(parent.bottom());
    if (alignment & VX_Func::kAlignLeft)
        frame.moveLeft(parent.left() + kSideGap);
    if (alignment & VX_Func::kAlignRight)
        frame.moveRight(parent.right() - kSideGap);
    return frame;
}

} // namespace

std::vector<QWidget*> VX_Func::deepSubviewsAtView(QWidget* view) {
    std::vector<QWidget*> out;
    if (view)
        appendDeep(view, out);
    return out;
}

void VX_Func::setNextKeyViewsAtWindow(QWidget* window, const std::vector<QWidget*>& targetViews,
                                      QWidget* replaceFrom, QWidget* replaceTo) {
    if (!window)
        return;
    std::vector<QWidget*> list = deepSubviewsAtView(window);
    list.erase(list.begin()); // the window itself is no stop of its Tab order
    if (list.empty())
        return;
    const bool targetsInWindow = std::all_of(targetViews.begin(), targetViews.end(), [&](QWidget* v) {
        return !v || std::find(list.begin(), list.end(), v) != list.end();
    });
    if (!targetViews.empty() && targetsInWindow) {
        list.clear();
        std::copy_if(targetViews.begin(), targetViews.end(), std::back_inserter(list),
                     [](QWidget* v) { return v; });
    }
    if (replaceFrom && replaceTo)
        for (std::size_t a = firstInside(list, replaceFrom), b = firstInside(list, replaceTo); b > a; ++a)
            std::swap(list[a], list[a + 1]);
    for (std::size_t i = 0; i + 1 < list.size(); ++i)
        QWidget::setTabOrder(list[i], list[i + 1]);
}

void VX_Func::setEnabled(bool enabled, QWidget* toAllSubViewsOfView) {
    for (QWidget* view : deepSubviewsAtView(toAllSubViewsOfView))
        view->setEnabled(enabled);
}

void VX_Func::windowPositionAdjustment(QWidget* window, QWidget* parentWindow, int withAlignment) {
    if (!window)
        return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect();
    const QRect parent = parentWindow ? parentWindow->geometry() : visible;
    QRect frame = window->geometry();
    const bool resizable = window->minimumSize() != window->maximumSize();
    if (resizable && frame.width() > parent.width())
        frame.setWidth(std::max(parent.width(), window->minimumWidth()));
    if (resizable && frame.height() > parent.height())
        frame.setHeight(std::max(parent.height(), window->minimumHeight()));
    frame = keptInside(frame, parent);
    if (withAlignment != 0)
        frame = aligned(frame, parent, withAlignment);
    if (!visible.isEmpty())
        frame = keptInside(frame, visible);
    if (frame != window->geometry())
        window->setGeometry(frame);
}
