// Arrow-key moves among a container's buttons, which form a grid recovered from their frames alone.
// Frames are in the window's coordinates (Qt's, y down); "flipped" says whether the window's content
// counts from the top (the vertical walk then reads rows like the horizontal one) or, as our windows
// do, from the bottom (the vertical walk goes down each column in turn).
#pragma once

#include <QRectF>

#include <optional>
#include <span>
#include <vector>

enum class ArrowKey { Up, Down, Left, Right };

// Reading order: the higher frame first, and on one height the one further left (-1, 0 or 1).
int SortViewFunc(const QRectF& a, const QRectF& b);
// Column order (left column first, top to bottom) unless flipped, where it is the reading order.
int SortVerticallyViewFunc(const QRectF& a, const QRectF& b, bool flipped);

// The indices of frames in the order the key walks them.
std::vector<int> walkOrder(std::span<const QRectF> frames, ArrowKey key, bool flipped);

// The button to move to from item (an index into frames, or none for "no focus yet"): its index into
// frames, or none. From the first button up or left goes to the last, from the last down or right to
// the first, with or without wrapping.
std::optional<int> findNearestSiblingItem(std::span<const QRectF> frames, std::optional<int> item,
                                          ArrowKey key, bool wrap, bool flipped);
