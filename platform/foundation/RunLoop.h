// One event loop per thread that asks for it: timers, delayed calls per target, and calls queued from
// other threads, run in first-in-first-out order. Nothing runs unless the owning thread runs the loop,
// either with runFor() (re-entrant: a callback may run the loop again) or, in an application with its
// own event loop, through a RunLoopDriver that calls processDue().
#pragma once

#include "Export.h"
#include "Timer.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace fnd {

// Lets another event loop (a Qt application's) drive a RunLoop. wake() may be called from any thread
// whenever work was queued or a timer was added; the driver must then, on the loop's thread, call
// processDue() and call it again after the delay it answers.
class FND_EXPORT RunLoopDriver {
public:
    virtual ~RunLoopDriver() = default;
    virtual void wake() = 0;
    // Called by runFor() on the loop's thread instead of sleeping, for at most seconds: a driver that
    // can handle its own loop's events meanwhile (so windows repaint while a caller waits in a nested
    // run) does so and answers true; a wake() must end the wait early. False: runFor() sleeps itself.
    virtual bool pumpEvents(double seconds) {
        (void)seconds;
        return false;
    }
};

class FND_EXPORT RunLoop {
public:
    // A loop of its own, run by whoever calls runFor(); threads normally use current().
    RunLoop() = default;
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    // The calling thread's loop, made on first use; on the main thread this is main().
    static RunLoop& current();
    // The main thread's loop, reachable from every thread so that workers can queue calls to it.
    static RunLoop& main();
    static bool isMainThread();

    // First firing after seconds, then (repeating) every seconds. A repeating timer that falls
    // behind skips the firings it missed. Negative intervals count as 0.
    TimerRef addTimer(double seconds, bool repeats, Timer::Callback callback);
    // Calls fn once after seconds unless cancelPerforms(target) comes first.
    void performAfterDelay(const void* target, std::function<void()> fn, double seconds);
    void cancelPerforms(const void* target);

    // Queues fn to run on this loop's thread after the calls queued before it. Any thread.
    void perform(std::function<void()> fn);

    // Runs queued calls and timers for the given time (s), returning when it is over; 0 handles what
    // is due now. A timer whose callback is running does not fire again in a nested run.
    void runFor(double seconds);
    // One pass over queued calls and due timers without waiting. Answers the delay (s) until the next
    // timer, none when no timer is pending.
    std::optional<double> processDue();

    // The driver is not owned; null detaches it.
    void setDriver(RunLoopDriver* driver);

    // Timers the loop holds: those neither invalidated nor fired for the last time.
    std::size_t timerCount();

private:
    friend class Timer;
    TimerRef schedule(double seconds, bool repeats, Timer::Callback callback, const void* target);
    bool runOneCall();
    void runDueTimers();
    void fire(const TimerRef& timer);
    // Takes the timers matching pred out of the loop; answers the callbacks to release once the mutex is
    // no longer held (a callback's captures may reach the loop again when they are destroyed).
    template <typename Pred> std::vector<Timer::Callback> removeLocked(Pred pred);
    void remove(Timer& timer);
    void notifyWork();
    std::optional<Timer::Clock::time_point> nextFireLocked();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> calls_;
    std::vector<TimerRef> timers_;
    bool timersChanged_ = false;
    RunLoopDriver* driver_ = nullptr;
};

// Runs fn on the main thread. With wait, returns once it ran (at once when called on the main thread)
// and passes its exception on; the main thread must be running its loop. Without wait, queues it.
FND_EXPORT void performOnMainThread(std::function<void()> fn, bool wait);

} // namespace fnd
