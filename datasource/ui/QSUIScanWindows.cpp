#include "QSUIScanWindows.h"

#include "DialogItems.h"
#include "FRollOverButton.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QSUIStrings.h"
#include "ResourcePeeker.h"
#include "RollOverImages.h"
#include "ShieldWindows.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// One slice of the host's events when no session of ours is modal.
void RunEventSlice() {
    QEventLoop slice;
    QTimer::singleShot(appkit::ModalSession::kSliceMs, &slice, &QEventLoop::quit);
    slice.exec();
}

std::unique_ptr<QWidget> LoadScanWindow(const QString& name) {
    static const UiClassMap classes{
        {QStringLiteral("FRollOverButton"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100FRollOverButton(parent); }},
    };
    return LoadResourceUiFile(name, classes, ResourcePeeker);
}

QPointer<QWidget>& ShownProgressWindow() {
    static QPointer<QWidget> shown;
    return shown;
}

} // namespace

QWidget* QSUIScanWindows::shownProgressWindow() {
    return ShownProgressWindow();
}

QSUIScanWindows::QSUIScanWindows() : mProgressWindow(LoadScanWindow(QStringLiteral("ProgressWindow"))) {
    if (mProgressWindow)
        if (auto* abort = appkit::viewWithTag<QAbstractButton>(mProgressWindow.get(), kAbortButtonTag))
            QObject::connect(abort, &QAbstractButton::clicked, abort, [this] { abortScan(); });
    std::unique_ptr<QWidget> panel = LoadScanWindow(QStringLiteral("ScanPanel"));
    if (!panel)
        return;
    mScanPanel = panel.get();
    if (mProgressWindow)
        panel.release()->setParent(mProgressWindow.get(), Qt::Window | Qt::Dialog);
    else
        mOwnScanPanel = std::move(panel);
    SetupRollOverButton(
        mScanPanel, kScanNextButtonTag,
        {"SPN_Scan_N", "SPN_Scan_S", "SPN_Scan_NF", "SPN_Scan_SF", "SPN_Scan_G", "SPN_Scan_C"});
    for (const int tag : {kScanNextButtonTag, kStopButtonTag})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(mScanPanel, tag))
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [this, tag] { pressScanPanelButton(tag); });
    // Closing the panel by its title bar would leave the data source waiting for an answer.
    mScanPanel->setWindowFlag(Qt::WindowCloseButtonHint, false);
}

QSUIScanWindows::~QSUIScanWindows() {
    mScanPanelSession.reset();
    hideScanPanel();
    hideProgressWindow();
}

void QSUIScanWindows::showProgressWindow() {
    if (!mProgressWindow || mProgressWindow->isVisible())
        return;
    SetItemEnabled(mProgressWindow.get(), kAbortButtonTag, true);
    ShownProgressWindow() = mProgressWindow.get();
    mProgressSession = std::make_unique<appkit::ModalSession>(mProgressWindow.get());
    idleProgress();
}

void QSUIScanWindows::hideProgressWindow() {
    if (!mProgressWindow || !mProgressWindow->isVisible())
        return;
    mProgressSession.reset();
    appkit::FWindow::removeShieldWindow(mProgressWindow.get());
    mProgressWindow->hide();
    if (ShownProgressWindow() == mProgressWindow.get())
        ShownProgressWindow() = nullptr;
}

void QSUIScanWindows::suspendProgressWindow() {
    if (mProgressSession && QApplication::activeModalWidget() == mProgressWindow.get())
        mProgressSession.reset();
}

void QSUIScanWindows::resumeProgressWindow() {
    if (!mProgressWindow || !mProgressWindow->isVisible() || mProgressSession)
        return;
    QPointer<QWidget> key = QApplication::activeWindow();
    mProgressSession = std::make_unique<appkit::ModalSession>(mProgressWindow.get());
    // A panel that works beside the progress window (the scan panel) keeps the keyboard.
    if (key && key == mScanPanel && QApplication::activeWindow() != key) {
        key->raise();
        key->activateWindow();
    }
}

bool QSUIScanWindows::idleProgress() {
    if (!mProgressSession || QApplication::activeModalWidget() != mProgressWindow.get())
        return false;
    mProgressSession->run();
    return abortRequested();
}

bool QSUIScanWindows::abortRequested() const {
    const QWidget* abort = appkit::viewWithTag(mProgressWindow.get(), kAbortButtonTag);
    return abort && !abort->isEnabled();
}

void QSUIScanWindows::abortScan() {
    SetItemEnabled(mProgressWindow.get(), kAbortButtonTag, false);
}

void QSUIScanWindows::showScanPanel() {
    if (!mScanPanel || mScanPanel->isVisible())
        return;
    mScanPanel->show();
    mScanPanel->raise();
    mScanPanel->activateWindow();
    fnd::NotificationCenter::defaultCenter().post(kShowQSWindowNotification,
                                                  fnd::Value::pointer(mScanPanel.data()));
}

void QSUIScanWindows::hideScanPanel() {
    if (!mScanPanel || !mScanPanel->isVisible())
        return;
    fnd::NotificationCenter::defaultCenter().post(kHideQSWindowNotification,
                                                  fnd::Value::pointer(mScanPanel.data()));
    mScanPanel->hide();
}

bool QSUIScanWindows::isScanPanelVisible() const {
    return mScanPanel && mScanPanel->isVisible();
}

void QSUIScanWindows::updateScanPanel(std::uint32_t flags) {
    if (!mScanPanel)
        return;
    SetItemEnabled(mScanPanel, kScanNextButtonTag, (flags & kScanNextEnabled) != 0);
    SetItemEnabled(mScanPanel, kStopButtonTag, (flags & kStopEnabled) != 0);
    SetItemString(
        mScanPanel, kStatusTextTag,
        QSUIString((flags & kStatusScanning) ? QStringLiteral("Scanning") : QStringLiteral("Wainting")));
    if (QWidget* status = appkit::viewWithTag(mScanPanel, kStatusTextTag))
        status->repaint();
}

int QSUIScanWindows::scanPanelStatus() const {
    if (mStopPressed)
        return kStopPressed;
    return mScanNextPressed ? kScanNextPressed : kNoButtonPressed;
}

void QSUIScanWindows::clearScanPanelButtonStatus() {
    mScanNextPressed = false;
    mStopPressed = false;
}

void QSUIScanWindows::pressScanPanelButton(int tag) {
    clearScanPanelButtonStatus();
    (tag == kStopButtonTag ? mStopPressed : mScanNextPressed) = true;
}

std::intptr_t QSUIScanWindows::beginScanPanelModalSession() {
    if (!mScanPanel)
        return 0;
    // The progress window stays in sight but takes no input until the user has answered.
    mProgressSession.reset();
    if (mProgressWindow && mProgressWindow->isVisible())
        appkit::FWindow::setShieldWindow(mProgressWindow.get(), false);
    clearScanPanelButtonStatus();
    mScanPanelSession = std::make_unique<appkit::ModalSession>(mScanPanel);
    return reinterpret_cast<std::intptr_t>(mScanPanelSession.get());
}

void QSUIScanWindows::endScanPanelModalSession(std::intptr_t session) {
    if (session == 0 || session != reinterpret_cast<std::intptr_t>(mScanPanelSession.get()))
        return;
    mScanPanelSession.reset();
    if (mProgressWindow)
        appkit::FWindow::removeShieldWindow(mProgressWindow.get());
}

void QSUIScanWindows::idleScanPanel() {
    if (!isScanPanelVisible())
        return;
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != mScanPanel)
        return;
    mScanPanel->raise();
    mScanPanel->activateWindow();
    if (mScanPanelSession && modal == mScanPanel)
        mScanPanelSession->run();
    else
        RunEventSlice();
}

void QSUIScanWindows::setScanPanelWorksWhenModal(bool works) {
    if (!mScanPanel)
        return;
    if (works)
        appkit::FWindow::removeShieldWindow(mScanPanel);
    else
        appkit::FWindow::setShieldWindow(mScanPanel, true);
}
