// See TlvCreateTIFF.h. Files are written atomically over the reserved name, so a failed write leaves
// the empty reservation, which the page writer removes.
#include "TlvCreateTIFF.h"

#include "FileIO.h"
#include "ImageEncoders.h"
#include "TiffFunc.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"

namespace tlv {
namespace fs = std::filesystem;
namespace {

bool writeTiffFile(const fs::path& path, const TlvPageImage& image) {
    // Bilevel pages as CCITT group 4, deeper ones uncompressed, as the platform encoder made them.
    const ETiffCompression compression = image.bpp < 8 ? ETiffCompression::kBest : ETiffCompression::kNone;
    const EBilevelSense sense = image.oneIsBlack ? EBilevelSense::kOneIsBlack : EBilevelSense::kZeroIsBlack;
    return fnd::writeFileAtomically(path,
                                    [&](int fd) { return WriteTiff(image.bitmap, fd, compression, sense); });
}

void removeQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

void appendToGroup(const TlvWriteContext& ctx, const fs::path& child, int group, bool overLimit) {
    const std::optional<fs::path> target = ctx.files.writeFilePathAtIndex(static_cast<size_t>(group));
    std::error_code ec;
    if (!target || !fs::is_regular_file(*target, ec)) {
        removeQuietly(child);
        fail(kErrTiffAddPage); // the page would be lost while success is reported
    }
    const int result = ConcatTiff(target->c_str(), child.c_str());
    removeQuietly(child);
    if (result != kTiffOK)
        fail(overLimit ? kFlgMailSizeOver : kErrTiffAddPage);
}

} // namespace

int TlvCreateTIFF::pagesPerFile(const TlvOutputOptions& o) const {
    return groupSizeOf(o.ffMultiTypeTIFF, o.multiPageNumTIFF);
}

void TlvCreateTIFF::bringIntoForm(TlvPageImage& page) const {
    reversalImageBW(page);
}

void TlvCreateTIFF::writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                              std::optional<fs::path>&) {
    writeToTIFF(ctx, page);
}

std::optional<fs::path> childImgPathForMultiTiff(int index) {
    const std::optional<fs::path> folder = TlvUtilsMethod::createAndMultiFolderPath();
    if (!folder)
        return std::nullopt;
    return *folder / ("childImg_" + std::to_string(index) + ".tiff");
}

void writeToTIFF(const TlvWriteContext& ctx, const TlvWritePage& page) {
    const TlvOutputOptions& o = ctx.options;
    const bool newFile = startsFile(o.ffMultiTypeTIFF, o.multiPageNumTIFF, page.index);
    const int size = groupSizeOf(o.ffMultiTypeTIFF, o.multiPageNumTIFF);
    const int group = size == 0 ? 0 : page.index / size;
    const std::optional<fs::path> target = newFile ? page.path : childImgPathForMultiTiff(page.index);
    if (!target || !writeTiffFile(*target, page.image))
        fail(kErrFileCreate);
    const bool overLimit = ctx.mailSizeOver(page.index, TlvUtilsMethod::fileBytesByPath(*target));
    if (ConvertII(target->c_str()) != kTiffOK) {
        if (!newFile)
            removeQuietly(*target);
        fail(kErrFileCreate);
    }
    if (!newFile)
        appendToGroup(ctx, *target, group, overLimit);
    if (overLimit)
        fail(kFlgMailSizeOver);
}

} // namespace tlv
