// The page readers: turn the raw pages of the page list into bitmaps and hand them to the page writer.
// readImgFiles writes a whole scan-first batch after the scan; readImgFileForJobScn writes one page of
// a running job batch. Both are thread bodies: the controller runs each on a thread of its own.
#pragma once

#include "TlvExeWriteThread.h"
#include "TlvOutputHost.h"
#include "TlvPageRaster.h"

#include <filesystem>
#include <optional>

namespace tlv {

class TlvReadFilesThread {
public:
    TlvReadFilesThread(TlvOutputHost& host, TlvExeWriteThread& writer);

    // Every page of the page list, in order; the last one reports the next state. An empty list is a
    // failure. Failures show their message and report the failure state.
    void readImgFiles(const TlvBatchSnapshot& batch);
    // One page of a job batch, under the page lock; after a failure the scan is stopped, the pages
    // behind the failed one are dropped and later pages write nothing.
    void readImgFileForJobScn(const TlvBatchSnapshot& batch, const fnd::Dictionary& record, int index);

    // Reads, prepares and writes one page; failures pass on to the caller.
    void writeImageFileByIndex(const TlvBatchSnapshot& batch, int index, bool isLastIndex,
                               const std::optional<std::filesystem::path>& remakePath,
                               const std::optional<fnd::Dictionary>& record);
    // The page at index of the page list, read from its raw file and turned.
    TlvPageImage imageRepByIndex(int index) const;

private:
    void reportFailure(const TlvOutputFailure& failure);

    TlvOutputHost& mHost;
    TlvExeWriteThread& mWriter;
};

} // namespace tlv
