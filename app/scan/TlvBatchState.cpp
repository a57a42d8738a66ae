// The batch's steps. Every "take" answers true once and then false until the step that clears it, so a
// question, an abort, a feeder stop or a return to the top happens once however many callers reach it.
#include "TlvBatchState.h"

#include <utility>

namespace tlv {

bool TlvBatchState::takeReturnToTop() {
    return !std::exchange(mScan.returnedToTop, true);
}

void TlvBatchState::beginScan() {
    mScan = {};
}

void TlvBatchState::resumeScan() {
    mScan.cancelled = false;
    mScan.closed = false;
}

bool TlvBatchState::takeCancelToDS() {
    return !std::exchange(mScan.cancelSentToDS, true);
}

bool TlvBatchState::takeFeederStopToDS() {
    return mScan.feederStopAsked && !std::exchange(mScan.feederStopSent, true);
}

void TlvBatchState::batchReady() {
    if (std::exchange(mAutoClose.pending, false))
        mAutoClose.armed = true;
}

bool TlvBatchState::takeAutoClose() {
    return std::exchange(mAutoClose.armed, false);
}

bool TlvBatchState::takeMailSizeQuestion() {
    return !std::exchange(mMailSizeAsked, true);
}

void TlvBatchState::askRelease(Release release) {
    mRelease.deleteFiles = mRelease.deleteFiles || release.deleteFiles;
    mRelease.removeTmpFolder = mRelease.removeTmpFolder || release.removeTmpFolder;
    mReleasePending = true;
}

TlvBatchState::Release TlvBatchState::takeRelease() {
    mReleasePending = false;
    return std::exchange(mRelease, Release{});
}

} // namespace tlv
