// TlvBatchState: the application's batch as one value. What stops the scan and the output, whether the
// scan session is in a transfer, the automatic quit, the mail-size question and a release waiting for
// the writers. Callers tell it what happened through the named steps below, so the rules that tie these
// values together live here only.
//
// Threads: the main thread only (the scan session runs there too). Workers never see it: each gets the
// cancel of its batch or output step with the batch's snapshot (a copy of cancelSource()) and stops
// through that.
#pragma once

#include <stop_token>

namespace tlv {

class TlvBatchState {
public:
    // ---- The output's cancel ----
    // A new batch or output step: its workers get a cancel of their own, untouched by any earlier stop.
    void renewCancel() { mCancel = std::stop_source(); }
    // The batch's writing stops: a user's cancel, a failed page, the quit.
    void cancelOutput() { mCancel.request_stop(); }
    // Handed to the workers with the snapshot of the batch or step.
    const std::stop_source& cancelSource() const { return mCancel; }

    // ---- The user's cancel of a scan ----
    void cancelOnMain() { mCancelOnMain = true; }
    // A scan starts, or the batch's pages go on to the output.
    void clearCancelOnMain() { mCancelOnMain = false; }
    bool isCancelledOnMain() const { return mCancelOnMain; }
    // A cancel returns to the top once per scan: true for the first asker only.
    bool takeReturnToTop();

    // ---- The scan session ----
    // The data source begins a batch: no stop, close request or cancel of the last one is left.
    void beginScan();
    void startTransfer() { mScan.transferring = true; }
    void endTransfer() { mScan.transferring = false; }
    bool isTransferring() const { return mScan.transferring; }
    // The scan stops after the page in transfer.
    void cancelScan() { mScan.cancelled = true; }
    // A scan may run again: nothing stops it, and its end has not been seen.
    void resumeScan();
    bool isScanCancelled() const { return mScan.cancelled; }
    // The data source's batch was closed (its end reached the scan view).
    void scanClosed() { mScan.closed = true; }
    bool isScanClosed() const { return mScan.closed; }
    // The abort goes to the data source once per batch: true for the first sender only.
    bool takeCancelToDS();
    bool wasCancelSentToDS() const { return mScan.cancelSentToDS; }
    // The data source asked to close while a page was in transfer: the batch ends after that page.
    void requestClose() { mScan.closeRequested = true; }
    bool isCloseRequested() const { return mScan.closeRequested; }
    // A quit keeps what the scanner took: it feeds no further sheet, and the batch ends once the pages
    // of the sheets it took are in.
    void askFeederStop() { mScan.feederStopAsked = true; }
    // The feeder stop goes to the data source once per batch: true for the first sender once asked,
    // and again once the data source refused it.
    bool takeFeederStopToDS();
    void feederStopRefused() { mScan.feederStopSent = false; }

    // ---- The automatic quit after a job the helper started ----
    // The helper's press starts a scan: the quit is armed once its batch is ready.
    void armAutoCloseOnReady() { mAutoClose.pending = true; }
    // The batch is ready: a pending quit is armed.
    void batchReady();
    // The batch failed or returned to the top before it was ready: nothing is armed any more.
    void dropPendingAutoClose() { mAutoClose.pending = false; }
    void setAutoClose(bool on) { mAutoClose.armed = on; }
    bool isAutoClose() const { return mAutoClose.armed; }
    // Answers whether the quit was armed, and disarms it.
    bool takeAutoClose();
    // A quit that cannot wait: neither armed nor pending.
    void dropAutoClose() { mAutoClose = {}; }

    // ---- The mail-size question ----
    // Asked once per batch: true for the first asker only.
    bool takeMailSizeQuestion();
    // The batch's pages are released: the next batch may be asked again.
    void clearMailSizeQuestion() { mMailSizeAsked = false; }

    // ---- The release of the batch's pages ----
    struct Release {
        bool deleteFiles = false;
        bool removeTmpFolder = false;
    };
    // A release waits for the writers; asks add up until it is done.
    void askRelease(Release release);
    bool isReleasePending() const { return mReleasePending; }
    // The release goes through: what was asked.
    Release takeRelease();

private:
    // What one scan has seen: a new scan starts from none of it.
    struct Scan {
        bool returnedToTop = false;
        bool transferring = false;
        bool cancelled = false;
        bool closed = false;
        bool cancelSentToDS = false;
        bool closeRequested = false;
        bool feederStopAsked = false;
        bool feederStopSent = false;
    };
    struct AutoClose {
        bool armed = false;
        bool pending = false; // armed once the batch is ready
    };

    std::stop_source mCancel;
    bool mCancelOnMain = false;
    Scan mScan;
    AutoClose mAutoClose;
    bool mMailSizeAsked = false;
    bool mReleasePending = false;
    Release mRelease;
};

} // namespace tlv
