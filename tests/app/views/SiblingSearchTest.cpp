// The arrow-key walk as a function of frames alone: the grids of a bottom-up and a top-down window,
// wrapping on and off, the 2-point tolerance of rows and columns, and lists it cannot walk.
#include "SiblingSearch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Buttons numbered 1 2 3 over 4 5 6, all 32 x 22; frames[k] is button k + 1.
std::vector<QRectF> sixButtons() {
    std::vector<QRectF> frames;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            frames.emplace_back(10 + col * 40, 10 + row * 30, 32, 22);
    return frames;
}

// The button number the key leads to from button `from` (0 for no focus); 0 for none.
int step(const std::vector<QRectF>& frames, int from, ArrowKey key, bool wrap, bool flipped) {
    const auto item = from ? std::optional<int>(from - 1) : std::nullopt;
    const auto to = findNearestSiblingItem(frames, item, key, wrap, flipped);
    return to ? *to + 1 : 0;
}

TEST(SiblingSearch, BottomUpWindowWalksColumnsUpAndDownAndRowsLeftAndRight) {
    const auto frames = sixButtons();
    for (const bool wrap : {true, false}) {
        SCOPED_TRACE(wrap ? "wrapping" : "not wrapping");
        EXPECT_EQ(step(frames, 4, ArrowKey::Up, wrap, false), 1);
        EXPECT_EQ(step(frames, 4, ArrowKey::Down, wrap, false), 2) << "the top of the next column";
        EXPECT_EQ(step(frames, 4, ArrowKey::Left, wrap, false), 3);
        EXPECT_EQ(step(frames, 4, ArrowKey::Right, wrap, false), 5);
        EXPECT_EQ(step(frames, 6, ArrowKey::Down, wrap, false), 1) << "last to first";
        EXPECT_EQ(step(frames, 1, ArrowKey::Up, wrap, false), 6) << "first to last";
        EXPECT_EQ(step(frames, 1, ArrowKey::Left, wrap, false), 6) << "first to last";
    }
}

TEST(SiblingSearch, TopDownWindowReadsRowsBothWays) {
    const auto frames = sixButtons();
    EXPECT_EQ(step(frames, 4, ArrowKey::Up, true, true), 1);
    EXPECT_EQ(step(frames, 4, ArrowKey::Down, true, true), 5) << "no row below and not the last column";
    EXPECT_EQ(step(frames, 4, ArrowKey::Left, true, true), 3);
    EXPECT_EQ(step(frames, 4, ArrowKey::Right, true, true), 5);
    EXPECT_EQ(step(frames, 3, ArrowKey::Right, true, true), 4);
}

TEST(SiblingSearch, WrappingDecidesTheMovesOffTheGridsEdge) {
    const auto frames = sixButtons();
    // Up from the top row goes to the bottom of the column before; down from the bottom row onwards.
    EXPECT_EQ(step(frames, 2, ArrowKey::Up, true, true), 4);
    EXPECT_EQ(step(frames, 2, ArrowKey::Up, false, true), 0);
    EXPECT_EQ(step(frames, 5, ArrowKey::Down, true, true), 6);
    EXPECT_EQ(step(frames, 5, ArrowKey::Down, false, true), 0);

    // In one column, left and right move only when wrapping.
    const std::vector<QRectF> column = {{0, 0, 32, 22}, {0, 30, 32, 22}, {0, 60, 32, 22}};
    EXPECT_EQ(step(column, 2, ArrowKey::Left, true, true), 1);
    EXPECT_EQ(step(column, 2, ArrowKey::Left, false, true), 0);
    EXPECT_EQ(step(column, 2, ArrowKey::Right, true, true), 3);
    EXPECT_EQ(step(column, 2, ArrowKey::Right, false, true), 0);
}

TEST(SiblingSearch, ColumnsMatchWithinTwoPoints) {
    // 1 2 over 3 4, with 3 shifted right: by 1.5 it still stands under 1 (two rows), by 2.0 it does not,
    // and up from 2 wraps to the last row of the first column or stays on the first row.
    for (const auto& [shift, expected] : {std::pair{1.5, 3}, std::pair{2.0, 1}}) {
        const std::vector<QRectF> frames = {
            {0, 0, 32, 22}, {40, 0, 32, 22}, {shift, 30, 32, 22}, {40, 30, 32, 22}};
        EXPECT_EQ(step(frames, 2, ArrowKey::Up, true, true), expected) << "shift " << shift;
    }
}

TEST(SiblingSearch, WalksWithoutButtonsOrFromAStrangerAnswerNone) {
    const std::vector<QRectF> none;
    for (const ArrowKey key : {ArrowKey::Up, ArrowKey::Down, ArrowKey::Left, ArrowKey::Right}) {
        EXPECT_FALSE(findNearestSiblingItem(none, std::nullopt, key, true, false));
        EXPECT_FALSE(findNearestSiblingItem(sixButtons(), 99, key, true, false));
    }
    EXPECT_EQ(step(sixButtons(), 0, ArrowKey::Down, true, false), 1) << "no focus yet: the first button";
}

} // namespace
