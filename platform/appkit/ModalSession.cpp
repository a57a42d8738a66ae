// A slice is a local event loop rather than processEvents(), so timers, posted events and deferred
// work all behave as they do under the application's own loop.
#include "ModalSession.h"

#include <QTimer>

namespace appkit {

ModalSession::ModalSession(QWidget* window) : window_(window) {
    oldModality_ = window ? window->windowModality() : Qt::NonModal;
    if (!window)
        return;
    if (window->isVisible() && window->windowModality() != Qt::ApplicationModal)
        window->hide(); // modality only changes while hidden
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
}

ModalSession::~ModalSession() {
    if (!window_)
        return;
    const bool visible = window_->isVisible();
    window_->hide();
    window_->setWindowModality(oldModality_);
    if (visible)
        window_->show();
}

bool ModalSession::isRunning() const {
    return !stopped_ && window_ && window_->isVisible();
}

void ModalSession::stop() {
    stopped_ = true;
    if (slice_)
        slice_->quit();
}

bool ModalSession::run() {
    if (!isRunning())
        return false;
    QEventLoop slice;
    QTimer::singleShot(kSliceMs, &slice, &QEventLoop::quit);
    slice_ = &slice;
    slice.exec();
    slice_ = nullptr;
    return isRunning();
}

} // namespace appkit
