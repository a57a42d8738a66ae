// One-page PDF documents through the document maker. The maker takes grey and one-bit pages as they
// are and colour pages as interleaved blue, green, red, so colour images are repacked once into that
// order before the page is handed over.
#include "CImgFile.h"

#include "ImageFileCommon.h"
#include "vellumv2.h"

#include <cstring>
#include <new>
#include <vector>

namespace Ovk::Pixen {

using namespace fileio;

namespace {

// Page kinds of the document maker.
constexpr std::int32_t kKindColour = 136;
constexpr std::int32_t kKindGrey = 8;
constexpr std::int32_t kKindBinary = 33;

std::int32_t pageKind(const CImg& image) {
    if (image.getSpp() == 3)
        return image.getBps() == 8 ? kKindColour : -1;
    if (image.getSpp() == 1 && image.getBps() == 8)
        return kKindGrey;
    if (image.getSpp() == 1 && image.getBps() == 1)
        return kKindBinary;
    return -1;
}

// Colour pixels as blue, green, red triplets, from either pixel or line order. Throws std::bad_alloc.
std::vector<std::uint8_t> toBgr(const CImg& image, std::int32_t& sync) {
    sync = 3 * image.getWidth();
    std::vector<std::uint8_t> out(static_cast<std::size_t>(sync) * image.getHeight());
    const bool lineOrder = image.getRGBOrder() == RGBORDER_LINE;
    const std::size_t step = lineOrder ? 1 : 3;
    for (std::int32_t line = 0; line < image.getHeight(); ++line) {
        const std::uint8_t* red = image.getLine(line, 0);
        const std::uint8_t* green = lineOrder ? image.getLine(line, 1) : red + 1;
        const std::uint8_t* blue = lineOrder ? image.getLine(line, 2) : red + 2;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(line) * sync;
        for (std::int32_t x = 0; x < image.getWidth(); ++x) {
            dst[3 * x] = blue[x * step];
            dst[3 * x + 1] = green[x * step];
            dst[3 * x + 2] = red[x * step];
        }
    }
    return out;
}

// Adds the page to an open document; true when every call succeeded.
bool makePage(const PdfPageImageDesc& page, std::int32_t subMode50) {
    const VlmSubModeOptions options{1, sizeof(VlmSubModeOptions), 497, 0, 0};
    const VlmSubModeQuality quality{1, sizeof(VlmSubModeQuality), subMode50};
    return VLMC_submodeset(VLM_SUBMODE_OPTIONS, &options) == VLM_OK &&
           VLMC_submodeset(VLM_SUBMODE_QUALITY, &quality) == VLM_OK && VLMC_spmake(&page, nullptr) == VLM_OK;
}

} // namespace

bool CImgFile::savePdf(const char* path, bool highCompression, std::int32_t subMode50, bool textRecognition,
                       std::uint32_t language, std::uint32_t codePage, ImageFileError* why) const noexcept {
    if (isNull() || !checkInfo(*this))
        return fail(why, ImageFileError::EmptyImage);
    if (path == nullptr || std::strstr(path, ".pdf") == nullptr)
        return fail(why, ImageFileError::Path);
    if (getWidth() > kMaxPdfSide || getHeight() > kMaxPdfSide)
        return fail(why, ImageFileError::TooLarge);
    const std::int32_t kind = pageKind(*this);
    if (kind < 0)
        return fail(why, ImageFileError::Unsupported);

    PdfPageImageDesc page{getImage(), getSync(), getWidth(), getHeight(), getXResolution(), getYResolution(),
                          kind,       0,         0};
    std::vector<std::uint8_t> bgr;
    try {
        if (kind == kKindColour) {
            bgr = toBgr(*this, page.lSync);
            page.pImage = bgr.data();
        }
    } catch (const std::bad_alloc&) {
        return fail(why, ImageFileError::Memory);
    }
    const std::uint32_t mask = textRecognition ? language : 0;
    const std::uint32_t flags = textRecognition ? codePage : 0;
    if (VLMC_exmodeset(highCompression ? VLM_MODE_COMPRESS : VLM_MODE_PLAIN, mask, flags) != VLM_OK ||
        VLMC_exopen(path, textRecognition ? VLM_OPEN_PDF_OCR : VLM_OPEN_PDF, 0) != VLM_OK)
        return fail(why, ImageFileError::Library);
    const bool made = makePage(page, subMode50);
    const bool closed = VLMC_exclose(0) == VLM_OK;
    return made && closed ? succeed(why) : fail(why, ImageFileError::Write);
}

} // namespace Ovk::Pixen
