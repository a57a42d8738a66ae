// See TlvScanEndSignal.h.
#include "TlvScanEndSignal.h"

namespace tlv {

void TlvScanEndSignal::batchStarted() {
    std::lock_guard guard(mLock);
    mRunning = true;
}

void TlvScanEndSignal::batchEnded() {
    {
        std::lock_guard guard(mLock);
        mRunning = false;
    }
    mEnded.notify_all();
}

bool TlvScanEndSignal::isFinishScan() const {
    std::lock_guard guard(mLock);
    return !mRunning;
}

void TlvScanEndSignal::waitForEnd() const {
    std::unique_lock guard(mLock);
    mEnded.wait(guard, [this] { return !mRunning; });
}

} // namespace tlv
