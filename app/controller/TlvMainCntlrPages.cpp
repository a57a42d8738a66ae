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
    if (mImgInfo.initImgInfoArray())
        mWriter.initWriteFilePathArray();
}

void TlvMainCntlr::releaseImgInfoArray(bool deleteFiles, bool removeTmpFolder) {
    // The writers read the list and write the files: they end before either goes. The release waits
    // for their end, and no new batch starts before it (readImgFileForJobScnCount).
    mJobPages.dropQueued();
    mReleaseDeletesFiles = mReleaseDeletesFiles || deleteFiles;
    mReleaseRemovesTmpFolder = mReleaseRemovesTmpFolder || removeTmpFolder;
    mIsReleasePending = true;
    if (!isWritersRunning())
        finishRelease();
}

bool TlvMainCntlr::isWritersRunning() const {
    return mJobPages.pending() > 0 || mWorkers.running() > 0;
}

void TlvMainCntlr::finishRelease() {
    mJobPages.drain(); // its thread has written its last page and is ending
    mWorkers.joinUntil(std::chrono::steady_clock::now());
    const bool deleteFiles = std::exchange(mReleaseDeletesFiles, false);
    const bool removeTmpFolder = std::exchange(mReleaseRemovesTmpFolder, false);
    mIsReleasePending = false;
    if (mImgInfo.releaseImgInfoArray()) {
        clearBatchCounters();
        mWriter.releaseWriteFilePathArray(deleteFiles);
        emit mNotifier.scanCountChanged(0);
    }
    if (removeTmpFolder)
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
    if (mIsReleasePending)
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
    mWritedFileSize = 0;
    mIsCheckedMailSize = false;
    mIsMailSizeAsked = false;
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
           (mIsReleasePending ? 1 : 0);
}

bool TlvMainCntlr::replaceImgInfoByParam(std::size_t index, std::string_view key, int value) {
    return key == ImgInfo_RotateKey && mImgInfo.setRotation(index, value);
}

void TlvMainCntlr::removeImgInfoByIndexOver() {
    const int over = mSizeOverIndex;
    if (over <= -2)
        return;
    if (mWriter.isWriteFileCancel()) {
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
    const std::uint64_t limit = mMailLimitBytes;
    if (limit == 0 || bytes == 0 || mIsCheckedMailSize)
        return;
    if ((mWritedFileSize += bytes) > limit)
        mIsCheckedMailSize = true;
}

void TlvMainCntlr::takeMailLimit() {
    const bool asks = mBatch->funcType == kFuncMail && mPrefsSettingObj.isShowMsgLimitOver();
    // Megabytes of the preference as bytes: an exact integer comparison. A limit of 0 asks nothing.
    mMailLimitBytes =
        asks ? static_cast<std::uint64_t>(std::max(mPrefsSettingObj.mailAttachLimit(), 1)) << 20 : 0;
}

bool TlvMainCntlr::isMailSizeAccepted() {
    if (!mIsCheckedMailSize || mIsMailSizeAsked.exchange(true))
        return true;
    const bool job = mBatch->scanMode == kScanModeJOB;
    const int answer = VX_Message::showPanelStyle(
        "Confirm", job ? "Cnfm_JobMailSizeOverYesOrNo" : "Cnfm_FoaMailSizeOverYesOrNo", "OK", "Cancel",
        nullptr, VX_Message::kInformationalStyle, 1);
    return answer == 0;
}
