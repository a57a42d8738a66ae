// The loop keeps its queue and timers under one mutex and runs every callback with the mutex released,
// so callbacks may queue work, add timers or run the loop again. Waiting uses a condition variable
// woken by new work, with the earliest timer or the end of runFor() as the time-out.
#include "RunLoop.h"

#include "Immortal.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <unistd.h>

namespace fnd {
namespace {

using Clock = Timer::Clock;

// Longest wait taken at once (s): keeps time arithmetic far from overflow.
constexpr double kMaxSeconds = 1e8;
// Shortest repeat interval: a zero interval would spin the loop.
constexpr Clock::duration kMinRepeat = std::chrono::milliseconds(1);

Clock::duration toDuration(double seconds) {
    if (!(seconds > 0.0)) // negative and NaN
        return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(std::min(seconds, kMaxSeconds)));
}

// A failing callback must not take the loop, and every later timer, down with it.
template <typename F> void runGuarded(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "run loop: a callback failed: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "run loop: a callback failed\n");
    }
}

} // namespace

RunLoop::~RunLoop() {
    // Callbacks may hold references to their own timer; dropping them breaks such cycles. Holders that
    // invalidate a timer later must not reach the loop that is gone.
    for (const TimerRef& t : timers_) {
        t->loop_ = nullptr;
        if (!t->firing_)
            t->callback_ = nullptr;
    }
}

void Timer::invalidate() {
    valid_ = false;
    if (RunLoop* loop = loop_.load())
        loop->remove(*this);
}

template <typename Pred> std::vector<Timer::Callback> RunLoop::removeLocked(Pred pred) {
    std::vector<Timer::Callback> released;
    std::erase_if(timers_, [&](const TimerRef& t) {
        if (!pred(*t))
            return false;
        t->valid_ = false;
        t->loop_ = nullptr;
        // A running callback is released by fire() once it returns.
        if (!t->firing_)
            released.push_back(std::move(t->callback_));
        return true;
    });
    return released;
}

void RunLoop::remove(Timer& timer) {
    std::vector<Timer::Callback> released;
    std::lock_guard lock(mutex_);
    released = removeLocked([&](const Timer& t) { return &t == &timer; });
}

bool RunLoop::isMainThread() {
    return ::gettid() == ::getpid();
}

RunLoop& RunLoop::main() {
    static Immortal<RunLoop> loop;
    return loop.get();
}

RunLoop& RunLoop::current() {
    if (isMainThread())
        return main();
    thread_local RunLoop loop;
    return loop;
}

TimerRef RunLoop::schedule(double seconds, bool repeats, Timer::Callback callback, const void* target) {
    const Clock::duration delay = toDuration(seconds);
    auto timer = std::make_shared<Timer>(Timer::Key(), std::move(callback), std::max(delay, kMinRepeat),
                                         repeats, target);
    {
        std::lock_guard lock(mutex_);
        timer->fireAt_ = Clock::now() + delay;
        timer->loop_ = this;
        timers_.push_back(timer);
        timersChanged_ = true;
    }
    notifyWork();
    return timer;
}

TimerRef RunLoop::addTimer(double seconds, bool repeats, Timer::Callback callback) {
    return schedule(seconds, repeats, std::move(callback), nullptr);
}

void RunLoop::performAfterDelay(const void* target, std::function<void()> fn, double seconds) {
    if (fn)
        schedule(
            seconds, false, [fn = std::move(fn)](Timer&) { fn(); }, target);
}

void RunLoop::cancelPerforms(const void* target) {
    if (!target)
        return;
    std::vector<Timer::Callback> released;
    std::lock_guard lock(mutex_);
    released = removeLocked([&](const Timer& t) { return t.target_ == target; });
}

void RunLoop::perform(std::function<void()> fn) {
    if (!fn)
        return;
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(fn));
    }
    notifyWork();
}

void RunLoop::setDriver(RunLoopDriver* driver) {
    std::lock_guard lock(mutex_);
    driver_ = driver;
}

std::size_t RunLoop::timerCount() {
    std::lock_guard lock(mutex_);
    return timers_.size();
}

void RunLoop::notifyWork() {
    RunLoopDriver* driver = nullptr;
    {
        std::lock_guard lock(mutex_);
        driver = driver_;
    }
    changed_.notify_all();
    if (driver)
        driver->wake();
}

bool RunLoop::runOneCall() {
    std::function<void()> fn;
    {
        std::lock_guard lock(mutex_);
        if (calls_.empty())
            return false;
        fn = std::move(calls_.front());
        calls_.pop_front();
    }
    runGuarded(fn);
    return true;
}

void RunLoop::fire(const TimerRef& t) {
    {
        std::lock_guard lock(mutex_);
        if (!t->isValid() || t->firing_)
            return;
        t->firing_ = true;
    }
    runGuarded([&] { t->callback_(*t); });
    std::vector<Timer::Callback> released;
    std::lock_guard lock(mutex_);
    t->firing_ = false;
    if (!t->isValid()) { // it invalidated itself, or was invalidated meanwhile, and has left the loop
        released.push_back(std::move(t->callback_));
        return;
    }
    if (!t->repeats_) {
        released = removeLocked([&](const Timer& other) { return &other == t.get(); });
        return;
    }
    const Clock::time_point now = Clock::now();
    t->fireAt_ += t->interval_;
    if (t->fireAt_ <= now)
        t->fireAt_ += ((now - t->fireAt_) / t->interval_ + 1) * t->interval_;
}

void RunLoop::runDueTimers() {
    std::vector<TimerRef> due;
    {
        std::lock_guard lock(mutex_);
        const Clock::time_point now = Clock::now();
        for (const TimerRef& t : timers_)
            if (t->isValid() && !t->firing_ && t->fireAt_ <= now)
                due.push_back(t);
        std::sort(due.begin(), due.end(),
                  [](const TimerRef& a, const TimerRef& b) { return a->fireAt_ < b->fireAt_; });
    }
    for (const TimerRef& t : due)
        fire(t);
}

std::optional<Clock::time_point> RunLoop::nextFireLocked() {
    std::optional<Clock::time_point> next;
    for (const TimerRef& t : timers_)
        if (t->isValid() && !t->firing_ && (!next || t->fireAt_ < *next))
            next = t->fireAt_;
    return next;
}

std::optional<double> RunLoop::processDue() {
    std::size_t queued = 0;
    {
        std::lock_guard lock(mutex_);
        queued = calls_.size();
    }
    // Only the calls queued before this pass, so a call that queues another cannot starve the timers.
    for (std::size_t i = 0; i < queued && runOneCall(); ++i) {
    }
    runDueTimers();
    std::lock_guard lock(mutex_);
    const std::optional<Clock::time_point> next = nextFireLocked();
    if (!next)
        return std::nullopt;
    return std::max(0.0, std::chrono::duration<double>(*next - Clock::now()).count());
}

void RunLoop::runFor(double seconds) {
    const Clock::time_point deadline = Clock::now() + toDuration(seconds);
    for (;;) {
        processDue();
        std::unique_lock lock(mutex_);
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return;
        if (!calls_.empty())
            continue;
        Clock::time_point wakeAt = deadline;
        if (const auto next = nextFireLocked(); next && *next < wakeAt)
            wakeAt = *next;
        if (wakeAt <= now)
            continue;
        if (RunLoopDriver* driver = driver_) {
            lock.unlock();
            if (driver->pumpEvents(std::chrono::duration<double>(wakeAt - now).count()))
                continue;
            lock.lock();
        }
        timersChanged_ = false;
        changed_.wait_until(lock, wakeAt, [&] { return !calls_.empty() || timersChanged_; });
    }
}

void performOnMainThread(std::function<void()> fn, bool wait) {
    if (!fn)
        return;
    if (!wait) {
        RunLoop::main().perform(std::move(fn));
        return;
    }
    if (RunLoop::isMainThread()) {
        fn();
        return;
    }
    struct Completion {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::exception_ptr error;
    };
    auto completion = std::make_shared<Completion>();
    RunLoop::main().perform([fn = std::move(fn), completion] {
        try {
            fn();
        } catch (...) {
            completion->error = std::current_exception();
        }
        std::lock_guard lock(completion->mutex);
        completion->finished = true;
        completion->done.notify_all();
    });
    std::unique_lock lock(completion->mutex);
    completion->done.wait(lock, [&] { return completion->finished; });
    if (completion->error)
        std::rethrow_exception(completion->error);
}

} // namespace fnd
