// The output steps after the pages are written: re-writing the files whose pages the user turned,
// moving the files to the names the user confirmed, and handing them to the mail program or the job's
// application. Each step is a thread body that reports the next state through the host; a failure shows
// its message and reports the failure state.
#pragma once

#include "TlvExeWriteThread.h"
#include "TlvOutputHost.h"
#include "TlvReadFilesThread.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tlv {

// The pages of one output file: the first page and the page count, and the file's place in the
// written-file list.
struct TlvFileGroup {
    int first = 0;
    int count = 1;
    int fileIndex = 0;
};
// pagesPerFile 0 puts all pages in one file.
TlvFileGroup targetRangeByIndex(int pagesPerFile, int index, int imgCnt);

class TlvExeRenameMoveThread {
public:
    TlvExeRenameMoveThread(TlvOutputHost& host, TlvExeWriteThread& writer, TlvReadFilesThread& reader);

    // Writes every file group that holds a turned page again under a temporary name beside its file and
    // replaces the file only when the new one is complete, so a failure leaves the file the user had.
    void checkRotateAndRemakeImg(const TlvBatchSnapshot& batch);
    // Moves written file i to the confirmed name i (with the written file's extension) in the
    // function's folder; a name that is taken gets the collision numbering and no file is ever replaced.
    // Each move updates its entry of the written-file list at once.
    void renameAndMoveFiles(const TlvBatchSnapshot& batch, const std::vector<std::string>& confirmedNames);
    // Mail: a new mail with the files attached (xdg-email), failing when the tool does. Application: the
    // application's .desktop file (applicationPath) started with the files as its Exec line takes them,
    // without a shell.
    void openFileOnApp(const TlvBatchKind& batch, bool isOpen, const std::string& applicationPath);

private:
    void remakeGroup(const TlvBatchSnapshot& batch, const TlvFileGroup& group,
                     const std::filesystem::path& file);
    static std::filesystem::path moveToFreeName(const TlvOutputOptions& options,
                                                const std::filesystem::path& from,
                                                const std::filesystem::path& to);
    static std::filesystem::path renameFolder(const TlvBatchSnapshot& batch,
                                              const std::vector<std::filesystem::path>& written);
    void handOff(const TlvBatchKind& batch, bool isOpen, const std::string& applicationPath);
    void reportFailure(const TlvOutputFailure& failure, TlvOutcome outcome);

    TlvOutputHost& mHost;
    TlvExeWriteThread& mWriter;
    TlvReadFilesThread& mReader;
};

} // namespace tlv
