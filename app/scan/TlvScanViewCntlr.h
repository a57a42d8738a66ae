// The view shown while scanning and the one entry through which every scan starts: it clears what the
// previous batch left, waits (without blocking) for earlier transfer and page-writing threads, asks
// the session controller to open the data source, and at the end of a batch sends the pages on to the
// function choice, the confirmation or the output, or returns to the top screen. Main thread only.
#pragma once

#include "TlvDeviceCntlr.h"
#include "TlvScanHost.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>

class TlvScanViewCntlr {
public:
    // The main window's control that schedules the end of a batch (finishScan's sender).
    static constexpr int kFinishScanSenderTag = 1206;
    // Tags of the scanning view: the view, the job summary's placeholder, the continue/cancel button.
    static constexpr int kScanningViewTag = 1250;
    static constexpr int kJobInfoPlaceholderTag = 1251;
    static constexpr int kScanButtonTag = 1252;

    // device may be null (no session): queries answer no and nothing starts. Both outlive this.
    TlvScanViewCntlr(tlv::TlvScanHost& host, TlvDeviceCntlr* device);
    ~TlvScanViewCntlr();
    TlvScanViewCntlr(const TlvScanViewCntlr&) = delete;
    TlvScanViewCntlr& operator=(const TlvScanViewCntlr&) = delete;

    static TlvScanViewCntlr* sharedScanViewCntlr();
    // Asks whether to stop scanning and discard the pages scanned so far: true to stop.
    static bool askStopAndDiscard();

    // The main window takes the view into its scanning screen (and may own it from then on).
    QWidget* scanningView() const { return mScanningView; }
    QWidget* scngJobInfoDmyView() const { return mScngJobInfoDmyView; }

    void setIsPerformedFinishScan(bool performed) { mIsPerformedFinishScan = performed; }
    bool isPerformedFinishScan() const { return mIsPerformedFinishScan; }
    void setIsContinueScanState(bool continueScan) { mIsContinueScanState = continueScan; }
    bool isContinueScanState() const { return mIsContinueScanState; }

    // Starts a scan; false when it must wait for earlier threads (it then starts by itself once they
    // have ended, one request at a time) or could not start.
    bool executeScanByCntlr();
    bool isReadyScan() const;
    std::uint32_t curDSStateOnCntlr() const;
    bool wasSentCancelToDSOnCntlr() const;
    bool isCancelDriver() const;
    bool isRunningScanThread() const;
    bool isFinishScan() const;
    // None does nothing; otherwise sets the session's scan-cancel flag.
    void cancelDriver(std::optional<bool> cancel);
    // Ends a batch; only the main window's finish control (tag 1206) with pages sends them on. Waits
    // for earlier threads the same way.
    void finishScan(const QObject* sender);
    // A transfer or a page writer has ended: the requests that waited for them go on when none runs.
    void workersMayHaveEnded();
    // The scanning view's button: continue scanning, or cancel.
    void againExeScan(QAbstractButton* button);

private:
    bool isWaitingForThreads() const;

    tlv::TlvScanHost& mHost;
    TlvDeviceCntlr* mDevice;
    QPointer<QWidget> mScanningView;
    QWidget* mScngJobInfoDmyView = nullptr;
    bool mIsPerformedFinishScan = false;
    bool mIsContinueScanState = false;
    // The requests waiting for earlier threads, one per operation.
    bool mExecutePending = false;
    std::optional<QPointer<const QObject>> mFinishPending;
};
