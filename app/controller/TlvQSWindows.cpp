#include "TlvQSWindows.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ShieldWindows.h"

TlvQSWindows::TlvQSWindows(std::function<QWidget*()> frontWindow) : mFrontWindow(std::move(frontWindow)) {
    fnd::NotificationCenter& center = fnd::NotificationCenter::defaultCenter();
    center.addObserver(this, kShowQSWindowNotification, [this](const fnd::Notification& n) {
        showQSWindow(static_cast<QWidget*>(n.object.asPointer()));
    });
    center.addObserver(this, kHideQSWindowNotification, [this](const fnd::Notification& n) {
        hideQSWindow(static_cast<QWidget*>(n.object.asPointer()));
    });
}

TlvQSWindows::~TlvQSWindows() {
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
}

void TlvQSWindows::showQSWindow(QWidget* window) {
    if (!window)
        return;
    QPointer<QWidget>* slot = !mQSMainWin ? &mQSMainWin : (!mQSSubWin ? &mQSSubWin : nullptr);
    if (!slot)
        return;
    *slot = window;
    appkit::FWindow::beginModalWindow(window, mFrontWindow ? mFrontWindow() : nullptr);
}

void TlvQSWindows::hideQSWindow(QWidget* window) {
    QPointer<QWidget>* slot =
        !window ? nullptr
                : (mQSMainWin == window ? &mQSMainWin : (mQSSubWin == window ? &mQSSubWin : nullptr));
    if (!slot)
        return;
    appkit::FWindow::endModalWindow(window, false);
    // The data source owns its window: it must not go with ours.
    window->setParent(nullptr, window->windowFlags());
    *slot = nullptr;
}
