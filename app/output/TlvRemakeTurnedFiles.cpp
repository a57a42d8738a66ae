// Re-writing the files whose pages the user turned on the confirmation screen (see
// TlvExeRenameMoveThread.h). A group is written to a staged file published under a hidden name beside
// its file; only a complete new file replaces the old one, by a rename over it at once, so a failure
// leaves the user's file as it was. Killed between the two steps, the program leaves the hidden
// ".tlv-remake-N" file beside the user's.
#include "ImgInfoKeys.h"
#include "TlvExeRenameMoveThread.h"
#include "TlvUtilsMethod.h"

namespace tlv {
namespace fs = std::filesystem;
namespace {

bool isTurned(const TlvOutputHost& host, int index) {
    const std::optional<fnd::Dictionary> record = host.imgInfoAtIndex(static_cast<std::size_t>(index));
    return record && record->get(ImgInfo_RotateKey).asInt32().value_or(0) != 0;
}

// A free hidden name beside file with its extension; the writers publish only under a name that is
// still free.
fs::path remakeNameBeside(const fs::path& file) {
    for (int n = 0; n < 1000; ++n) {
        const fs::path candidate =
            file.parent_path() / (".tlv-remake-" + std::to_string(n) + file.extension().string());
        std::error_code ec;
        if (!fs::exists(candidate, ec) && !ec)
            return candidate;
    }
    fail(kErrMakeFileName);
}

} // namespace

TlvFileGroup targetRangeByIndex(int pagesPerFile, int index, int imgCnt) {
    const int size = pagesPerFile;
    if (size <= 0)
        return {0, imgCnt, 0};
    const int first = index / size * size;
    return {first, first + size < imgCnt ? size : imgCnt - first, first / size};
}

void TlvExeRenameMoveThread::checkRotateAndRemakeImg(const TlvBatchSnapshot& batch) {
    try {
        const std::vector<fs::path> files = mWriter.writtenFiles().cpyWriteFilePathArray();
        if (files.empty())
            fail(kErrNotFoundFile);
        TlvUtilsMethod::removeMultiFolder();
        const int count = static_cast<int>(mHost.countOfImgInfoDict());
        const int pagesPerFile =
            mWriter.formatWriter(batch.options.fileFormatType).pagesPerFile(batch.options);
        for (int index = 0; index < count; ++index) {
            if (!isTurned(mHost, index))
                continue;
            const TlvFileGroup group = targetRangeByIndex(pagesPerFile, index, count);
            if (group.fileIndex < 0 || static_cast<std::size_t>(group.fileIndex) >= files.size())
                fail(kErrNotFoundFile);
            remakeGroup(batch, group, files[static_cast<std::size_t>(group.fileIndex)]);
            index = group.first + group.count - 1;
        }
        mWriter.reportPagesWritten(batch);
    } catch (const TlvOutputFailure& failure) {
        reportFailure(failure, TlvOutcome::WriteFailed);
    } catch (const std::bad_alloc&) {
        reportFailure(TlvOutputFailure(kErrMemFull), TlvOutcome::WriteFailed);
    }
}

void TlvExeRenameMoveThread::remakeGroup(const TlvBatchSnapshot& batch, const TlvFileGroup& group,
                                         const fs::path& file) {
    TlvWrittenFiles& list = mWriter.writtenFiles();
    const std::vector<fs::path> kept = list.cpyWriteFilePathArray();
    TlvFormatWriter& format = mWriter.formatWriter(batch.options.fileFormatType);
    const fs::path remake = remakeNameBeside(file);
    // While the group is written, the list names the new file in the group's place.
    std::vector<fs::path> writing = kept;
    writing[static_cast<std::size_t>(group.fileIndex)] = remake;
    list.setWriteFilePathArray(writing);
    std::error_code ec;
    try {
        for (int page = group.first; page < group.first + group.count; ++page)
            mReader.writeImageFileByIndex(batch, page, false, remake, std::nullopt);
        if (!mWriter.checkClosePDF(batch) || !fs::is_regular_file(remake, ec) ||
            fs::file_size(remake, ec) == 0)
            fail(kErrFileCreate);
        fs::rename(remake, file, ec);
        if (ec)
            fail(kErrFileCreate);
    } catch (...) {
        format.abandon();
        fs::remove(remake, ec);
        list.setWriteFilePathArray(kept);
        throw;
    }
    list.setWriteFilePathArray(kept);
}

} // namespace tlv
