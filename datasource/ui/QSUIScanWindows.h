// The windows the data source keeps up while it scans: the progress window, whose Stop button (tag 2)
// asks for an abort by disabling itself, and the manual-feed scan panel, through which the user scans
// the next batch (800) or ends the scan (801) each time the feeder has run empty, with a status line
// (802). Neither is run by a blocking loop: the data source pumps their modal sessions one slice at a
// time from its idle timer and its waiting loop. Main thread only.
#pragma once

#include "ModalSession.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

class QSUIScanWindows {
public:
    static constexpr int kAbortButtonTag = 2;
    static constexpr int kScanNextButtonTag = 800;
    static constexpr int kStopButtonTag = 801;
    static constexpr int kStatusTextTag = 802;
    // Flags of updateScanPanel().
    static constexpr std::uint32_t kScanNextEnabled = 0x1;
    static constexpr std::uint32_t kStopEnabled = 0x2;
    static constexpr std::uint32_t kStatusScanning = 0x10000;
    // scanPanelStatus() answers.
    static constexpr int kNoButtonPressed = 0;
    static constexpr int kScanNextPressed = 1;
    static constexpr int kStopPressed = 2;

    // Loads both interface files; a window whose file is missing stays null and its calls do nothing.
    QSUIScanWindows();
    ~QSUIScanWindows();
    QSUIScanWindows(const QSUIScanWindows&) = delete;
    QSUIScanWindows& operator=(const QSUIScanWindows&) = delete;

    QWidget* progressWindow() const { return mProgressWindow.get(); }
    // The progress window on screen now, of whichever scan; null when none is shown.
    static QWidget* shownProgressWindow();
    QWidget* scanPanel() const { return mScanPanel; }

    void showProgressWindow();
    void hideProgressWindow();
    // While the host handles a callback: the window stays up but takes its modality away.
    void suspendProgressWindow();
    void resumeProgressWindow();
    // Handles the windows' events for one slice; true once Stop was pressed.
    bool idleProgress();
    // The Stop button was pressed since the window was last shown.
    bool abortRequested() const;
    bool hasProgressSession() const { return mProgressSession != nullptr; }

    void showScanPanel();
    void hideScanPanel();
    bool isScanPanelVisible() const;
    void updateScanPanel(std::uint32_t flags);
    int scanPanelStatus() const;
    void clearScanPanelButtonStatus();
    std::intptr_t beginScanPanelModalSession();
    void endScanPanelModalSession(std::intptr_t session);
    void idleScanPanel();
    // Off while a device alert is up: the panel takes no input until the alert is answered.
    void setScanPanelWorksWhenModal(bool works);

private:
    void abortScan();
    void pressScanPanelButton(int tag);

    std::unique_ptr<QWidget> mProgressWindow;
    std::unique_ptr<appkit::ModalSession> mProgressSession;
    // A child window of the progress window when there is one, so that the progress window's session
    // does not block it.
    QPointer<QWidget> mScanPanel;
    std::unique_ptr<QWidget> mOwnScanPanel; // set when there is no progress window to own the panel
    std::unique_ptr<appkit::ModalSession> mScanPanelSession;
    bool mScanNextPressed = false;
    bool mStopPressed = false;
};
