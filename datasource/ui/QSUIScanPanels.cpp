// The dialog's part in a scan: the progress window and the manual-feed scan panel, kept for every scan
// of a Qt host, with the dialog or without it.
#include "QSUIController.h"

void ComOrvikElectronicsK3100QSUIController::showProgressWindow() {
    mScanWindows.showProgressWindow();
}

void ComOrvikElectronicsK3100QSUIController::resumeProgressWindow() {
    mScanWindows.resumeProgressWindow();
}

void ComOrvikElectronicsK3100QSUIController::suspendProgressWindow() {
    mScanWindows.suspendProgressWindow();
}

void ComOrvikElectronicsK3100QSUIController::hideProgressWindow() {
    mScanWindows.hideProgressWindow();
}

bool ComOrvikElectronicsK3100QSUIController::idleProgress() {
    return mScanWindows.idleProgress();
}

void ComOrvikElectronicsK3100QSUIController::showScanPanel() {
    mScanWindows.showScanPanel();
}

void ComOrvikElectronicsK3100QSUIController::hideScanPanel() {
    mScanWindows.hideScanPanel();
}

void ComOrvikElectronicsK3100QSUIController::updateScanPanel(std::uint32_t flags) {
    mScanWindows.updateScanPanel(flags);
}

int ComOrvikElectronicsK3100QSUIController::scanPanelStatus() const {
    return mScanWindows.scanPanelStatus();
}

std::intptr_t ComOrvikElectronicsK3100QSUIController::beginScanPanelModalSession() {
    return mScanWindows.beginScanPanelModalSession();
}

void ComOrvikElectronicsK3100QSUIController::endScanPanelModalSession(std::intptr_t session) {
    mScanWindows.endScanPanelModalSession(session);
}

void ComOrvikElectronicsK3100QSUIController::idleScanPanel() {
    mScanWindows.idleScanPanel();
}

bool ComOrvikElectronicsK3100QSUIController::isScanPanelVisible() const {
    return mScanWindows.isScanPanelVisible();
}

void ComOrvikElectronicsK3100QSUIController::setScanPanelWorksWhenModal(bool works) {
    mScanWindows.setScanPanelWorksWhenModal(works);
}
