// processDue() answers the delay to the next run-loop timer, which becomes the QTimer's interval; a
// wake-up from another thread is a queued call, which also ends a wait in pumpEvents().
#include "QtRunLoopDriver.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <cmath>
#include <limits>

namespace appkit {

namespace {

int toMilliseconds(double seconds) {
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(ms);
}

} // namespace

QtRunLoopDriver::QtRunLoopDriver() {
    next_.setSingleShot(true);
    next_.setTimerType(Qt::PreciseTimer);
    connect(&next_, &QTimer::timeout, this, &QtRunLoopDriver::drain);
    fnd::RunLoop::main().setDriver(this);
    wake(); // work queued before the driver came
}

QtRunLoopDriver::~QtRunLoopDriver() {
    fnd::RunLoop::main().setDriver(nullptr);
}

void QtRunLoopDriver::wake() {
    if (!wakePending_.exchange(true))
        QMetaObject::invokeMethod(this, &QtRunLoopDriver::drain, Qt::QueuedConnection);
}

void QtRunLoopDriver::drain() {
    wakePending_ = false;
    const std::optional<double> delay = fnd::RunLoop::main().processDue();
    if (delay)
        next_.start(toMilliseconds(*delay));
    else
        next_.stop();
}

bool QtRunLoopDriver::pumpEvents(double seconds) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || QCoreApplication::closingDown())
        return false;
    // The limit is an event of its own, so the blocking wait below ends in time at the latest.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(toMilliseconds(seconds));
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return true;
}

} // namespace appkit
