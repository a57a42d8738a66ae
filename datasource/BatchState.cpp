// The batch's steps. Counts only ever count down to 0 or are set from a sheet's or a request's number,
// which is never taken below 0, so "images left" is a plain non-negative count everywhere.
#include "BatchState.h"

#include <algorithm>
#include <utility>

void CBatchState::Enable() {
    mScanMode = kScanModeNormal;
    DropImages();
    mFault = {};
    mStopAfterSheet = false;
}

void CBatchState::TakeRequest(std::uint32_t scanMode, std::int32_t keptImages) {
    mScanMode = static_cast<EXferReadyScanMode>(scanMode);
    mStopAfterSheet = false;
    if (TransfersKeptImages()) {
        mKeptImagesLeft = std::max(keptImages, 0);
        mSheetImagesLeft = mKeptImagesLeft;
    }
}

void CBatchState::StartSheet(std::int32_t images) {
    mSheetImagesLeft = std::max(images, 0);
    mFault = {};
}

void CBatchState::FeedOn(std::int32_t images) {
    mSheetImagesLeft = std::max(images, 0);
}

void CBatchState::DropImages() {
    mSheetImagesLeft = 0;
    mKeptImagesLeft = 0;
}

void CBatchState::ImageDelivered() {
    if (mSheetImagesLeft > 0)
        --mSheetImagesLeft;
    if (mKeptImagesLeft > 0)
        --mKeptImagesLeft;
    if (mScanMode == kScanModeKeptThenScan && mKeptImagesLeft == 0)
        mScanMode = kScanModeNormal;
}

bool CBatchState::BlankSideDropped(std::int32_t feedOn) {
    if (mSheetImagesLeft > 0)
        --mSheetImagesLeft;
    if (mKeptImagesLeft > 0)
        --mKeptImagesLeft;
    if (mSheetImagesLeft == 0 && IsNormalScan())
        mSheetImagesLeft = std::max(feedOn, 0);
    return mSheetImagesLeft != 0;
}

void CBatchState::SheetRanOutOnBlanks() {
    if (mScanMode == kScanModeKeptThenEnd)
        mScanMode = kScanModeKeptDone;
    else if (mScanMode == kScanModeKeptThenScan)
        mScanMode = kScanModeNormal;
}

TW_STATUS CBatchState::TakeFault() {
    return std::exchange(mFault, TW_STATUS{});
}
