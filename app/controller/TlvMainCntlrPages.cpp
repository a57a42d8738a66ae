// The page list of the batch, the counters its writers share and the mail-size check.
#include "TlvMainCntlr.h"

#include "ImgInfoKeys.h"
#include "RunLoop.h"
#include "TlvUtilsMethod.h"
#include "VX_Message.h"

#include <filesystem>

using namespace tlv;

void TlvMainCntlr::initImgInfoArray() {
    if (mImgInfo.initImgInfoArray())
        mWriter.initWriteFilePathArray();
}

void TlvMainCntlr::releaseImgInfoArray(bool deleteFiles) {
    // The writers read the list and write the files: they end before either goes.
    mJobPages.dropQueued();
    if (!drainWriters(kWorkerJoinBound) || !mImgInfo.releaseImgInfoArray())
        return;
    clearBatchCounters();
    mWriter.releaseWriteFilePathArray(deleteFiles);
    emit mNotifier.scanCountChanged(0);
}

void TlvMainCntlr::clearBatchCounters() {
    {
        std::lock_guard lock(mFinScanAndWritedFileLck);
        mIsFinScanLastIndex = false;
        mCountWritedFile = 0;
    }
    mWritedFileSize = 0;
    mIsCheckedMailSize = false;
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
    return std::max(mReadImgFileForJobScnCount.load(), mJobPages.pending());
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
    fnd::performOnMainThread([this, pages] { emit mNotifier.scanCountChanged(pages); }, false);
}

void TlvMainCntlr::setWritedFileSizeForPfm(int index, std::uint64_t bytes) {
    if (fnd::RunLoop::isMainThread())
        setWritedFileSize(index, bytes);
    else
        fnd::performOnMainThread([this, index, bytes] { setWritedFileSize(index, bytes); }, true);
}

void TlvMainCntlr::setWritedFileSize(int index, std::uint64_t bytes) {
    if (mBatch->funcType != kFuncMail || !mPrefsSettingObj.isShowMsgLimitOver())
        return;
    const int mode = mBatch->scanMode;
    const bool inBatch =
        mode == kScanModeFOA ? tlv::isFinishState(mAppState) : tlv::isExecuteScnState(mAppState);
    if (!inBatch || bytes == 0 || mIsCheckedMailSize)
        return;
    mWritedFileSize += bytes;
    // Megabytes of the preference as bytes: an exact integer comparison.
    const std::uint64_t limit = static_cast<std::uint64_t>(std::max(mPrefsSettingObj.mailAttachLimit(), 0))
                                << 20;
    if (mWritedFileSize > limit) {
        mIsCheckedMailSize = true;
        askMailSizeOver(index);
    }
}

void TlvMainCntlr::askMailSizeOver(int index) {
    const bool job = mBatch->scanMode == kScanModeJOB;
    const int answer = VX_Message::showPanelStyle(
        "Confirm", job ? "Cnfm_JobMailSizeOverYesOrNo" : "Cnfm_FoaMailSizeOverYesOrNo", "OK", "Cancel",
        nullptr, VX_Message::kInformationalStyle, 1);
    if (answer == 0)
        return;
    mSizeOverIndex = index;
    mWriter.setIsWriteFileCancel(true);
    if (job)
        cancelDriver(true);
}
