// The page transfer of a batch, on the main thread: a page's information and buffer sizes, then one
// block per turn of the loop, each checked and handed to the page sink's writer thread as whole rows.
// Once the sink has finished the page's file, the page is kept or dropped and its end decides what
// follows (the next page, draining it, or the end of the batch).
#include "TlvDeviceCntlr.h"

#include "RunLoop.h"
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
    if (isRunningMemXfer() || !mTWAINHandler->isDSOpen() || mIsOpenDSPanel)
        return; // a page is in transfer, or the batch ended meanwhile
    mTWAINHandler->setDSState(kVXStateXferReady);
    sendStopFeeder();
    mHost.batchState().startTransfer();
    startPage(dummy);
}

void TlvDeviceCntlr::startPage(bool dummy) {
    mTransfer = Transfer{};
    Transfer& page = *mTransfer;
    page.dummy = dummy;
    page.index = static_cast<int>(mHost.countOfImgInfoDict());
    if (const int rc = pageFront(page); rc != TWRC_SUCCESS) {
        if (!dummy)
            noteFailure(rc, false);
        endPage(false);
        return;
    }
    if (!dummy)
        mSink->open(TlvUtilsMethod::tmpBaseImageFileName(page.index), page.layout);
    mTWAINHandler->setDSState(kVXStateTransferring);
    scheduleBlock();
}

// Image information, pending count and buffer sizes of the coming page, checked before the transfer
// buffer is allocated from them.
int TlvDeviceCntlr::pageFront(Transfer& page) {
    mImageInfo = TW_IMAGEINFO{};
    mSetupMemXfer = TW_SETUPMEMXFER{};
    mPendingXfers = TW_PENDINGXFERS{};
    if (const int rc = step(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &mImageInfo); rc != TWRC_SUCCESS)
        return rc;
    if (const int rc = step(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &mPendingXfers); rc != TWRC_SUCCESS)
        return rc;
    if (const int rc = step(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &mSetupMemXfer); rc != TWRC_SUCCESS)
        return rc;
    const std::optional<tlv::TlvPageLayout> layout = tlv::pageLayoutOf(mImageInfo);
    const std::optional<std::uint32_t> bufSize =
        layout ? tlv::transferBufferSize(mSetupMemXfer, *layout) : std::nullopt;
    if (!bufSize)
        return kScnErrBadData;
    page.layout = *layout;
    try {
        page.buffer.resize(*bufSize);
    } catch (const std::bad_alloc&) {
        return kScnErrNoMemory;
    }
    return TWRC_SUCCESS;
}

// Each block gets its own turn, so that what the user does between blocks is seen.
void TlvDeviceCntlr::scheduleBlock() {
    fnd::RunLoop::main().performAfterDelay(
        this, [this] { runWhenFree([this] { readBlock(); }); }, 0);
}

void TlvDeviceCntlr::readBlock() {
    if (!mTransfer)
        return;
    Transfer& page = *mTransfer;
    if (!page.dummy)
        seeCancel(page.cancelSeen);
    const auto size = static_cast<std::uint32_t>(page.buffer.size());
    mImageMemXfer = TW_IMAGEMEMXFER{};
    mImageMemXfer.Compression = 0xFFFF;
    mImageMemXfer.BytesPerRow = mImageMemXfer.Columns = mImageMemXfer.Rows = kDontCare32;
    mImageMemXfer.XOffset = mImageMemXfer.YOffset = mImageMemXfer.BytesWritten = kDontCare32;
    mImageMemXfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, size, page.buffer.data()};
    const int rc = takeBlock(step(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &mImageMemXfer));
    if (rc == TWRC_SUCCESS)
        scheduleBlock();
    else
        pageRead(rc);
}

// Every block is checked against the buffer and the page before its rows are used; a block that brings
// no row while the page is not done is as bad as one that brings too many. Success asks for the next.
int TlvDeviceCntlr::takeBlock(int rc) {
    Transfer& page = *mTransfer;
    if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE)
        return rc;
    const auto size = static_cast<std::uint32_t>(page.buffer.size());
    const bool stalled = rc == TWRC_SUCCESS && mImageMemXfer.Rows == 0;
    if (stalled || !tlv::isSoundBlock(mImageMemXfer, size, page.layout, page.rows))
        return kScnErrBadData;
    if (!page.dummy) {
        std::vector<std::uint8_t> rows;
        try {
            rows.resize(std::size_t{mImageMemXfer.Rows} * page.layout.rowBytes);
        } catch (const std::bad_alloc&) {
            return kScnErrNoMemory;
        }
        for (std::uint32_t r = 0; r < mImageMemXfer.Rows; ++r)
            std::copy_n(page.buffer.data() + std::size_t{r} * mImageMemXfer.BytesPerRow, page.layout.rowBytes,
                        rows.data() + std::size_t{r} * page.layout.rowBytes);
        mSink->take(std::move(rows));
    }
    page.rows += static_cast<int>(mImageMemXfer.Rows);
    if (rc == TWRC_XFERDONE)
        return page.rows == page.layout.height ? rc : kScnErrBadData;
    return rc;
}

// The page's last block is in (or it failed): a drained page ends now, a kept one once its file is
// finished.
void TlvDeviceCntlr::pageRead(int rc) {
    if (mTransfer->dummy) {
        endPage(false);
        return;
    }
    mSink->finish([this, rc](tlv::TlvPageWritten written) {
        auto shared = std::make_shared<tlv::TlvPageWritten>(std::move(written));
        postToMain(
            [this, rc, shared] { runWhenFree([this, rc, shared] { pageWritten(rc, std::move(*shared)); }); });
    });
}

void TlvDeviceCntlr::pageWritten(int rc, tlv::TlvPageWritten written) {
    if (!mTransfer)
        return;
    Transfer& page = *mTransfer;
    seeCancel(page.cancelSeen);
    const bool kept = rc == TWRC_XFERDONE && written.rc == 0 && !page.cancelSeen;
    if (kept) {
        ++mBatchPages.kept;
        mBatchPages.lastPage = page.index + 1;
        mHost.addImgInfo(tlv::TlvPageRecord{tlv::makeImgInfoDict(page.layout, page.index),
                                            std::move(written.thumbnail), page.index});
    } else {
        if (!written.file.empty())
            TlvUtilsMethod::removeTmpFile(written.file);
        if (!page.cancelSeen)
            noteFailure(written.rc != 0 ? written.rc : rc, false);
        // A page file that cannot be written stops the batch: the next one would fail alike.
        if (written.rc == kScnErrFileWrite || written.rc == kScnErrTmpDiskFull)
            mHost.batchState().cancelScan();
    }
    endPage(kept);
}

void TlvDeviceCntlr::endPage(bool pageOk) {
    const Next next = finishPage(pageOk);
    mTransfer.reset();
    mHost.batchState().endTransfer();
    afterTransfer(next);
}

void TlvDeviceCntlr::afterTransfer(Next next) {
    switch (next) {
    case Next::Page:
    case Next::DrainPage:
        if (!mHost.batchState().isCloseRequested()) {
            xferReady(next == Next::DrainPage);
            break;
        }
        [[fallthrough]];
    case Next::EndSuccess:
    case Next::EndFailure:
        if (mTWAINHandler->isDSOpen())
            endBatch(next == Next::EndSuccess);
        if (mHost.batchState().isCancelledOnMain())
            mHost.switchScanModeForCancelOnMain();
        break;
    }
    if (mTransferEnded)
        mTransferEnded();
}

// Ends the page and decides what follows it. A close request of the data source ends the batch after
// the page in transfer, whatever is still pending.
TlvDeviceCntlr::Next TlvDeviceCntlr::finishPage(bool pageOk) {
    mPendingXfers = TW_PENDINGXFERS{};
    const int rc = step(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &mPendingXfers);
    if (rc == TWRC_SUCCESS && mPendingXfers.Count != 0 && !mHost.batchState().isCloseRequested())
        return pageOk ? Next::Page : Next::DrainPage;
    if (rc != TWRC_SUCCESS && pageOk)
        noteFailure(rc, false);
    const bool success =
        pageOk && rc == TWRC_SUCCESS && !mHost.batchState().isCloseRequested() && lastFailureKey().empty();
    return success ? Next::EndSuccess : Next::EndFailure;
}

void TlvDeviceCntlr::seeCancel(bool& cancelSeen) {
    if (cancelSeen || !(isScanCancel() || mHost.batchState().isCancelledOnMain()))
        return;
    cancelSeen = true;
    mHost.report(tlv::TlvOutcome::ScanFailed);
}

// Keeps the first reason of a batch's failure for the message at its end. A cancel that the user or
// the application asked for is no failure; one that nobody here asked for ended the batch early.
void TlvDeviceCntlr::noteFailure(int rc, bool userCancel) {
    const tlv::TlvBatchState& batch = mHost.batchState();
    if (userCancel || batch.isCancelledOnMain() || batch.isScanCancelled() || batch.isCloseRequested())
        return;
    tlv::TlvMessage failure;
    if (rc == kScnErrNoMemory) {
        failure.key = "Err_MemFullError";
    } else if (rc == kScnErrNoScaler) {
        failure.key = "Err_ScanStopped";
    } else if (rc == kScnErrBadData) {
        failure.key = "Err_ScanDataFault";
    } else if (rc == kScnErrFileWrite) {
        failure.key = "Err_FileCreateFailed";
    } else if (rc == kScnErrTmpDiskFull) {
        failure.key = "Err_TmpDiskFull";
    } else if (rc == kScnErrTmpFolder) {
        failure.key = "Err_TmpFolderFailed";
    } else {
        // The scanner's own words are asked for at once, while the data source still holds them.
        const TW_UINT16 condition = getStatusCC();
        failure = tlv::scanFailureMessage(condition, mTWAINHandler->getDSStatusText(mDSStatus));
    }
    if (rc == kScnErrNoMemory || rc == kScnErrNoScaler || rc == kScnErrTmpFolder) {
        mHost.batchState().cancelScan();
        mHost.batchState().cancelOutput();
    }
    std::lock_guard lock(mBatchLock);
    if (mFailure.empty())
        mFailure = std::move(failure);
}

int TlvDeviceCntlr::step(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    int rc = TWRC_FAILURE;
    {
        DepthScope call(*this);
        rc = mTWAINHandler->messageDS(dg, dat, msg, data);
    }
    mScnErr = rc;
    if (mHost.batchState().isCancelledOnMain())
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
