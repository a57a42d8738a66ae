// The page transfer of a batch: one thread per page reads the page by buffered memory transfer, each
// TWAIN call handed to the main thread, and writes it to its raw file with a thumbnail. The thread
// decides what follows its page (the next page, draining it, or the end of the batch) and hands that
// decision to the main thread as its last act, so the main thread never waits for a thread.
#include "TlvDeviceCntlr.h"

#include "RunLoop.h"
#include "TlvPageSink.h"
#include "TlvScanMessages.h"
#include "TlvUtilsMethod.h"

#include <new>

namespace {

constexpr std::uint32_t kDontCare32 = 0xFFFFFFFF;

} // namespace

void TlvDeviceCntlr::xferReady(bool dummy) {
    if (mMainCallDepth > 0) {
        runWhenFree([this, dummy] { xferReady(dummy); });
        return;
    }
    if (mIsRunningMemXfer)
        return;
    if (mXferThread.joinable())
        mXferThread.join();
    if (!mTWAINHandler->isDSOpen() || mIsOpenDSPanel)
        return; // the batch ended meanwhile
    mTWAINHandler->setDSState(kVXStateXferReady);
    mIsRunningMemXfer = true;
    mXferThread = std::thread(&TlvDeviceCntlr::completeMemoryXfer, this, dummy);
}

void TlvDeviceCntlr::completeMemoryXfer(bool dummy) {
    bool cancelSeen = false;
    const int index = static_cast<int>(mHost.countOfImgInfoDict());
    const int rc = dummy ? drainPage() : readPage(index, cancelSeen);
    const Next next = finishPage(!dummy && rc == TWRC_XFERDONE && !cancelSeen);
    if (mHost.isScnCancelOnMain())
        mHost.switchScanModeForCancelOnMain();
    mIsRunningMemXfer = false;
    postToMain([this, next] { runWhenFree([this, next] { afterTransfer(next); }); });
}

void TlvDeviceCntlr::afterTransfer(Next next) {
    if (mXferThread.joinable())
        mXferThread.join();
    switch (next) {
    case Next::Page:
    case Next::DrainPage:
        if (!mCloseRequested) {
            xferReady(next == Next::DrainPage);
            break;
        }
        [[fallthrough]];
    case Next::EndSuccess:
    case Next::EndFailure:
        if (mTWAINHandler->isDSOpen())
            endBatch(next == Next::EndSuccess);
        if (mHost.isScnCancelOnMain())
            mHost.switchScanModeForCancelOnMain();
        break;
    }
    if (mTransferEnded)
        mTransferEnded();
}

int TlvDeviceCntlr::readPage(int index, bool& cancelSeen) {
    std::optional<tlv::TlvPageLayout> layout;
    std::vector<std::uint8_t> buffer;
    int rc = pageFront(layout, buffer);
    tlv::TlvPageSink sink;
    if (rc == TWRC_SUCCESS) {
        try {
            rc = sink.open(TlvUtilsMethod::tmpBaseImageFileName(index), *layout);
        } catch (const std::bad_alloc&) {
            rc = kScnErrNoMemory;
        }
    }
    if (rc != TWRC_SUCCESS) {
        sink.discard();
        noteFailure(rc, false);
        return rc;
    }
    if (sink.fileFailed()) {
        noteFailure(kScnErrFileWrite, false);
        mIsScanCancel = true; // the page is still read, so that the data source can go on
    }
    mTWAINHandler->setDSState(kVXStateTransferring);
    rc = readBlocks(
        *layout, buffer, [&](const TW_IMAGEMEMXFER& block) { sink.take(block, buffer.data()); }, &cancelSeen);
    const bool written = sink.finish();
    seeCancel(cancelSeen);
    if (rc == TWRC_XFERDONE && written && !cancelSeen) {
        tlv::TlvPageRecord page{tlv::makeImgInfoDict(*layout, index), sink.takeThumbnail(), index};
        auto shared = std::make_shared<tlv::TlvPageRecord>(std::move(page));
        postToMain([this, shared] { mHost.addImgInfo(std::move(*shared)); });
        return rc;
    }
    sink.discard();
    if (!cancelSeen)
        noteFailure(written ? rc : kScnErrFileWrite, false);
    return rc == TWRC_XFERDONE && !written ? kScnErrFileWrite : rc;
}

int TlvDeviceCntlr::drainPage() {
    std::optional<tlv::TlvPageLayout> layout;
    std::vector<std::uint8_t> buffer;
    if (const int rc = pageFront(layout, buffer); rc != TWRC_SUCCESS)
        return rc;
    mTWAINHandler->setDSState(kVXStateTransferring);
    return readBlocks(*layout, buffer, nullptr, nullptr);
}

// Image information, pending count and buffer sizes of the coming page, checked before the transfer
// buffer is allocated from them.
int TlvDeviceCntlr::pageFront(std::optional<tlv::TlvPageLayout>& layout, std::vector<std::uint8_t>& buffer) {
    mImageInfo = TW_IMAGEINFO{};
    mSetupMemXfer = TW_SETUPMEMXFER{};
    mPendingXfers = TW_PENDINGXFERS{};
    if (const int rc = stepOnMain(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &mImageInfo); rc != TWRC_SUCCESS)
        return rc;
    if (const int rc = stepOnMain(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &mPendingXfers); rc != TWRC_SUCCESS)
        return rc;
    if (const int rc = stepOnMain(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &mSetupMemXfer); rc != TWRC_SUCCESS)
        return rc;
    layout = tlv::pageLayoutOf(mImageInfo);
    const std::optional<std::uint32_t> bufSize =
        layout ? tlv::transferBufferSize(mSetupMemXfer, *layout) : std::nullopt;
    if (!bufSize)
        return kScnErrBadData;
    try {
        buffer.resize(*bufSize);
    } catch (const std::bad_alloc&) {
        return kScnErrNoMemory;
    }
    return TWRC_SUCCESS;
}

// The block loop: every block is checked against the buffer and the page before its rows are used;
// a block that brings no row while the page is not done is as bad as one that brings too many.
int TlvDeviceCntlr::readBlocks(const tlv::TlvPageLayout& page, std::vector<std::uint8_t>& buffer,
                               const std::function<void(const TW_IMAGEMEMXFER&)>& take, bool* cancelSeen) {
    const auto size = static_cast<std::uint32_t>(buffer.size());
    int rows = 0;
    for (;;) {
        if (cancelSeen)
            seeCancel(*cancelSeen);
        mImageMemXfer = TW_IMAGEMEMXFER{};
        mImageMemXfer.Compression = 0xFFFF;
        mImageMemXfer.BytesPerRow = mImageMemXfer.Columns = mImageMemXfer.Rows = kDontCare32;
        mImageMemXfer.XOffset = mImageMemXfer.YOffset = mImageMemXfer.BytesWritten = kDontCare32;
        mImageMemXfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, size, buffer.data()};
        const int rc = stepOnMain(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &mImageMemXfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE)
            return rc;
        const bool stalled = rc == TWRC_SUCCESS && mImageMemXfer.Rows == 0;
        if (stalled || !tlv::isSoundBlock(mImageMemXfer, size, page, rows))
            return kScnErrBadData;
        if (take)
            take(mImageMemXfer);
        rows += static_cast<int>(mImageMemXfer.Rows);
        if (rc == TWRC_XFERDONE)
            return rows == page.height ? rc : kScnErrBadData;
    }
}

// Ends the page and decides what follows it. A close request of the data source ends the batch after
// the page in transfer, whatever is still pending.
TlvDeviceCntlr::Next TlvDeviceCntlr::finishPage(bool pageOk) {
    mPendingXfers = TW_PENDINGXFERS{};
    const int rc = stepOnMain(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &mPendingXfers);
    if (rc == TWRC_SUCCESS && mPendingXfers.Count != 0 && !mCloseRequested)
        return pageOk ? Next::Page : Next::DrainPage;
    if (rc != TWRC_SUCCESS && pageOk)
        noteFailure(rc, false);
    const bool success = pageOk && rc == TWRC_SUCCESS && !mCloseRequested && lastFailureKey().empty();
    return success ? Next::EndSuccess : Next::EndFailure;
}

void TlvDeviceCntlr::seeCancel(bool& cancelSeen) {
    if (cancelSeen || !(mIsScanCancel || mHost.isScnCancelOnMain()))
        return;
    cancelSeen = true;
    mHost.report(tlv::TlvOutcome::ScanFailed);
}

// Keeps the first reason of a batch's failure for the message at its end. A cancel that the user or
// the application asked for is no failure; one that nobody here asked for ended the batch early.
void TlvDeviceCntlr::noteFailure(int rc, bool userCancel) {
    if (userCancel || mHost.isScnCancelOnMain() || mIsScanCancel || mCloseRequested)
        return;
    std::string key;
    if (rc == kScnErrNoMemory) {
        key = "Err_MemFullError";
    } else if (rc == kScnErrNoScaler) {
        key = "Err_ScanStopped";
    } else if (rc == kScnErrBadData) {
        key = "Err_ScanDataFault";
    } else if (rc == kScnErrFileWrite) {
        key = "Err_FileCreateFailed";
    } else if (rc == kScnErrTmpFolder) {
        key = "Err_TmpFolderFailed";
    } else {
        TW_UINT16 condition = 0;
        callOnMain([this, &condition] { condition = getStatusCC(); });
        key = tlv::scanFailureKey(condition);
    }
    if (rc == kScnErrNoMemory || rc == kScnErrNoScaler || rc == kScnErrTmpFolder) {
        mIsScanCancel = true;
        mHost.setIsWriteFileCancel(true);
    }
    std::lock_guard lock(mBatchLock);
    if (mFailureKey.empty())
        mFailureKey = key;
}

int TlvDeviceCntlr::stepOnMain(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    int rc = TWRC_FAILURE;
    callOnMain([&] { rc = mTWAINHandler->messageDS(dg, dat, msg, data); });
    mScnErr = rc;
    if (mHost.isScnCancelOnMain())
        mHost.switchScanModeForCancelOnMain();
    return rc;
}

void TlvDeviceCntlr::postToMain(std::function<void()> fn) {
    fnd::performOnMainThread(
        [alive = std::weak_ptr<const bool>(mAlive), fn = std::move(fn)] {
            if (!alive.expired())
                fn();
        },
        false);
}

// Runs fn on the main thread and waits for it (at once on the main thread). The waiting thread owns
// everything fn refers to; at teardown it stops waiting and fn is never run.
void TlvDeviceCntlr::callOnMain(std::function<void()> fn) {
    if (fnd::RunLoop::isMainThread()) {
        fn();
        return;
    }
    auto done = std::make_shared<bool>(false); // under mCallLock
    {
        std::lock_guard lock(mCallLock);
        if (mTearingDown)
            return;
    }
    postToMain([this, &fn, done] {
        runWhenFree([this, &fn, done] {
            {
                DepthScope call(*this);
                fn();
            }
            {
                std::lock_guard lock(mCallLock);
                *done = true;
            }
            mCallDone.notify_all();
        });
    });
    std::unique_lock lock(mCallLock);
    mCallDone.wait(lock, [&] { return *done || mTearingDown; });
}

// A call of the data source's that lets the main loop run (its idle tick) must return before
// anything queued here talks to it again.
void TlvDeviceCntlr::runWhenFree(std::function<void()> fn) {
    if (mMainCallDepth > 0) {
        mWhenFree.push_back(std::move(fn));
        return;
    }
    fn();
}

// The waiting calls run on their own turn of the loop, not inside the frame that just returned.
void TlvDeviceCntlr::leaveCall() {
    if (--mMainCallDepth > 0 || mWhenFree.empty())
        return;
    fnd::RunLoop::main().performAfterDelay(
        this,
        [this] {
            std::vector<std::function<void()>> waiting = std::move(mWhenFree);
            mWhenFree.clear();
            for (std::size_t i = 0; i < waiting.size(); ++i) {
                if (mMainCallDepth > 0) { // a call before it entered the data source and let the loop run
                    mWhenFree.insert(
                        mWhenFree.begin(),
                        std::make_move_iterator(waiting.begin() + static_cast<std::ptrdiff_t>(i)),
                        std::make_move_iterator(waiting.end()));
                    return;
                }
                waiting[i]();
            }
        },
        0);
}
