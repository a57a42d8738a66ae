// An application-modal session that its owner pumps itself, as the data source does while it waits
// for the scanner: each run() handles the windows' events for at most one slice (a local QEventLoop
// ended by a 100 ms timer) and says whether the session goes on.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace appkit {

class ModalSession {
public:
    // Longest time one run() keeps the caller (ms).
    static constexpr int kSliceMs = 100;

    // Shows window application-modal; the window is not owned and may be deleted meanwhile.
    explicit ModalSession(QWidget* window);
    // Ends the session: the window loses its modality (it stays shown; hiding it is the owner's).
    ~ModalSession();
    ModalSession(const ModalSession&) = delete;
    ModalSession& operator=(const ModalSession&) = delete;

    // Handles events for one slice, or less when stop() is called meanwhile. False once the session
    // has stopped or its window was closed or deleted.
    bool run();
    // Ends the session; a slice under way returns at once.
    void stop();
    bool isRunning() const;

private:
    QPointer<QWidget> window_;
    Qt::WindowModality oldModality_;
    bool stopped_ = false;
    QEventLoop* slice_ = nullptr; // while run() is under way
};

} // namespace appkit
