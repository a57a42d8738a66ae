// The page writer: takes one page bitmap, decides which output file it goes into, chooses the names of
// new files, hands the page to its format's writer, lists every new file, and reports the batch's last
// page.
// It holds what the batch's writers share: the written-file list, the run counter, the page lock of the
// scan-mode-1 page threads and the format writers with their open file.
#pragma once

#include "TlvBatchSnapshot.h"
#include "TlvFileNaming.h"
#include "TlvFormatWriters.h"
#include "TlvOutputFailure.h"
#include "TlvOutputHost.h"
#include "TlvPageRaster.h"
#include "TlvWrittenFiles.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

namespace tlv {

class TlvExeWriteThread {
public:
    explicit TlvExeWriteThread(TlvOutputHost& host);

    // A batch: the list starts empty with the run counter at -1, and its mail files get a new outbox
    // folder. At the end the open file is closed (or dropped when the files are removed).
    void initWriteFilePathArray();
    void releaseWriteFilePathArray(bool removeFiles);
    TlvWrittenFiles& writtenFiles() { return mFiles; }
    // Fails with "Err_FileCreateFailed" for a number that names no format.
    TlvFormatWriter& formatWriter(int format) { return mFormats.of(format); }

    // Held by each scan-mode-1 page thread for its whole page: pages are written one at a time and in
    // page order. A page waits for the pages before it (not longer than kJobPageTurnWait, so that a
    // page whose thread never came cannot stop the batch), or until the batch is cancelled.
    class JobPageTurn {
    public:
        JobPageTurn(TlvExeWriteThread& writer, int index, std::stop_token cancel);
        ~JobPageTurn();
        JobPageTurn(const JobPageTurn&) = delete;
        JobPageTurn& operator=(const JobPageTurn&) = delete;

    private:
        TlvExeWriteThread& mWriter;
        std::unique_lock<std::mutex> mLock;
        int mIndex;
    };
    static constexpr std::chrono::seconds kJobPageTurnWait{30};

    // Writes one page (already turned and brought into the format's form). remakePath replaces the new
    // name of a page that starts a file: a name beside the old file that is not taken (the caller
    // replaces the old file with it); record is the page's record for the preview.
    void exeWriteImgFiles(const TlvBatchSnapshot& batch, int index, const TlvPageImage& page,
                          const TlvOutputOptions& options, bool isLastIndex,
                          const std::optional<std::filesystem::path>& remakePath,
                          const std::optional<fnd::Dictionary>& record);

    // What the batch's first new file would fail on, checked before a sheet is fed: the folder takes a
    // file and a free name is left. Throws that failure ("Err_NotFoundFile", "Err_MakeFileNameFailed",
    // "Err_FolderNotWritable" with the folder). Mail goes to an outbox of the batch's own: not checked.
    void checkBeforeBatch(const TlvBatchSnapshot& batch);
    // Closes the batch's open file unless the batch prints; false when it could not be kept.
    bool checkClosePDF(const TlvBatchSnapshot& batch);
    // The batch's last page is written: reported once a job's scan has ended.
    void reportPagesWritten(const TlvBatchKind& batch);

private:
    std::filesystem::path pathInFolder(const TlvOutputOptions& options, int func, bool automatic);
    // The first free name from path on; the rule that chose it names the file again when a file takes
    // the name before the new one is published.
    std::filesystem::path chooseName(const std::filesystem::path& path, const TlvOutputOptions& options,
                                     bool automatic);
    // Names the page's file and writes the page; false when the step's cancel skipped it.
    bool namePageAndWrite(const TlvBatchSnapshot& batch, const TlvWritePage& page,
                          const TlvOutputOptions& options,
                          const std::optional<std::filesystem::path>& remakePath, TlvPageFiles& files);
    void dropNewFile(const TlvOutputOptions& options, const TlvPageFiles& files);
    // The message of a page that found the disk full, naming what keeps the pages before it.
    TlvOutputFailure diskFullFailure(const TlvOutputFailure& failure, const TlvOutputOptions& options,
                                     int index) const;
    void onPageFailure(const TlvBatchSnapshot& batch, const TlvOutputFailure& failure,
                       const TlvOutputOptions& options, const TlvPageFiles& files, int index,
                       const std::optional<fnd::Dictionary>& record);
    void displayPreviewByJobScan(const TlvBatchKind& batch, int index,
                                 const std::optional<fnd::Dictionary>& record);
    bool isJobScanWriting(const TlvBatchKind& batch) const;
    std::optional<std::filesystem::path> nextFreeName(const std::filesystem::path& taken);
    void forgetOpenFileNaming();

    TlvOutputHost& mHost;
    TlvWrittenFiles mFiles;
    TlvFormatWriters mFormats;
    std::atomic<int64_t> mRunCounter{-1};
    std::mutex mReadWriteFileLck;                 // the page turn and the two below
    std::condition_variable_any mJobPageTurnDone; // woken by the batch's cancel too
    int mNextJobPage = 0;
    std::mutex mBatchLock; // the two below
    std::string mOutboxBatch;
    std::optional<TlvFileNaming> mOpenFileNaming; // the rule that named the open file
};

} // namespace tlv
