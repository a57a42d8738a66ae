// See TlvPreviewCache.h. Every change of page or turn drops the zoom, so a zoomed view is never shown
// for a page or a turn it was not made for.
#include "TlvPreviewCache.h"

#include <QString>

#include <algorithm>

namespace tlv {

void TlvPreviewCache::savePreviewImage(QImage thumbnail) {
    mEntries.push_back({QImage(), 0});
    keepImage(mEntries.size() - 1, std::move(thumbnail));
    mSelected = maxCount();
    mScale = 0;
}

void TlvPreviewCache::restoreImage(std::size_t index, QImage thumbnail) {
    if (index < mEntries.size())
        keepImage(index, std::move(thumbnail));
}

void TlvPreviewCache::keepImage(std::size_t index, QImage thumbnail) {
    std::erase(mKept, index);
    mEntries[index].image = std::move(thumbnail);
    mKept.push_back(index);
    if (mKept.size() > kKeptImages) {
        mEntries[mKept.front()].image = QImage();
        mKept.pop_front();
    }
}

const TlvPreviewEntry* TlvPreviewCache::preInfoAtIndex(std::size_t index) const {
    return index < mEntries.size() ? &mEntries[index] : nullptr;
}

const TlvPreviewEntry* TlvPreviewCache::current() const {
    return mSelected > 0 ? preInfoAtIndex(static_cast<std::size_t>(mSelected - 1)) : nullptr;
}

bool TlvPreviewCache::movePage(int tag) {
    if (mSelected == 0)
        return false;
    int page = mSelected;
    switch (tag) {
    case kTagPreFirst:
        page = 1;
        break;
    case kTagPrePrev:
        page = std::max(1, mSelected - 1);
        break;
    case kTagPreNext:
        page = std::min(maxCount(), mSelected + 1);
        break;
    case kTagPreLast:
        page = maxCount();
        break;
    default:
        return false;
    }
    mScale = 0;
    const bool moved = page != mSelected;
    mSelected = page;
    return moved;
}

bool TlvPreviewCache::applySelectedPage(const QString& text) {
    bool isNumber = false;
    const int page = text.toInt(&isNumber);
    if (!isNumber || page < 1 || page > maxCount())
        return false;
    mSelected = page;
    mScale = 0;
    return true;
}

bool TlvPreviewCache::zoom(int tag) {
    const int step = tag == kTagPreZoomIn ? mScale + 1 : mScale - 1;
    if (mSelected == 0 || step < 0 || step > kMaxZoom)
        return false;
    mScale = step;
    return true;
}

int TlvPreviewCache::turnCurrent(int tag) {
    if (mSelected == 0 || (tag != kTagPreTurnLeft && tag != kTagPreTurnRight))
        return -1;
    TlvPreviewEntry& entry = mEntries[static_cast<std::size_t>(mSelected - 1)];
    entry.rotate = (entry.rotate + (tag == kTagPreTurnRight ? 1 : 3)) % 4;
    mScale = 0;
    return entry.rotate;
}

void TlvPreviewCache::keepPages(std::size_t keep) {
    if (keep < mEntries.size())
        mEntries.resize(keep);
    std::erase_if(mKept, [keep](std::size_t index) { return index >= keep; });
    mSelected = maxCount();
    mScale = 0;
}

TlvPreviewControls TlvPreviewCache::controls(bool enable, bool stateBelowOutput) const {
    if (!enable)
        return {};
    const bool page = mSelected > 0;
    return {.firstPrev = mSelected >= 2,
            .number = page,
            .nextLast = page && mSelected < maxCount(),
            .zoomIn = page && mScale < kMaxZoom,
            .zoomOut = page && mScale > 0,
            .turn = page && stateBelowOutput};
}

} // namespace tlv
