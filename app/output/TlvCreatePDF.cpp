// See TlvCreatePDF.h. Every negative result of the maker fails the page: a page is never lost while
// success is reported.
#include "TlvCreatePDF.h"

#include "TlvOutputFailure.h"
#include "vellumv2.h"

#include <algorithm>
#include <limits>

namespace tlv {
namespace fs = std::filesystem;
namespace {

struct OcrSelection {
    uint32_t mask;
    uint32_t flags;
};

// Recognition languages of the option panel's entries 0..9.
OcrSelection ocrSelection(const TlvOutputOptions& o) {
    static constexpr OcrSelection kLanguages[] = {{3, 0},  {1, 0},  {2, 0},   {64, 1}, {8, 0},
                                                  {32, 1}, {16, 1}, {128, 1}, {4, 0},  {4, 256}};
    if (!o.isAddOCR || o.ffOCRLangType < 0 || o.ffOCRLangType > 9)
        return {0, 0};
    return kLanguages[o.ffOCRLangType];
}

int32_t imageKind(int bpp) {
    return bpp >= 24 ? VLM_KIND_BGR : bpp >= 8 ? VLM_KIND_GRAY : VLM_KIND_BW;
}

const char* openFailureKey(int32_t result) {
    if (result > 0)
        return kErrPdfInit; // the maker did not open a document
    if (result == VLM_ERR_LANGUAGE)
        return kErrOcrLanguage;
    if (result == VLM_ERR_FILECREATE)
        return kErrFileCreate;
    return kErrPdfAlreadyOpen;
}

} // namespace

int32_t pdfQualityOfRate(int rate) {
    static constexpr int32_t kQuality[] = {100, 75, 50, 25, 1};
    if (rate >= 1 && rate <= 5)
        return kQuality[rate - 1];
    return std::clamp(rate, 1, 100);
}

void boundPdfTextRecognition(std::chrono::milliseconds bound) {
    constexpr std::chrono::milliseconds::rep kLongest = std::numeric_limits<int32_t>::max();
    VLMC_exocrbound(
        static_cast<int32_t>(std::clamp<std::chrono::milliseconds::rep>(bound.count(), 0, kLongest)));
}

TlvCreatePDF::TlvCreatePDF(TlvWrittenFiles& files, TlvNextFreeName renamer)
    : mFiles(files), mRenamer(std::move(renamer)) {}

void TlvCreatePDF::openPDF(const TlvOutputOptions& o, const fs::path& path) {
    const OcrSelection ocr = ocrSelection(o);
    if (VLMC_exmodeset(o.ffCompType == 0 ? VLM_MODE_PLAIN : VLM_MODE_COMPRESS, ocr.mask, ocr.flags) < 0)
        fail(kErrPdfInit);
    const int32_t opened = VLMC_exopen(path.c_str(), ocr.mask != 0 ? 1 : 0, 0);
    if (opened != 0)
        fail(openFailureKey(opened));
    mIsOpenPDF = true;
    mOpenPath = path;
    const VlmSubModeOptions options{1, 16, 497, 0, 0};
    const VlmSubModeQuality quality{1, 8, pdfQualityOfRate(o.compRatePDF)};
    if (VLMC_submodeset(VLM_SUBMODE_OPTIONS, &options) < 0 ||
        VLMC_submodeset(VLM_SUBMODE_QUALITY, &quality) < 0)
        fail(kErrPdfInit);
}

void TlvCreatePDF::makePage(const TlvPageImage& image) {
    const SPageBitmap& b = image.bitmap;
    const PdfPageImageDesc desc{b.pixels.data(),
                                static_cast<int32_t>(b.bytesPerRow),
                                static_cast<int32_t>(b.width),
                                static_cast<int32_t>(b.height),
                                static_cast<int32_t>(b.xResolution), // dots per inch, truncated
                                static_cast<int32_t>(b.yResolution),
                                imageKind(image.bpp),
                                0,
                                0};
    const PdfPageRect rect{0, 0, static_cast<int32_t>(b.width), static_cast<int32_t>(b.height)};
    const int32_t made = VLMC_spmake(&desc, &rect);
    if (made == VLM_ERR_DISKFULL)
        failDiskFull();
    if (made < 0)
        fail(kErrFileCreate);
}

// Pages recognised beside the scan may have been handed in before the one that found no room.
void TlvCreatePDF::failDiskFull() {
    int32_t kept = 0;
    VLMC_getPageCount(&kept);
    mPagesKept = kept;
    tlv::failDiskFull(mOpenPath.parent_path());
}

void TlvCreatePDF::closeGroup(uint32_t size) {
    mWritedFilesSizePDF += size;
    const int32_t closed = closePDF();
    if (closed == VLM_ERR_FILEEXISTS)
        fail(kErrMakeFileName);
    if (closed < 0)
        fail(kErrPdfNotOpen);
}

void TlvCreatePDF::writeToPDF(const TlvWriteContext& ctx, const TlvWritePage& page,
                              std::optional<fs::path>& published) {
    std::lock_guard guard(mLock);
    const TlvOutputOptions& o = ctx.options;
    const bool last = page.isLastIndex && !ctx.host.isExecuteScnState(); // a running scan closes later
    const int size = groupSizeOf(o.ffMultiTypePDF, o.multiPageNumPDF);
    const bool newFile = startsFile(o.ffMultiTypePDF, o.multiPageNumPDF, page.index);
    const bool closes = last || (size > 0 && page.index % size == size - 1);
    if (newFile) {
        if (!page.path)
            fail(kErrFileCreate);
        openPDF(o, *page.path);
    }
    makePage(page.image);
    const bool mailCheck = ctx.batch.funcType == kFuncMail && !ctx.host.isCheckedMailSize();
    // The size waits for the text of every page so far: asked after every page, it would keep the pages
    // from being recognised side by side.
    uint32_t bytes = 0;
    const int32_t sized =
        mailCheck || closes || ctx.writeCancel.stop_requested() ? VLMC_getFileSize(&bytes) : 0;
    bool overLimit = false;
    if (sized == 0 && mailCheck) {
        ctx.host.resetWritedFileSize();
        overLimit = ctx.mailSizeOver(page.index, bytes + writedFilesSizePDF());
    }
    // The size is the first to write the pages that waited for their text: one that finds no room
    // fails here, even on the group's last page, so that no page is lost while the file closes.
    if (sized == VLM_ERR_DISKFULL)
        failDiskFull();
    if (!closes && !overLimit && !ctx.writeCancel.stop_requested()) {
        if (sized < 0)
            fail(kErrFileCreate);
        return;
    }
    if (closes || !overLimit) {
        closeGroup(bytes);
        if (newFile)
            published = mOpenPath;
    }
    if (overLimit)
        fail(kFlgMailSizeOver);
}

int32_t TlvCreatePDF::closePDF() {
    std::lock_guard guard(mLock);
    if (!mIsOpenPDF)
        return 0;
    // The maker publishes under the name it opened with, or under the one it is renamed to when a file
    // appeared there meanwhile.
    int32_t result = VLM_OK;
    const auto publishAs = [&](const fs::path& name) {
        if (name != mOpenPath && VLMC_exrename(name.c_str()) != VLM_OK)
            return TlvPublishTry::kFailed;
        result = VLMC_exclose(0);
        return result == VLM_ERR_FILEEXISTS ? TlvPublishTry::kTaken
               : result < 0                 ? TlvPublishTry::kFailed
                                            : TlvPublishTry::kPublished;
    };
    if (const std::optional<fs::path> name = publishUnderFreeName(mOpenPath, publishAs, mRenamer, mFiles))
        mOpenPath = *name;
    if (result == VLM_ERR_FILEEXISTS) // no free name was left
        VLMC_exabandon();
    mIsOpenPDF = false;
    return result;
}

bool TlvCreatePDF::isOpenPDF() const {
    std::lock_guard guard(mLock);
    return mIsOpenPDF;
}

std::optional<fs::path> TlvCreatePDF::openPath() const {
    std::lock_guard guard(mLock);
    if (!mIsOpenPDF)
        return std::nullopt;
    return mOpenPath;
}

void TlvCreatePDF::abandonPDF() {
    std::lock_guard guard(mLock);
    if (mIsOpenPDF)
        VLMC_exabandon();
    mIsOpenPDF = false;
}

int TlvCreatePDF::pagesPerFile(const TlvOutputOptions& o) const {
    return groupSizeOf(o.ffMultiTypePDF, o.multiPageNumPDF);
}

void TlvCreatePDF::bringIntoForm(TlvPageImage& page) const {
    reversalImageBW(page);
    conversionRGBToBGRImage(page);
}

void TlvCreatePDF::endBatch(bool drop) {
    TlvFormatWriter::endBatch(drop);
    resetWritedFilesSizePDF();
}

void TlvCreatePDF::setIsOpenPDF(bool open) {
    if (!open)
        abandonPDF();
}

} // namespace tlv
