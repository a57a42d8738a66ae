// TIFF pages. A page that starts a file is written into a staged file (see TlvStagedOutput); each
// further page of its group is written as a child file in the temporary "Multi" folder and appended to
// it by the joiner. The file is published when its group's last page is in, or when it closes.
#pragma once

#include "TlvFormatWriter.h"
#include "TlvStagedOutput.h"

#include <mutex>

namespace tlv {

class TlvCreateTIFF : public TlvFormatWriter {
public:
    TlvCreateTIFF(TlvWrittenFiles& files, TlvNextFreeName nextFreeName);

    int pagesPerFile(const TlvOutputOptions& o) const override;
    void bringIntoForm(TlvPageImage& page) const override;
    // Fails with "Err_FileCreateFailed", "Err_TIFFAddPage", "Err_DiskFull" (with the folder whose disk
    // had no room) or "Flg_MailSizeOver" (the page is in the open file then); after a failure the file is
    // still open (the page writer closes or drops it).
    void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                   std::optional<std::filesystem::path>& published) override;
    bool close() override;
    void abandon() override;
    std::optional<std::filesystem::path> openPath() const override;
    int pagesKeptAtDiskFull() const override { return mPagesKept; }

private:
    // The page into the open file; true when it took the batch's mail past its size.
    bool addPage(const TlvWriteContext& ctx, const TlvWritePage& page, bool newFile);

    mutable std::mutex mLock; // the open file
    TlvStagedOutput mFile;
    int mPagesInFile = 0; // pages in the open file
    int mPagesKept = 0;   // pages the open file held before the page being added
};

// The child file of a continuing page; none when the "Multi" folder cannot be made.
std::optional<std::filesystem::path> childImgPathForMultiTiff(int index);

} // namespace tlv
