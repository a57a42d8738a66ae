// The preview's own record of the batch: one entry per page it was shown (the thumbnail and its quarter
// turns), the current page counted from 1 (0 when there is none), the zoom step, and the rules that say
// which of the preview's controls may act. Plain state, so a test drives it without a window. Only the
// pictures of the pages last shown are kept, so a long batch holds no more than a short one; the others
// are made again from the page list when shown.
#pragma once

#include <QImage>

#include <cstddef>
#include <deque>
#include <vector>

namespace tlv {

// Tags of the preview's controls.
inline constexpr int kTagPreFirst = 1100;
inline constexpr int kTagPrePrev = 1101;
inline constexpr int kTagPreNext = 1102;
inline constexpr int kTagPreLast = 1103;
inline constexpr int kTagPreZoomIn = 1104;
inline constexpr int kTagPreZoomOut = 1105;
inline constexpr int kTagPreTurnLeft = 1106;  // a quarter turn anticlockwise (0 becomes 3)
inline constexpr int kTagPreTurnRight = 1107; // a quarter turn clockwise (3 becomes 0)
inline constexpr int kTagPreHidden = 1108;
inline constexpr int kTagPreNumber = 1109;
inline constexpr int kTagPreCount = 1110;
inline constexpr int kTagPreLabel = 1111;

struct TlvPreviewEntry {
    QImage image; // the thumbnail; null when it is not kept
    int rotate = 0;
};

// Which controls may act now.
struct TlvPreviewControls {
    bool firstPrev = false;
    bool number = false; // the number field, the count and their label
    bool nextLast = false;
    bool zoomIn = false;
    bool zoomOut = false;
    bool turn = false;
};

class TlvPreviewCache {
public:
    static constexpr int kMaxZoom = 4;
    // Pictures kept: the pages last shown.
    static constexpr std::size_t kKeptImages = 8;
    // Digits the page-number field takes.
    static constexpr int kNumberDigits = 3;

    // Adds a page and makes it current (zoom back to 0).
    void savePreviewImage(QImage thumbnail);
    // Keeps the picture of the page at index (from 0) again, as the latest shown.
    void restoreImage(std::size_t index, QImage thumbnail);
    // The entry of page index (from 0); null when out of range.
    const TlvPreviewEntry* preInfoAtIndex(std::size_t index) const;
    const TlvPreviewEntry* current() const;
    int maxCount() const { return static_cast<int>(mEntries.size()); }
    int selectedPageIndex() const { return mSelected; }
    int scale() const { return mScale; }

    // First, previous, next, last by the control's tag; stays inside the pages. False when nothing moved.
    bool movePage(int tag);
    // The page-number field's text: a number from 1 to the page count becomes the current page.
    bool applySelectedPage(const QString& text);
    // Zoom in (kTagPreZoomIn) or out (any other tag) by one step within 0..kMaxZoom.
    bool zoom(int tag);
    // Back to the whole page.
    void resetZoom() { mScale = 0; }
    // Turns the current page by a quarter (kTagPreTurnLeft or kTagPreTurnRight) and answers its new
    // count; -1 when there is no current page or the tag is neither.
    int turnCurrent(int tag);
    // Keeps the first keep pages (the main list dropped the rest); the last one left becomes current.
    void keepPages(std::size_t keep);

    // stateBelowOutput: the application has not yet reached its output states, where turns stop.
    TlvPreviewControls controls(bool enable, bool stateBelowOutput) const;

private:
    void keepImage(std::size_t index, QImage thumbnail);

    std::vector<TlvPreviewEntry> mEntries;
    std::deque<std::size_t> mKept; // entries whose picture is kept, the one shown longest ago first
    int mSelected = 0;
    int mScale = 0;
};

} // namespace tlv
