// See TlvCreateTIFF.h. A page that cannot be added leaves the open file as it was before the page.
#include "TlvCreateTIFF.h"

#include "FileIO.h"
#include "ImageEncoders.h"
#include "TiffFunc.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"

namespace tlv {
namespace fs = std::filesystem;
namespace {

// Bilevel pages as CCITT group 4, deeper ones uncompressed, as the platform encoder made them.
bool writeTiff(int fd, const TlvPageImage& image) {
    const ETiffCompression compression = image.bpp < 8 ? ETiffCompression::kBest : ETiffCompression::kNone;
    const EBilevelSense sense = image.oneIsBlack ? EBilevelSense::kOneIsBlack : EBilevelSense::kZeroIsBlack;
    return WriteTiff(image.bitmap, fd, compression, sense);
}

void removeQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

// A write that found no room on the disk of folder fails as such.
[[noreturn]] void failWrite(const fs::path& folder, const char* key) {
    if (fnd::isNoRoomError(errno))
        failDiskFull(folder);
    fail(key);
}

} // namespace

TlvCreateTIFF::TlvCreateTIFF(TlvWrittenFiles& files, TlvNextFreeName nextFreeName)
    : mFile(files, std::move(nextFreeName)) {}

int TlvCreateTIFF::pagesPerFile(const TlvOutputOptions& o) const {
    return groupSizeOf(o.ffMultiTypeTIFF, o.multiPageNumTIFF);
}

void TlvCreateTIFF::bringIntoForm(TlvPageImage& page) const {
    reversalImageBW(page);
}

std::optional<fs::path> childImgPathForMultiTiff(int index) {
    const std::optional<fs::path> folder = TlvUtilsMethod::createAndMultiFolderPath();
    if (!folder)
        return std::nullopt;
    return *folder / ("childImg_" + std::to_string(index) + ".tiff");
}

bool TlvCreateTIFF::addPage(const TlvWriteContext& ctx, const TlvWritePage& page, bool newFile) {
    mPagesKept = mPagesInFile;
    if (newFile) {
        mPagesKept = mPagesInFile = 0;
        if (!page.path || !mFile.open(*page.path))
            fail(kErrFileCreate);
        if (!writeTiff(mFile.fd(), page.image))
            failWrite(page.path->parent_path(), kErrFileCreate);
        if (ConvertII(mFile.openPath().c_str()) != kTiffOK)
            fail(kErrFileCreate);
        mPagesInFile = 1;
        return ctx.mailSizeOver(page.index, mFile.bytes());
    }
    if (!mFile.isOpen())
        fail(kErrTiffAddPage); // the page would be lost while success is reported
    const std::optional<fs::path> child = childImgPathForMultiTiff(page.index);
    if (!child)
        fail(kErrFileCreate);
    if (!fnd::writeFileAtomically(*child, [&](int fd) { return writeTiff(fd, page.image); }))
        failWrite(child->parent_path(), kErrFileCreate);
    const bool overLimit = ctx.mailSizeOver(page.index, TlvUtilsMethod::fileBytesByPath(*child));
    const bool converted = ConvertII(child->c_str()) == kTiffOK;
    const int joined = converted ? ConcatTiff(mFile.openPath().c_str(), child->c_str()) : kTiffOK;
    const int joinError = errno;
    removeQuietly(*child);
    if (!converted || joined != kTiffOK) {
        if (overLimit)
            fail(kFlgMailSizeOver);
        errno = joined == kTiffWrite || joined == kTiffCloseFirst ? joinError : 0;
        failWrite(mFile.chosenPath()->parent_path(), kErrTiffAddPage);
    }
    ++mPagesInFile;
    return overLimit;
}

void TlvCreateTIFF::writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                              std::optional<fs::path>& published) {
    std::lock_guard guard(mLock);
    const TlvOutputOptions& o = ctx.options;
    const bool newFile = startsFile(o.ffMultiTypeTIFF, o.multiPageNumTIFF, page.index);
    const int size = groupSizeOf(o.ffMultiTypeTIFF, o.multiPageNumTIFF);
    const bool last = page.isLastIndex && !ctx.host.isExecuteScnState(); // a running scan closes later
    const bool closes = last || (size > 0 && page.index % size == size - 1);
    if (newFile && mFile.isOpen())
        mFile.publish(); // a group left open keeps its pages
    const bool overLimit = addPage(ctx, page, newFile);
    if (closes) {
        const std::optional<fs::path> name = mFile.publish();
        if (!name)
            fail(kErrFileCreate);
        if (newFile)
            published = name;
    }
    if (overLimit)
        fail(kFlgMailSizeOver);
}

bool TlvCreateTIFF::close() {
    std::lock_guard guard(mLock);
    return !mFile.isOpen() || mFile.publish().has_value();
}

void TlvCreateTIFF::abandon() {
    std::lock_guard guard(mLock);
    mFile.abandon();
}

std::optional<fs::path> TlvCreateTIFF::openPath() const {
    std::lock_guard guard(mLock);
    return mFile.chosenPath();
}

} // namespace tlv
