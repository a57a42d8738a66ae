// The grid is guessed from the walk order: "rows" counts the buttons that stand in one column with the
// first one (x and width within 2 points), "cols" the run of buttons at the start that share one line
// (y and height within 2 points). Irregular grids give indices outside the list, which answer none.
#include "SiblingSearch.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr double kSameLine = 2.0; // points: closer than this counts as one row or column

bool near(double a, double b) {
    return std::abs(a - b) < kSameLine;
} // false for NaN

int compare(double a, double b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The y that rows are matched on: the original bottom-up windows measure from the bottom edge.
double lineY(const QRectF& frame, bool flipped) {
    return flipped ? frame.top() : frame.bottom();
}

} // namespace

int SortViewFunc(const QRectF& a, const QRectF& b) {
    if (const int byTop = compare(a.top(), b.top()))
        return byTop;
    return compare(a.left(), b.left());
}

int SortVerticallyViewFunc(const QRectF& a, const QRectF& b, bool flipped) {
    if (flipped)
        return SortViewFunc(a, b);
    if (const int byX = compare(a.left(), b.left()))
        return byX;
    return compare(a.top(), b.top());
}

std::vector<int> walkOrder(std::span<const QRectF> frames, ArrowKey key, bool flipped) {
    std::vector<int> order(frames.size());
    std::iota(order.begin(), order.end(), 0);
    const bool vertical = key == ArrowKey::Up || key == ArrowKey::Down;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return (vertical ? SortVerticallyViewFunc(frames[a], frames[b], flipped)
                         : SortViewFunc(frames[a], frames[b])) < 0;
    });
    return order;
}

std::optional<int> findNearestSiblingItem(std::span<const QRectF> frames, std::optional<int> item,
                                          ArrowKey key, bool wrap, bool flipped) {
    const std::vector<int> order = walkOrder(frames, key, flipped);
    const int n = static_cast<int>(order.size());
    if (n == 0)
        return std::nullopt;
    if (!item)
        return order.front();
    const auto found = std::find(order.begin(), order.end(), *item);
    if (found == order.end())
        return std::nullopt;
    const int i = static_cast<int>(found - order.begin());

    int rows = 1;
    for (int k = 1, last = 0; k < n; ++k) {
        const QRectF &a = frames[order[last]], &b = frames[order[k]];
        if (near(a.left(), b.left()) && near(a.width(), b.width())) {
            ++rows;
            last = k;
        }
    }
    int cols = 1;
    while (cols < n) {
        const QRectF &a = frames[order[cols - 1]], &b = frames[order[cols]];
        if (!near(lineY(a, flipped), lineY(b, flipped)) || !near(a.height(), b.height()))
            break;
        ++cols;
    }

    const int r = i % cols;
    std::optional<int> to;
    switch (key) {
    case ArrowKey::Up:
        if (i == 0)
            to = n - 1;
        else if (i - cols >= 0)
            to = i - cols;
        else if (wrap)
            to = (r != 0 ? r - 1 : cols - 1) + (rows - 1) * cols;
        break;
    case ArrowKey::Down:
        if (i == n - 1)
            to = 0;
        else if (i + cols < n)
            to = i + cols;
        else if (wrap)
            to = r == cols - 1 ? 0 : i + 1;
        break;
    case ArrowKey::Left:
        if (i == 0)
            to = n - 1;
        else if (wrap || cols > 1)
            to = i - 1;
        break;
    case ArrowKey::Right:
        // Without wrapping the right arrow mirrors the left one: a step along the row order.
        if (i == n - 1)
            to = 0;
        else if (wrap || cols > 1)
            to = i + 1;
        break;
    }
    if (!to || *to < 0 || *to >= n)
        return std::nullopt;
    return order[*to];
}
