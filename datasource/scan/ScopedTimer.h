// A run-loop timer kept by the data source. Replacing or dropping it stops it, so a timer can never fire
// into a batch that has moved on or a data source that is gone.
#pragma once

#include "Timer.h"

class CScopedTimer {
public:
    CScopedTimer() = default;
    ~CScopedTimer() { Reset(); }
    CScopedTimer(const CScopedTimer&) = delete;
    CScopedTimer& operator=(const CScopedTimer&) = delete;

    // Stops the timer held so far and keeps timer (none: keeps nothing).
    void Reset(fnd::TimerRef timer = {}) {
        if (mTimer)
            mTimer->invalidate();
        mTimer = std::move(timer);
    }
    bool IsScheduled() const { return mTimer && mTimer->isValid(); }

private:
    fnd::TimerRef mTimer;
};
