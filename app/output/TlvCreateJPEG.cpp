// See TlvCreateJPEG.h. The page is encoded into a staged file that is published once it is whole.
#include "TlvCreateJPEG.h"

#include "FileIO.h"
#include "ImageEncoders.h"
#include "TlvOutputFailure.h"

#include <algorithm>

namespace tlv {

int jpegQualityOfRate(int rate) {
    static constexpr int kQuality[] = {100, 80, 60, 40, 20};
    if (rate >= 1 && rate <= 5)
        return kQuality[rate - 1];
    return std::clamp(rate * 100, 1, 100); // any other rate is the factor itself
}

TlvCreateJPEG::TlvCreateJPEG(TlvWrittenFiles& files, TlvNextFreeName nextFreeName)
    : mFiles(files), mNextFreeName(std::move(nextFreeName)) {}

void TlvCreateJPEG::writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                              std::optional<std::filesystem::path>& published) {
    if (page.image.bpp < 8)
        fail(kErrJpegParam);
    const int quality = jpegQualityOfRate(ctx.options.compRateJPEG);
    TlvStagedOutput file(mFiles, mNextFreeName);
    if (!page.path || !file.open(*page.path))
        fail(kErrJpegCreate);
    if (!WriteJpeg(page.image.bitmap, file.fd(), quality)) {
        if (fnd::isNoRoomError(errno))
            failDiskFull(page.path->parent_path());
        fail(kErrJpegCreate);
    }
    const std::uint64_t bytes = file.bytes();
    published = file.publish();
    if (!published)
        fail(kErrJpegCreate);
    if (ctx.mailSizeOver(page.index, bytes))
        fail(kFlgMailSizeOver);
}

} // namespace tlv
