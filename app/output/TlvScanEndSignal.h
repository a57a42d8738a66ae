// The end of a scan batch as a condition: the scan side marks the start of a batch and every way a
// batch ends (normal end, cancel, close request, failed enable) signals it, so a page writer that must
// wait for the end sleeps instead of spinning. Without a running batch nothing is waited for.
#pragma once

#include <condition_variable>
#include <mutex>

namespace tlv {

class TlvScanEndSignal {
public:
    void batchStarted();
    void batchEnded();
    bool isFinishScan() const;
    void waitForEnd() const;

private:
    mutable std::mutex mLock;
    mutable std::condition_variable mEnded;
    bool mRunning = false;
};

} // namespace tlv
