// PDF pages through the document maker, which builds one document at a time: a file opens at the first
// page of its group and closes at the group's last page or at the end of the batch. The document is
// published under its name only when it closes, never over a file that appeared there meanwhile: the
// numbering then moves on (the renamer) and the written-file list follows.
#pragma once

#include "TlvFormatWriter.h"
#include "TlvStagedOutput.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>

namespace tlv {

class TlvCreatePDF : public TlvFormatWriter {
public:
    TlvCreatePDF(TlvWrittenFiles& files, TlvNextFreeName renamer);

    // Adds the page. A page that starts a file gives its path in page.path; when that file is also
    // closed by this page, published receives the name it got. Fails with "Err_PDFInitFault",
    // "Err_PDFAlreadyOpen", "Err_PDFOCRLangMissing", "Err_FileCreateFailed", "Err_DiskFull",
    // "Err_PDFNotOpen", "Err_MakeFileNameFailed" or "Flg_MailSizeOver"; after a failure the document is still
    // open (the page writer closes or drops it).
    void writeToPDF(const TlvWriteContext& ctx, const TlvWritePage& page,
                    std::optional<std::filesystem::path>& published);

    int pagesPerFile(const TlvOutputOptions& o) const override;
    // 1-bit pages with set bits black, colour pages as blue, green, red.
    void bringIntoForm(TlvPageImage& page) const override;
    void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                   std::optional<std::filesystem::path>& published) override {
        writeToPDF(ctx, page, published);
    }
    bool close() override { return closePDF() >= 0; }
    void abandon() override { abandonPDF(); }
    // The mail size counts from 0 again, too.
    void endBatch(bool drop) override;
    std::optional<std::filesystem::path> openPath() const override;

    // Closes the open document (0 when none was open); the maker's result otherwise.
    int32_t closePDF();
    // Drops the open document, so that no file appears.
    void abandonPDF();
    bool isOpenPDF() const;
    // Clearing the flag at the start of a batch drops a document a failed batch left open.
    void setIsOpenPDF(bool open);

    // Pages the open file kept when a page found no room on the disk.
    int pagesKeptAtDiskFull() const override { return mPagesKept.load(); }

    std::uint64_t writedFilesSizePDF() const { return mWritedFilesSizePDF.load(); }
    void setWritedFilesSizePDF(std::uint64_t added) { mWritedFilesSizePDF += added; }
    void resetWritedFilesSizePDF() { mWritedFilesSizePDF = 0; }

private:
    void openPDF(const TlvOutputOptions& options, const std::filesystem::path& path);
    void makePage(const TlvPageImage& image);
    [[noreturn]] void failDiskFull();
    void closeGroup(std::uint32_t size);

    TlvWrittenFiles& mFiles;
    TlvNextFreeName mRenamer;
    mutable std::recursive_mutex mLock; // the document, its path and the flag change together
    bool mIsOpenPDF = false;
    std::atomic<std::uint64_t> mWritedFilesSizePDF{0};
    std::atomic<int> mPagesKept{0};
    std::filesystem::path mOpenPath;
};

// The maker's JPEG quality of a rate setting (1 gives 100 .. 5 gives 1).
int32_t pdfQualityOfRate(int rate);

// From bound on no page waits for its recognised text any more: the pages still without it are written
// without their text layer, so that a quit can finish the open document in time. For the rest of the run.
void boundPdfTextRecognition(std::chrono::milliseconds bound);

} // namespace tlv
