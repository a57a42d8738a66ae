// Rows go to the file one at a time with the page's row length, so that a data source padding its
// rows still leaves a file whose rows are as long as the page record says.
#include "TlvPageSink.h"

#include "TlvDeviceCntlr.h"
#include "TlvUtilsMethod.h"

#include <new>
#include <unistd.h>

namespace tlv {

TlvPageSink::~TlvPageSink() {
    if (mFile)
        std::fclose(mFile);
}

int TlvPageSink::open(const std::string& rawFileName, const TlvPageLayout& page) {
    mRowBytes = page.rowBytes;
    const int fd = TlvUtilsMethod::createTmpFile(rawFileName);
    if (fd >= 0) {
        mName = rawFileName;
        mFile = ::fdopen(fd, "wb");
        if (!mFile)
            ::close(fd);
    }
    mFileFailed = mFile == nullptr;
    const TlvThumbSize size = sizeForPreImg(page.width, page.height);
    mThumbnail.width = size.width;
    mThumbnail.height = size.height;
    mThumbnail.bitsPerPixel = page.bitsPerPixel;
    mThumbnail.bytesPerRow = (size.width * page.bitsPerPixel + 7) / 8;
    try {
        mThumbnail.pixels.assign(static_cast<std::size_t>(mThumbnail.bytesPerRow) * size.height, 0);
    } catch (const std::bad_alloc&) {
        return kScnErrNoMemory;
    }
    const int rc = mZoom.Open(size.width, size.height, page.width, page.height, page.bitsPerPixel, 2);
    if (rc == kFGZoomNoMemory)
        return kScnErrNoMemory;
    return rc == kFGZoomDone ? 0 : kScnErrNoScaler;
}

void TlvPageSink::take(const TW_IMAGEMEMXFER& block, const std::uint8_t* buffer) {
    for (std::uint32_t r = 0; r < block.Rows; ++r) {
        const std::uint8_t* row = buffer + std::size_t{r} * block.BytesPerRow;
        if (mFile && std::fwrite(row, 1, mRowBytes, mFile) != mRowBytes)
            mFileFailed = true;
        scaleRow(row);
    }
}

void TlvPageSink::scaleRow(const std::uint8_t* row) {
    if (mZoom.Send(row) != kFGZoomDone)
        return;
    while (mZoom.ReadyCount() > 0 && mThumbRows < mThumbnail.height) {
        std::uint8_t* out = mThumbnail.pixels.data() + std::size_t(mThumbRows) * mThumbnail.bytesPerRow;
        if (mZoom.Read(out) != kFGZoomDone)
            return;
        ++mThumbRows;
    }
}

bool TlvPageSink::finish() {
    mZoom.Close();
    if (mFile && std::fclose(mFile) != 0)
        mFileFailed = true;
    mFile = nullptr;
    return !mFileFailed;
}

void TlvPageSink::discard() {
    finish();
    if (!mName.empty())
        TlvUtilsMethod::removeTmpFile(mName);
}

} // namespace tlv
