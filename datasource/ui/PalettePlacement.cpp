#include "PalettePlacement.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace {

constexpr int kGap = 2; // between a new palette and the screen's edges, the dialog and one another

qint64 AreaOf(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

bool OverlapsSideways(const QRect& rect, int left, int width) {
    return rect.left() < left + width && left <= rect.right();
}

// The lowest bottom a frame of that width with its top at place may have: the area's, or above the
// nearest of blocked below it; none when one of them lies across its top.
std::optional<int> LowestBottom(const QPoint& place, int width, const QRect& area,
                                const QList<QRect>& blocked) {
    int bottom = area.bottom();
    for (const QRect& other : blocked) {
        if (!OverlapsSideways(other, place.x(), width) || other.bottom() < place.y())
            continue;
        if (other.top() <= place.y())
            return std::nullopt;
        bottom = std::min(bottom, other.top() - 1 - kGap);
    }
    return bottom;
}

// The frame of a palette of that size with its top left at place, cut short where it has less room
// below (and then as much wider as its scroll bar); none where it would not lie on the area.
std::optional<QRect> FrameAt(const QPoint& place, const QSize& size, const SPaletteRoom& room,
                             const QList<QRect>& blocked) {
    if (!room.area.contains(place))
        return std::nullopt;
    QSize fitted = size;
    std::optional<int> bottom = LowestBottom(place, fitted.width(), room.area, blocked);
    if (bottom && place.y() + fitted.height() - 1 > *bottom) {
        fitted.rwidth() += room.scrollBar;
        bottom = LowestBottom(place, fitted.width(), room.area, blocked);
        if (bottom)
            fitted.setHeight(*bottom + 1 - place.y());
    }
    const QRect frame(place, fitted);
    if (!bottom || frame.height() < 1 || frame.right() > room.area.right())
        return std::nullopt;
    return frame;
}

// Among the places whose corners meet the edges of the area, the dialog, what is blocked and the
// palettes placed already, or lie a title bar below and aside of one (cascaded): the best by the rules.
QRect NewPlace(const QSize& size, const SPaletteRoom& room, const QList<QRect>& blocked,
               const QList<QRect>& placed) {
    const QRect& area = room.area;
    const QRect& dialog = room.dialog;
    QList<int> xs{area.left() + kGap, dialog.right() + 1 + kGap};
    QList<int> ys{area.top() + kGap, area.bottom() + 1 - kGap - size.height(), dialog.top(),
                  dialog.bottom() + 1 + kGap, dialog.top() - kGap - size.height()};
    for (const int width : {size.width(), size.width() + room.scrollBar})
        xs << area.right() + 1 - kGap - width << dialog.left() - kGap - width;
    for (const QRect& other : blocked)
        ys << other.bottom() + 1 + kGap;
    for (const QRect& other : placed) {
        xs << other.left() << other.right() + 1 + kGap << other.left() - kGap - size.width()
           << other.left() + room.titleBar + kGap;
        ys << other.top() << other.bottom() + 1 + kGap << other.top() - kGap - size.height();
    }
    const int least = std::min(size.height(), room.leastHeight);
    const auto rank = [&](const QRect& frame) {
        qint64 overPalettes = 0;
        for (const QRect& other : placed)
            overPalettes += AreaOf(frame & other);
        const bool left = frame.center().x() < dialog.center().x();
        const int apart = left ? dialog.left() - frame.right() : frame.left() - dialog.right();
        // What the user cannot see: of the dialog under the palette, which counts three times, as free room
        // is worth a palette cut shorter, and of the palette cut off.
        const qint64 hidden =
            3 * AreaOf(frame & dialog) + qint64{size.height() - frame.height()} * size.width();
        return std::tuple(std::max(0, least - frame.height()), overPalettes, hidden, left, std::abs(apart),
                          frame.top() < dialog.top(), std::abs(frame.top() - dialog.top()));
    };
    std::optional<QRect> best;
    for (const int x : xs)
        for (const int y : ys)
            if (const std::optional<QRect> frame = FrameAt(QPoint(x, y), size, room, blocked);
                frame && (!best || rank(*frame) < rank(*best)))
                best = frame;
    // Nothing is free anywhere on the area: its top left, as much as fits.
    return best ? *best : QRect(area.topLeft(), size.boundedTo(area.size()));
}

} // namespace

QList<QRect> PlacePalettes(const SPaletteRoom& room, const QList<QSize>& sizes,
                           const QList<std::optional<QPoint>>& stored) {
    QList<QRect> frames;
    QList<QRect> placed;
    QList<QRect> blocked = room.keepClear;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const QSize& size = sizes[i];
        if (size.isEmpty()) {
            frames.append(QRect());
            continue;
        }
        std::optional<QRect> frame;
        if (i < stored.size() && stored[i])
            frame = FrameAt(*stored[i], size, room, blocked);
        if (!frame || frame->height() < std::min(size.height(), room.leastHeight))
            frame = NewPlace(size, room, blocked, placed);
        frames.append(*frame);
        placed.append(*frame);
        blocked.append(QRect(frame->topLeft(), QSize(frame->width(), room.titleBar)));
    }
    return frames;
}
