// A run-loop timer: fires once, or repeatedly at a fixed interval, on the thread whose run loop holds
// it, and only while that loop runs. The loop holds the timer, and its callback, only until the timer is
// invalidated or, for a one-shot timer, has fired: then both leave the loop at once, so nothing of a
// module that has dropped its timers stays behind in a loop that outlives it. Holders of the shared
// pointer may invalidate it from any thread.
#pragma once

#include "Export.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace fnd {

class RunLoop;

class FND_EXPORT Timer {
public:
    using Clock = std::chrono::steady_clock;
    using Callback = std::function<void(Timer&)>;

    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Stops every later firing and takes the timer out of its loop; a callback already running finishes
    // and is released when it returns.
    void invalidate();
    bool isValid() const { return valid_; }
    bool repeats() const { return repeats_; }
    // The object whose delayed calls this timer carries (see RunLoop::performAfterDelay), or null.
    const void* target() const { return target_; }

    // Only a RunLoop can make the key, so timers exist only inside a loop.
    class Key {
        Key() = default;
        friend class RunLoop;
    };
    Timer(Key, Callback callback, Clock::duration interval, bool repeats, const void* target)
        : callback_(std::move(callback)), interval_(interval), repeats_(repeats), target_(target) {}

private:
    friend class RunLoop;

    Callback callback_;
    Clock::duration interval_;
    bool repeats_;
    const void* target_;
    std::atomic<bool> valid_{true};
    // The loop holding the timer; null once it has left it (or the loop is gone).
    std::atomic<RunLoop*> loop_{nullptr};
    // Guarded by the owning loop's mutex.
    Clock::time_point fireAt_{};
    bool firing_ = false;
};

using TimerRef = std::shared_ptr<Timer>;

} // namespace fnd
