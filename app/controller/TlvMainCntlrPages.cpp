// The page list of the batch, the counters its writers share and the mail-size check.
#include "TlvMainCntlr.h"

#include "ImgInfoKeys.h"
#include "RunLoop.h"
#include "TlvScanViewCntlr.h"
#include "TlvUtilsMethod.h"
#include "VX_Message.h"

#include <filesystem>
#include <utility>

using namespace tlv;

void TlvMainCntlr::initImgInfoArray() {
    if (mImgInfo.initImgInfoArray()) {
        mWriter.initWriteFilePathArray();
        mBatchState.renewCancel();
    }
}

void TlvMainCntlr::releaseImgInfoArray(bool deleteFiles, bool removeTmpFolder) {
    // The writers read the list and write the files: they end before either goes. The release waits
    // for their end, and no new batch starts before it (readImgFileForJobScnCount).
    mJobPages.dropQueued();
    mBatchState.askRelease({deleteFiles, removeTmpFolder});
    if (!isWritersRunning())
        finishRelease();
}

bool TlvMainCntlr::isWritersRunning() const {
    return mJobPages.pending() > 0 || mWorkers.running() > 0;
}

void TlvMainCntlr::finishRelease() {
    mJobPages.drain(); // its thread has written its last page and is ending
    mWorkers.joinUntil(std::chrono::steady_clock::now());
    const TlvBatchState::Release release = mBatchState.takeRelease();
    if (mImgInfo.releaseImgInfoArray()) {
        clearBatchCounters();
        mWriter.releaseWriteFilePathArray(release.deleteFiles);
        emit mNotifier.scanCountChanged(0);
    }
    if (release.removeTmpFolder)
        TlvUtilsMethod::removeTmpFolder();
}

bool TlvMainCntlr::checkClosePDF() {
    if (mWriter.checkClosePDF(*mBatch))
        return true;
    showErrorPanel(kErrFileCreate);
    report(TlvOutcome::WriteFailed);
    return false;
}

void TlvMainCntlr::writersMayHaveEnded() {
    if (isWritersRunning())
        return;
    if (mBatchState.isReleasePending())
        finishRelease();
    if (mScanView)
        mScanView->workersMayHaveEnded();
}

void TlvMainCntlr::clearBatchCounters() {
    {
        std::lock_guard lock(mFinScanAndWritedFileLck);
        mIsFinScanLastIndex = false;
        mCountWritedFile = 0;
    }
    {
        std::lock_guard lock(mMailSizeLck);
        mWritedFileSize = 0;
        mIsCheckedMailSize = false;
    }
    mBatchState.clearMailSizeQuestion();
    mSizeOverIndex = -2;
}

void TlvMainCntlr::addImgInfo(TlvPageRecord page) {
    addImgInfo(page.info, page.index, std::make_shared<const TlvThumbnail>(std::move(page.thumbnail)));
}

void TlvMainCntlr::addImgInfo(const fnd::Dictionary& record, int index,
                              std::shared_ptr<const TlvThumbnail> thumbnail) {
    if (!mImgInfo.add(record, std::move(thumbnail)))
        return;
    if (mBatch->writesWhileScanning())
        mJobPages.enqueue(mBatch, record, index);
    else
        displayOfPreview(record, index);
}

bool TlvMainCntlr::isFinScanAndWritedFile(bool scanEnded, int index) {
    std::lock_guard lock(mFinScanAndWritedFileLck);
    if (index < 0)
        mIsFinScanLastIndex = scanEnded;
    else
        mCountWritedFile = index + 1;
    return mIsFinScanLastIndex && mImgInfo.count() == static_cast<std::size_t>(mCountWritedFile);
}

void TlvMainCntlr::clearIsFinScan() {
    std::lock_guard lock(mFinScanAndWritedFileLck);
    mIsFinScanLastIndex = false;
}

int TlvMainCntlr::readImgFileForJobScnCount() const {
    return std::max(mReadImgFileForJobScnCount.load(), mJobPages.pending()) + mWorkers.running() +
           (mBatchState.isReleasePending() ? 1 : 0);
}

bool TlvMainCntlr::replaceImgInfoByParam(std::size_t index, std::string_view key, int value) {
    return key == ImgInfo_RotateKey && mImgInfo.setRotation(index, value);
}

void TlvMainCntlr::removeImgInfoByIndexOver(bool cancelled) {
    const int over = mSizeOverIndex;
    if (over <= -2)
        return;
    if (cancelled) {
        for (const fnd::Dictionary& dropped : mImgInfo.dropAfter(static_cast<std::size_t>(over + 1))) {
            if (const std::string* name = dropped.get(ImgInfo_NameKey).asString())
                TlvUtilsMethod::removeTmpFile(*name);
        }
    }
    const int pages = static_cast<int>(mImgInfo.count());
    QMetaObject::invokeMethod(
        &mNotifier, [this, pages] { emit mNotifier.scanCountChanged(pages); }, Qt::QueuedConnection);
}

// A writer's count, on its own thread: it only notes that the batch went over the limit; the question
// comes when the pages are written, from the controller (isMailSizeAccepted), so no writer waits for it.
void TlvMainCntlr::setWritedFileSizeForPfm(int, std::uint64_t bytes) {
    std::lock_guard lock(mMailSizeLck);
    if (mMailLimitBytes == 0 || bytes == 0 || mIsCheckedMailSize)
        return;
    mWritedFileSize += bytes;
    mIsCheckedMailSize = mWritedFileSize > mMailLimitBytes;
}

bool TlvMainCntlr::isCheckedMailSize() const {
    std::lock_guard lock(mMailSizeLck);
    return mIsCheckedMailSize;
}

void TlvMainCntlr::resetWritedFileSize() {
    std::lock_guard lock(mMailSizeLck);
    mWritedFileSize = 0;
}

void TlvMainCntlr::takeMailLimit() {
    const bool asks = mBatch->funcType == kFuncMail && mPrefsSettingObj.isShowMsgLimitOver();
    // Megabytes of the preference as bytes: an exact integer comparison. A limit of 0 asks nothing.
    const std::uint64_t limit =
        asks ? static_cast<std::uint64_t>(std::max(mPrefsSettingObj.mailAttachLimit(), 1)) << 20 : 0;
    std::lock_guard lock(mMailSizeLck);
    mMailLimitBytes = limit;
}

bool TlvMainCntlr::isMailSizeAccepted() {
    if (!isCheckedMailSize() || !mBatchState.takeMailSizeQuestion())
        return true;
    return VX_Message::askQuestion(mBatch->scanMode == kScanModeJOB ? "Cnfm_JobMailSizeOverYesOrNo"
                                                                    : "Cnfm_FoaMailSizeOverYesOrNo");
}
