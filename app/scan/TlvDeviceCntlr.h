// The application's one TWAIN session: finds and opens this scanner's data source for each batch (or
// for its settings dialog), sends the scan settings, enables it, turns its callbacks and device events
// into application states, and takes the pages of a batch by memory transfer. Every TWAIN call is made
// on the main thread, one block per turn of its loop; the blocks go to the page sink's writer thread.
// Every way a batch ends (last page, cancel, failure, a close request, a failed enable) goes through
// endBatch, which requests the final state, disables and closes the data source and wakes the waiters.
#pragma once

#include "TlvDeviceCntlrCAPs.h"
#include "TlvPageRecord.h"
#include "TlvPageSink.h"
#include "TlvScanHost.h"
#include "TlvScanMessages.h"
#include "VX_TWAINHandler.h"
#include "Value.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TlvScanSettingMdl;

// Results of the page transfer besides TWAIN's return codes.
inline constexpr int kScnErrNoScaler = -1;    // the thumbnail could not be made
inline constexpr int kScnErrNoMemory = -2;    // the transfer buffer or the thumbnail could not be allocated
inline constexpr int kScnErrBadData = -3;     // the data source's numbers describe no real page or block
inline constexpr int kScnErrFileWrite = -4;   // the page's raw file could not be made or written
inline constexpr int kScnErrTmpFolder = -5;   // no private temporary folder for the pages
inline constexpr int kScnErrTmpDiskFull = -6; // the page's raw file found no room on the disk

class TlvDeviceCntlr {
public:
    // host and the information dictionary (VXDS* keys) describe the application; entry is the source
    // manager's DSM_Entry (the loaded manager by default). Registers the callback, which opens the
    // manager. Main thread. One controller at a time: it is the one the callback reaches.
    TlvDeviceCntlr(tlv::TlvScanHost& host, fnd::Dictionary appInfo, DSMENTRYPROC entry = nullptr);
    // Drops a page in transfer and closes what is open.
    ~TlvDeviceCntlr();
    TlvDeviceCntlr(const TlvDeviceCntlr&) = delete;
    TlvDeviceCntlr& operator=(const TlvDeviceCntlr&) = delete;

    // The controller the callback reaches; null when there is none.
    static TlvDeviceCntlr* sharedDeviceCntlr();

    VX_TWAINHandler& twHandler() { return *mTWAINHandler; }
    std::uint32_t curDSState() const { return mTWAINHandler->getDSState(); }

    // Opens the data source for a batch (panel false) or for its settings dialog (panel true) with
    // model's settings; the dialog's confirmed settings are read back into model, which must then
    // live until the data source is closed. False (after telling the user) when it could not start.
    bool openDS(TlvScanSettingMdl* model, bool isOpenDSPanel);
    bool isOpenDSPanel() const { return mIsOpenDSPanel; }
    TlvScanSettingMdl* curScanSettingMdl() const { return mCurScanSettingMdl; }

    // The scan session's part of the batch value (main thread).
    bool isRunningMemXfer() const { return mHost.batchState().isTransferring(); }
    bool isScanCancel() const { return mHost.batchState().isScanCancelled(); }
    // Clearing it also clears the finished mark (a new batch).
    void setIsScanCancel(bool cancel);
    bool isFinishMSGReset() const { return mHost.batchState().isScanClosed(); }
    bool wasSentCancelToDS() const { return mHost.batchState().wasCancelSentToDS(); }
    int scnErr() const { return mScnErr; }
    // The message the last batch ended with (a string-table key); empty when none.
    std::string lastFailureKey() const;

    // True while a batch is open (from the enable to its end). Any thread.
    bool isBatchRunning() const;
    // Blocks until the batch has ended; never call it on the main thread.
    void waitToFinishScan() const;
    // True while one of the controller's calls into the data source is on the stack (the interface
    // runs during its idle tick): a user action must not call TWAIN then.
    bool isInTwainCall() const { return mMainCallDepth > 0; }

    // The data source's callback, registered with the source manager; any thread.
    static TW_UINT16 TWAIN_ScanCallback(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                                        TW_UINT16 msg, TW_MEMREF data);

    // Main thread: the callback's messages.
    void closeRequest();
    void closeOK();
    void deviceEvent();
    // At most one abort per batch.
    void sendCancelToDS();
    // The feeder stop once asked, at most once per batch.
    void sendStopFeeder();
    // The last condition code of the data source; 0xFFFF when it could not be read.
    TW_UINT16 getStatusCC();

    // Main thread: the page ready now is transferred (drained without keeping it when dummy), once the
    // data source's call on the stack has returned. While a transfer runs, its page's end decides what
    // follows.
    void xferReady(bool dummy);
    // Main thread: told after each page's transfer has ended.
    void setTransferEndedHandler(std::function<void()> handler) { mTransferEnded = std::move(handler); }

    // Main thread: the scanner stops as the data source's own Stop stops it: no sheet is fed after the
    // one under way, which is read to its end, and the batch ends as usual once the pages of the sheets
    // it took are in. Told to the data source at once where it may be, else at its next idle tick or
    // before the next page.
    void stopFeeder();
    // Main thread: told once a batch has ended and the data source is closed again.
    void setBatchClosedHandler(std::function<void()> handler) { mBatchClosed = std::move(handler); }
    // The pages the running (or last) batch kept, and how its sheets give them.
    const tlv::TlvBatchPages& batchPages() const { return mBatchPages; }

    // Main thread, quitting, with none of our calls on the stack: drops the page in transfer, takes the
    // data source back to its closed state without a word to the user, and lets whoever waits for the
    // batch's end go on.
    void closeForQuit();
    // Main thread, quitting, the scanner given up on (one of our calls may still be on the stack, waiting
    // for it): the data source is not called any more, not even to close, and the batch counts as ended
    // for whoever waits for it. The program must then end without tearing the data source down.
    void abandonForQuit();

private:
    enum class Next { Page, DrainPage, EndSuccess, EndFailure };

    // The page in transfer.
    struct Transfer {
        bool dummy = false;
        int index = 0;
        tlv::TlvPageLayout layout;
        std::vector<std::uint8_t> buffer;
        int rows = 0;
        bool cancelSeen = false;
    };

    int findDSAndOpenDS();
    // How the sheets give pages in the coming batch, as the data source will scan them.
    void noteSheetSides();
    bool enableForScan();
    void beginBatch();
    void endBatch(bool success);
    // Disables and closes the data source and wakes the waiters; the failure the batch ended with.
    tlv::TlvMessage closeBatch();

    void startPage(bool dummy);
    int pageFront(Transfer& page);
    void scheduleBlock();
    void readBlock();
    int takeBlock(int rc);
    void pageRead(int rc);
    void pageWritten(int rc, tlv::TlvPageWritten written);
    void endPage(bool pageOk);
    void noteFailure(int rc, bool userCancel);
    void scanReady();
    Next finishPage(bool pageOk);
    void seeCancel(bool& cancelSeen);
    int step(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    // Queues fn to the main thread from the sink's thread; dropped when this is gone by then.
    void postToMain(std::function<void()> fn);
    // Runs fn on the main thread now, or once the data source's call on the stack has returned.
    void runWhenFree(std::function<void()> fn);
    void leaveCall();
    void afterTransfer(Next next);

    tlv::TlvScanHost& mHost;
    fnd::Dictionary mAppInfo;
    std::unique_ptr<VX_TWAINHandler> mTWAINHandler;
    std::unique_ptr<TlvDeviceCntlrCAPs> mCaps;
    TlvScanSettingMdl* mCurScanSettingMdl = nullptr;
    bool mIsOpenDSPanel = false;
    std::atomic<int> mScnErr{0};

    // The records of the page in transfer.
    TW_IMAGEINFO mImageInfo{};
    TW_SETUPMEMXFER mSetupMemXfer{};
    TW_IMAGEMEMXFER mImageMemXfer{};
    TW_PENDINGXFERS mPendingXfers{};
    TW_USERINTERFACE mUserInterface{};
    TW_STATUS mDSStatus{};

    // Main thread: how many of our calls into the data source are on the stack, and what waits for the
    // outermost one to return.
    int mMainCallDepth = 0;
    std::vector<std::function<void()>> mWhenFree;
    struct DepthScope {
        explicit DepthScope(TlvDeviceCntlr& device) : mDevice(device) { ++mDevice.mMainCallDepth; }
        ~DepthScope() { mDevice.leaveCall(); }
        DepthScope(const DepthScope&) = delete;
        DepthScope& operator=(const DepthScope&) = delete;
        TlvDeviceCntlr& mDevice;
    };
    std::function<void()> mTransferEnded;
    std::function<void()> mBatchClosed;
    bool mAbandoned = false; // the quit gave up on the scanner: no call to the data source any more

    std::optional<Transfer> mTransfer;
    std::unique_ptr<tlv::TlvPageSink> mSink = std::make_unique<tlv::TlvPageSink>();
    std::shared_ptr<const bool> mAlive = std::make_shared<const bool>(true);
    mutable std::mutex mBatchLock;
    mutable std::condition_variable mBatchEnded;
    bool mBatchRunning = false;
    tlv::TlvMessage mFailure;       // under mBatchLock
    tlv::TlvBatchPages mBatchPages; // main thread: told after a fault
};
