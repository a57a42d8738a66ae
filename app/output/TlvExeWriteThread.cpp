// See TlvExeWriteThread.h. Only files this batch made are ever deleted: a new file is staged and
// published (never over an existing file) only when it closes, so a failure deletes a file only when
// this page itself published it.
#include "TlvExeWriteThread.h"

#include "StagedFile.h"
#include "TlvMailOutbox.h"

#include <algorithm>
#include <utility>

namespace tlv {
namespace fs = std::filesystem;
TlvExeWriteThread::TlvExeWriteThread(TlvOutputHost& host)
    : mHost(host), mFormats(mFiles, [this](const fs::path& taken) { return nextFreeName(taken); }) {}

void TlvExeWriteThread::initWriteFilePathArray() {
    mFiles.initWriteFilePathArray();
    mRunCounter = -1;
    {
        std::lock_guard guard(mReadWriteFileLck);
        mNextJobPage = 0;
    }
    std::lock_guard guard(mBatchLock);
    mOutboxBatch = newOutboxBatchName();
}

TlvExeWriteThread::JobPageTurn::JobPageTurn(TlvExeWriteThread& writer, int index, std::stop_token cancel)
    : mWriter(writer), mLock(writer.mReadWriteFileLck), mIndex(index) {
    // The batch's cancel wakes the wait itself, whoever requests it.
    mWriter.mJobPageTurnDone.wait_for(mLock, std::move(cancel), kJobPageTurnWait,
                                      [this] { return mIndex <= mWriter.mNextJobPage; });
}

TlvExeWriteThread::JobPageTurn::~JobPageTurn() {
    mWriter.mNextJobPage = std::max(mWriter.mNextJobPage, mIndex + 1);
    mLock.unlock();
    mWriter.mJobPageTurnDone.notify_all();
}

void TlvExeWriteThread::releaseWriteFilePathArray(bool removeFiles) {
    mFormats.endBatch(removeFiles);
    mFiles.releaseWriteFilePathArray(removeFiles);
}

fs::path TlvExeWriteThread::pathInFolder(const TlvOutputOptions& o, int func, bool automatic) {
    std::optional<fs::path> folder;
    if (func == kFuncMail) {
        std::lock_guard guard(mBatchLock);
        folder = mailOutboxFolder(mOutboxBatch);
    } else {
        folder = fs::path(o.isPictureFolderSave ? o.pictureFolder : o.fileSavePath);
    }
    const std::string& name = automatic ? o.imgFileName : o.freeFileName;
    std::error_code ec;
    if (!folder || !folder->is_absolute() || !fs::is_directory(*folder, ec) || !isUsableFileName(name))
        fail(kErrNotFoundFile);
    return *folder / name;
}

fs::path TlvExeWriteThread::chooseName(const fs::path& path, const TlvOutputOptions& o, bool automatic) {
    const TlvFileNaming naming(o, automatic);
    const std::optional<fs::path> name = naming.checkFilePath(path, false, mRunCounter);
    // Numbering only changes the end of the name; checked again all the same.
    if (!name || name->parent_path() != path.parent_path() || !isUsableFileName(name->filename().string()))
        fail(kErrMakeFileName);
    std::lock_guard guard(mBatchLock);
    mOpenFileNaming = naming;
    return *name;
}

void TlvExeWriteThread::checkBeforeBatch(const TlvBatchSnapshot& batch) {
    if (!batch.writesFiles() || batch.funcType == kFuncMail)
        return;
    const TlvOutputOptions& o = batch.options;
    const bool automatic = batch.scanMode == kScanModeJOB || o.isUseFNSetting;
    const fs::path path = pathInFolder(o, batch.funcType, automatic);
    std::atomic<int64_t> counter{-1};
    if (!TlvFileNaming(o, automatic).checkFilePath(path, false, counter))
        fail(kErrMakeFileName);
    // A file staged and dropped at once: made where the pages' files will be, and gone without a trace.
    if (!fnd::StagedFile::create(path.string()))
        throw TlvOutputFailure(kErrFolderNotWritable, {path.parent_path().string()});
}

void TlvExeWriteThread::forgetOpenFileNaming() {
    std::lock_guard guard(mBatchLock);
    mOpenFileNaming.reset();
}

std::optional<fs::path> TlvExeWriteThread::nextFreeName(const fs::path& taken) {
    std::lock_guard guard(mBatchLock);
    if (!mOpenFileNaming)
        return std::nullopt;
    return mOpenFileNaming->checkFilePath(taken, false, mRunCounter);
}

void TlvExeWriteThread::exeWriteImgFiles(const TlvBatchSnapshot& batch, int index, const TlvPageImage& image,
                                         const TlvOutputOptions& o, bool isLastIndex,
                                         const std::optional<fs::path>& remakePath,
                                         const std::optional<fnd::Dictionary>& record) {
    if (!batch.writesFiles())
        return;
    const TlvWritePage page{image, index, isLastIndex, std::nullopt};
    TlvPageFiles files;
    try {
        if (!namePageAndWrite(batch, page, o, remakePath, files))
            return;
    } catch (const TlvOutputFailure& failure) {
        onPageFailure(batch, failure, o, files, index, record);
        if (failure.key() == kErrDiskFull)
            throw diskFullFailure(failure, o, index);
        throw;
    } catch (const std::bad_alloc&) {
        onPageFailure(batch, TlvOutputFailure(kErrMemFull), o, files, index, record);
        fail(kErrMemFull);
    }
    if (batch.isCancelled()) { // stopped meanwhile: this page's new file goes
        dropNewFile(o, files);
        return;
    }
    if (files.chosen)
        mFiles.addWriteFilePath(files.published.value_or(*files.chosen));
    displayPreviewByJobScan(batch, index, record);
    if (isLastIndex || (isJobScanWriting(batch) && mHost.isFinScanAndWritedFile(false, index)))
        reportPagesWritten(batch);
}

bool TlvExeWriteThread::namePageAndWrite(const TlvBatchSnapshot& batch, const TlvWritePage& page,
                                         const TlvOutputOptions& o, const std::optional<fs::path>& remakePath,
                                         TlvPageFiles& files) {
    TlvFormatWriter& format = mFormats.of(o.fileFormatType);
    const bool newFile = format.startsFileForPage(o, page.index);
    const bool automatic = batch.scanMode == kScanModeJOB || o.isUseFNSetting;
    const fs::path path = remakePath ? *remakePath : pathInFolder(o, batch.funcType, automatic);
    if (batch.isCancelled()) {
        checkClosePDF(batch);
        return false;
    }
    if (mHost.isQuitAppByUnmount())
        fail(kErrFileCreate);
    if (newFile && remakePath)
        forgetOpenFileNaming(); // a remade file keeps the name it is given, or fails
    if (newFile)
        files.chosen = remakePath ? path : chooseName(path, o, automatic);
    const TlvWriteContext ctx{mHost, batch, o, mFiles, batch.cancel.get_token()};
    format.writePage(ctx, TlvWritePage{page.image, page.index, page.isLastIndex, files.chosen},
                     files.published);
    return true;
}

void TlvExeWriteThread::dropNewFile(const TlvOutputOptions& o, const TlvPageFiles& files) {
    if (TlvFormatWriter* format = mFormats.find(o.fileFormatType))
        format->abandonPage(files);
}

void TlvExeWriteThread::onPageFailure(const TlvBatchSnapshot& batch, const TlvOutputFailure& failure,
                                      const TlvOutputOptions& o, const TlvPageFiles& files, int index,
                                      const std::optional<fnd::Dictionary>& record) {
    batch.requestCancel();
    if (isJobScanWriting(batch)) {
        mHost.cancelDriver(true);
        mHost.waitToFinishScan();
    }
    if (!failure.isMailSizeOver()) {
        dropNewFile(o, files);
        return;
    }
    // At the mail-size limit the file that crossed it is kept.
    if (files.chosen)
        mFiles.addWriteFilePath(files.published.value_or(*files.chosen));
    if (TlvFormatWriter* format = mFormats.find(o.fileFormatType))
        format->close();
    displayPreviewByJobScan(batch, index, record);
}

// The pages before the one that found no room are saved: the message names the disk's folder, the file
// or files that keep them and the first page lost. Pages handed in before the failing one may still have
// waited for the disk, so the first page lost follows the pages that the open file kept.
TlvOutputFailure TlvExeWriteThread::diskFullFailure(const TlvOutputFailure& failure,
                                                    const TlvOutputOptions& o, int index) const {
    const TlvFormatWriter* format = mFormats.find(o.fileFormatType);
    const int kept = format ? format->pagesKeptAtDiskFull() : 0;
    const int perFile = format ? format->pagesPerFile(o) : 1;
    const int groupStart = perFile == 0 ? 0 : index - index % perFile;
    const std::string folder = failure.args().empty() ? std::string() : failure.args().front();
    const std::string firstLost = std::to_string(groupStart + kept + 1);
    const std::vector<fs::path> written = mFiles.cpyWriteFilePathArray();
    if (written.empty())
        return TlvOutputFailure(kErrDiskFull, {folder, firstLost});
    const std::string last = written.back().filename().string();
    if (kept == 0)
        return TlvOutputFailure(kErrDiskFullFilesKept, {folder, last, firstLost});
    return TlvOutputFailure(kErrDiskFullPagesKept, {folder, last, std::to_string(kept), firstLost});
}

bool TlvExeWriteThread::isJobScanWriting(const TlvBatchKind& batch) const {
    return batch.writesWhileScanning() && mHost.isExecuteScnState();
}

void TlvExeWriteThread::displayPreviewByJobScan(const TlvBatchKind& batch, int index,
                                                const std::optional<fnd::Dictionary>& record) {
    if (record && isJobScanWriting(batch))
        mHost.displayOfPreview(*record, index);
}

bool TlvExeWriteThread::checkClosePDF(const TlvBatchSnapshot& batch) {
    if (batch.funcType == kFuncPrint)
        return true;
    TlvFormatWriter* format = mFormats.find(batch.options.fileFormatType);
    return !format || format->close();
}

void TlvExeWriteThread::reportPagesWritten(const TlvBatchKind& batch) {
    // A job's pages written while it scans count once the scan has ended too.
    if (batch.scanMode == kScanModeJOB && mHost.isExecuteScnState())
        mHost.waitToFinishScan();
    mHost.report(TlvOutcome::PagesWritten);
}

} // namespace tlv
