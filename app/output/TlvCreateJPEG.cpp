// See TlvCreateJPEG.h. The file is written atomically over the reserved name.
#include "TlvCreateJPEG.h"

#include "FileIO.h"
#include "ImageEncoders.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"

#include <algorithm>

namespace tlv {

int jpegQualityOfRate(int rate) {
    static constexpr int kQuality[] = {100, 80, 60, 40, 20};
    if (rate >= 1 && rate <= 5)
        return kQuality[rate - 1];
    return std::clamp(rate * 100, 1, 100); // any other rate is the factor itself
}

void writeToJPEG(const TlvWriteContext& ctx, const TlvWritePage& page) {
    if (page.image.bpp < 8)
        fail(kErrJpegParam);
    const int quality = jpegQualityOfRate(ctx.options.compRateJPEG);
    if (!page.path || !fnd::writeFileAtomically(
                          *page.path, [&](int fd) { return WriteJpeg(page.image.bitmap, fd, quality); }))
        fail(kErrJpegCreate);
    if (ctx.mailSizeOver(page.index, TlvUtilsMethod::fileBytesByPath(*page.path)))
        fail(kFlgMailSizeOver);
}

void TlvCreateJPEG::writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                              std::optional<std::filesystem::path>&) {
    writeToJPEG(ctx, page);
}

} // namespace tlv
