#include "PalettePlacement.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>

namespace {

constexpr int kGap = 2;          // from the screen's edges, the dialog and one another
constexpr int kCascadeStep = 24; // about a title bar's height

qint64 AreaOf(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

bool IsFree(const QRect& frame, const QRect& area, const QList<QRect>& taken) {
    return area.contains(frame) && std::none_of(taken.begin(), taken.end(),
                                                [&](const QRect& other) { return other.intersects(frame); });
}

// Among the places whose corners meet the edges of the area, the dialog and what is taken: the free one
// that covers least of the dialog, then lies on its right rather than its left, nearest to it, and from
// its top down.
std::optional<QRect> FreePlace(const QSize& size, const QRect& area, const QRect& dialog,
                               const QList<QRect>& taken) {
    QList<int> xs{area.left() + kGap, area.right() + 1 - kGap - size.width(), dialog.right() + 1 + kGap,
                  dialog.left() - kGap - size.width()};
    QList<int> ys{area.top() + kGap, area.bottom() + 1 - kGap - size.height(), dialog.top()};
    for (const QRect& other : taken) {
        xs << other.left() << other.right() + 1 + kGap << other.left() - kGap - size.width();
        ys << other.top() << other.bottom() + 1 + kGap << other.top() - kGap - size.height();
    }
    const auto rank = [&dialog](const QRect& frame) {
        const bool left = frame.center().x() < dialog.center().x();
        const int apart = left ? dialog.left() - frame.right() : frame.left() - dialog.right();
        return std::tuple(AreaOf(frame & dialog), left, std::abs(apart), frame.top() < dialog.top(),
                          std::abs(frame.top() - dialog.top()));
    };
    std::optional<QRect> best;
    for (const int x : xs)
        for (const int y : ys)
            if (const QRect frame(QPoint(x, y), size);
                IsFree(frame, area, taken) && (!best || rank(frame) < rank(*best)))
                best = frame;
    return best;
}

// A title bar lower and to the right of the palette before (the first at the area's top right), inside
// the area and clear of the buttons: in the room above them (or below them, where there is more), moved
// up as far as it may, and cut short where that is not enough.
QRect Cascaded(const QSize& size, const QRect& area, const QRect& buttons,
               const std::optional<QRect>& before) {
    const QRect inner = area.adjusted(kGap, kGap, -kGap, -kGap);
    const QPoint start = before ? before->topLeft() + QPoint(kCascadeStep, kCascadeStep)
                                : QPoint(inner.right() + 1 - size.width(), inner.top());
    QRect frame(start, size.boundedTo(inner.size()));
    frame.moveLeft(std::clamp(frame.left(), inner.left(), inner.right() + 1 - frame.width()));
    QRect room = inner;
    if (!buttons.isEmpty() && frame.left() <= buttons.right() && buttons.left() <= frame.right()) {
        const QRect above(inner.topLeft(),
                          QPoint(inner.right(), std::min(buttons.top() - 1 - kGap, inner.bottom())));
        const QRect below(QPoint(inner.left(), std::max(buttons.bottom() + 1 + kGap, inner.top())),
                          inner.bottomRight());
        room = above.height() >= below.height() ? above : below;
    }
    if (room.height() <= 0)
        room = inner;
    // Never above its place in the cascade, where it would hide the title bar of the one before.
    const int highest = before ? std::clamp(frame.top(), room.top(), room.bottom()) : room.top();
    frame.moveTop(std::max(highest, std::min(frame.top(), room.bottom() + 1 - frame.height())));
    if (frame.bottom() > room.bottom())
        frame.setBottom(room.bottom());
    return frame;
}

} // namespace

QList<QRect> PlacePalettes(const QRect& area, const QRect& dialog, const QRect& buttons,
                           const QList<QSize>& sizes) {
    QList<QRect> frames;
    QList<QRect> taken;
    if (!buttons.isEmpty())
        taken.append(buttons);
    std::optional<QRect> before;
    for (const QSize& size : sizes) {
        if (size.isEmpty()) {
            frames.append(QRect());
            continue;
        }
        const std::optional<QRect> free = FreePlace(size, area, dialog, taken);
        const QRect frame = free ? *free : Cascaded(size, area, buttons, before);
        frames.append(frame);
        taken.append(frame);
        before = frame;
    }
    return frames;
}
