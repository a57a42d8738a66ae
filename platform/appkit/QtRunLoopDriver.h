// Makes the foundation's main run loop and Qt's event loop one: while Qt idles, a single-shot QTimer
// (the next run-loop timer) and a queued wake-up (work queued from any thread) run the loop's due
// work; while a caller waits inside a nested run of the loop on the main thread (the data source in
// a TWAIN call), the loop handles Qt's events, so windows repaint and buttons answer.
#pragma once

#include "RunLoop.h"

#include <QObject>
#include <QTimer>

#include <atomic>

namespace appkit {

class QtRunLoopDriver final : public QObject, public fnd::RunLoopDriver {
public:
    // Drives fnd::RunLoop::main(); create it on the main thread once the QApplication exists. It
    // detaches itself when destroyed.
    QtRunLoopDriver();
    ~QtRunLoopDriver() override;
    QtRunLoopDriver(const QtRunLoopDriver&) = delete;
    QtRunLoopDriver& operator=(const QtRunLoopDriver&) = delete;

    void wake() override;
    bool pumpEvents(double seconds) override;

private:
    void drain();

    QTimer next_;
    // One queued wake-up at a time is enough: it drains everything queued before it runs.
    std::atomic<bool> wakePending_{false};
};

} // namespace appkit
