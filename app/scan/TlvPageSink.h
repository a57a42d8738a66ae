// Where one page's blocks go: appended to the page's raw file (rows as delivered, no header) and
// streamed through the scaler into the thumbnail. Lives on the transfer thread for one page.
#pragma once

#include "FG_Zoom.h"
#include "TlvPageRecord.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tlv {

class TlvPageSink {
public:
    TlvPageSink() = default;
    ~TlvPageSink();
    TlvPageSink(const TlvPageSink&) = delete;
    TlvPageSink& operator=(const TlvPageSink&) = delete;

    // Creates the raw file, a new name in the temporary folder, and the thumbnail; 0, kScnErrNoMemory or
    // kScnErrNoScaler. A file that cannot be made (also when the name exists) leaves the sink without
    // one (fileFailed()).
    int open(const std::string& rawFileName, const TlvPageLayout& page);
    // Takes a block that isSoundBlock accepted: its rows' bytes go to the file, its rows to the scaler.
    void take(const TW_IMAGEMEMXFER& block, const std::uint8_t* buffer);
    // Closes the file; false when it could not be made or a write failed.
    bool finish();
    bool fileFailed() const { return mFileFailed; }
    // Removes the raw file this sink made (a page that is not kept).
    void discard();
    TlvThumbnail takeThumbnail() { return std::move(mThumbnail); }

private:
    void scaleRow(const std::uint8_t* row);

    std::string mName;
    std::FILE* mFile = nullptr;
    bool mFileFailed = false;
    std::uint32_t mRowBytes = 0;
    FG_Zoom mZoom;
    TlvThumbnail mThumbnail;
    int mThumbRows = 0;
};

} // namespace tlv
