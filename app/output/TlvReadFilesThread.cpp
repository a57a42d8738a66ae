// See TlvReadFilesThread.h. Pages are counted from the page list, never from the files that happen to
// lie in the temporary folder.
#include "TlvReadFilesThread.h"

#include "TlvOutputFailure.h"

#include <new>

namespace tlv {
namespace fs = std::filesystem;
namespace {

// Keeps the controller's count of running job-page writers right on every way out.
class JobPageCount {
public:
    explicit JobPageCount(TlvOutputHost& host) : mHost(host) { mHost.upReadImgFileForJobScnCount(); }
    ~JobPageCount() { mHost.downReadImgFileForJobScnCount(); }
    JobPageCount(const JobPageCount&) = delete;
    JobPageCount& operator=(const JobPageCount&) = delete;

private:
    TlvOutputHost& mHost;
};

} // namespace

TlvReadFilesThread::TlvReadFilesThread(TlvOutputHost& host, TlvExeWriteThread& writer)
    : mHost(host), mWriter(writer) {}

TlvPageImage TlvReadFilesThread::imageRepByIndex(int index) const {
    if (index < 0)
        fail(kErrUnknown);
    const std::optional<fnd::Dictionary> record = mHost.imgInfoAtIndex(static_cast<size_t>(index));
    if (!record)
        fail(kErrUnknown);
    return readPageImage(*record);
}

void TlvReadFilesThread::writeImageFileByIndex(const TlvBatchSnapshot& batch, int index, bool isLastIndex,
                                               const std::optional<fs::path>& remakePath,
                                               const std::optional<fnd::Dictionary>& record) {
    const TlvOutputOptions& options = batch.options;
    TlvPageImage page = record ? readPageImage(*record) : imageRepByIndex(index);
    mWriter.formatWriter(options.fileFormatType).bringIntoForm(page);
    mWriter.exeWriteImgFiles(batch, index, page, options, isLastIndex, remakePath, record);
}

void TlvReadFilesThread::reportFailure(const TlvOutputFailure& failure) {
    if (failure.key() != kNoErrOnlyThrow)
        mHost.showErrorPanel(failure.key(), failure.args());
    mHost.report(TlvOutcome::WriteFailed);
}

void TlvReadFilesThread::readImgFiles(const TlvBatchSnapshot& batch) {
    try {
        const size_t count = mHost.countOfImgInfoDict();
        if (count == 0)
            fail(kErrNotFoundFile); // else the batch would stay in the writing state
        for (size_t i = 0; i < count; ++i)
            writeImageFileByIndex(batch, static_cast<int>(i), i + 1 == count, std::nullopt, std::nullopt);
    } catch (const TlvOutputFailure& failure) {
        reportFailure(failure);
    } catch (const std::bad_alloc&) {
        reportFailure(TlvOutputFailure(kErrMemFull));
    } catch (const std::exception&) { // a thread body lets nothing escape
        reportFailure(TlvOutputFailure(kErrUnknown));
    }
}

void TlvReadFilesThread::readImgFileForJobScn(const TlvBatchSnapshot& batch, const fnd::Dictionary& record,
                                              int index) {
    JobPageCount running(mHost);
    const TlvExeWriteThread::JobPageTurn turn(mWriter, index, batch.cancel.get_token());
    try {
        try {
            if (!batch.isCancelled() && index >= 0)
                writeImageFileByIndex(batch, index, false, std::nullopt, record);
        } catch (const std::bad_alloc&) {
            fail(kErrMemFull);
        } catch (const TlvOutputFailure&) {
            throw;
        } catch (const std::exception&) { // a thread body lets nothing escape
            fail(kErrUnknown);
        }
    } catch (const TlvOutputFailure& failure) {
        batch.requestCancel();
        mHost.cancelDriver(true);
        if (index >= 0) {
            mHost.waitToFinishScan();
            // At the mail-size limit the page that crossed it stays; otherwise the failed page goes too.
            mHost.setSizeOverIndex(failure.isMailSizeOver() ? index : index - 1);
            mHost.removeImgInfoByIndexOver(batch.isCancelled());
        }
        if (!mHost.isMainTopState())
            reportFailure(failure);
    }
}

} // namespace tlv
