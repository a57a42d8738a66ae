// What the format writers share with the page writer for one page: the host, the batch and the page's
// settings, the written-file list and the step's cancel, and the mail-size hook.
#pragma once

#include "TlvOutputHost.h"
#include "TlvPageRaster.h"
#include "TlvWrittenFiles.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>

namespace tlv {

struct TlvWriteContext {
    TlvOutputHost& host;
    const TlvBatchKind& batch;
    const TlvOutputOptions& options;
    TlvWrittenFiles& files;
    std::stop_token writeCancel;

    // For mail, while the batch's size is not yet checked, hands [index, bytes] to the host's check;
    // true when the step is cancelled afterwards: the user stopped at the limit.
    bool mailSizeOver(int index, std::uint64_t bytes) const {
        if (batch.funcType != kFuncMail || host.isCheckedMailSize())
            return false;
        host.setWritedFileSizeForPfm(index, bytes);
        return writeCancel.stop_requested();
    }
};

// One page for a format writer. path is the new file's name (chosen by the page writer) when the
// page starts a file, none when it continues one.
struct TlvWritePage {
    const TlvPageImage& image;
    int index = 0;
    bool isLastIndex = false;
    std::optional<std::filesystem::path> path;
};

// Pages per file of a grouping setting: type 1 groups every n pages (at least 1), any other type
// puts all pages in one file.
inline int groupSizeOf(int multiType, int n) {
    return multiType == 1 ? (n < 1 ? 1 : n) : 0;
}
inline bool startsFile(int multiType, int n, int index) {
    const int size = groupSizeOf(multiType, n);
    return size == 0 ? index == 0 : index % size == 0;
}

} // namespace tlv
