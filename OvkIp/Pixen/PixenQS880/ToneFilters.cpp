// Per-pixel colour filters. Each tests the band's format, then walks its lines with integer arithmetic;
// colour in line order is read as three plane rows per image line.
#include "ToneFilters.h"

#include "OvkVectorClones.h"
#include "RecordSize.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Ovk::Pixen {

namespace {

bool isColor8(const CImg& image) noexcept {
    return image.getBps() == 8 && image.getSpp() == 3;
}

// Grey as the weighted sum of the colours, weights in thousandths; the lines are separate loops so that
// the compiler can vectorise them.
std::uint8_t greyOf(std::uint32_t r, std::uint32_t g, std::uint32_t b) noexcept {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (299u * r + 587u * g + 114u * b) / 1000));
}

OVK_VECTOR_CLONES void greyFromPixels(const std::uint8_t* rgb, std::uint8_t* out,
                                      std::int32_t width) noexcept {
    for (std::int32_t x = 0; x < width; ++x, rgb += 3)
        out[x] = greyOf(rgb[0], rgb[1], rgb[2]);
}

OVK_VECTOR_CLONES void greyFromPlanes(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b,
                                      std::uint8_t* out, std::int32_t width) noexcept {
    for (std::int32_t x = 0; x < width; ++x)
        out[x] = greyOf(r[x], g[x], b[x]);
}

// Calls f(r, g, b) with references to the samples of every pixel of an 8-bit colour image, in either order.
template <class F> bool forEachColorPixel(CImg& image, F f) {
    const std::int32_t width = image.getWidth();
    for (std::int32_t y = 0; y < image.getHeight(); ++y) {
        if (image.getRGBOrder() == RGBORDER_PIXEL) {
            std::uint8_t* p = image.getLine(y);
            for (std::int32_t x = 0; x < width; ++x, p += 3)
                f(p[0], p[1], p[2]);
        } else if (image.getRGBOrder() == RGBORDER_LINE) {
            std::uint8_t* r = image.getLine(y, 0);
            std::uint8_t* g = image.getLine(y, 1);
            std::uint8_t* b = image.getLine(y, 2);
            for (std::int32_t x = 0; x < width; ++x)
                f(r[x], g[x], b[x]);
        } else {
            return false;
        }
    }
    return true;
}

// Shared checks of drop-out and emphasis; RTN_OK with go set when the pixels are to be changed.
std::int32_t checkSelect(const CImg& image, std::int32_t selector, bool& go) noexcept {
    go = false;
    if (!isColor8(image))
        return RTN_PAR;
    if (image.getRGBOrder() != RGBORDER_PIXEL)
        return RTN_NOT_APPLICABLE;
    if (selector == COLORSELECT_NONE)
        return RTN_OK;
    if (selector == COLORSELECT_LIST)
        return RTN_NOT_APPLICABLE;
    if (selector < COLORSELECT_RED || selector > COLORSELECT_BLUE)
        return RTN_PAR;
    go = true;
    return RTN_OK;
}

// Drop-out and emphasis: when the selector names one channel of a band they apply to, calls
// f(r, g, b, channel) on every pixel, channel 0..2 being the selected one.
template <class F> std::int32_t forEachPixelOfSelection(CImg& image, std::int32_t selector, F f) {
    if (image.isNull())
        return RTN_OK; // a band that an earlier step has taken or emptied
    bool go = false;
    const std::int32_t result = checkSelect(image, selector, go);
    if (!go)
        return result;
    const auto channel = static_cast<std::size_t>(selector - COLORSELECT_RED);
    forEachColorPixel(
        image, [&f, channel](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) { f(r, g, b, channel); });
    return RTN_OK;
}

} // namespace

std::int32_t CEraseBackPage::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagERASEBACKPAGEINFO>(info) != RTN_OK)
        return RTN_PAR;
    const auto* record = static_cast<const tagERASEBACKPAGEINFO*>(info);
    if (record->ulCoefficient < 1 || record->ulCoefficient > 7)
        return RTN_PAR;
    m_Info = *record;
    return RTN_OK;
}

std::int32_t CEraseBackPage::IP(CImg& image) {
    if (image.isNull())
        return RTN_OK; // a band that an earlier step has taken or emptied
    // Weight of the sample product, per coefficient 1..7 (unit 1/4096).
    static constexpr std::array<std::uint32_t, 8> Coefficients{0, 64, 128, 256, 512, 1024, 2048, 4096};
    if (!isColor8(image))
        return RTN_PAR;
    const std::uint32_t k = Coefficients[m_Info.ulCoefficient & 7];
    const std::uint32_t threshold = m_Info.ulThreshold;
    const bool known =
        forEachColorPixel(image, [k, threshold](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
            const std::uint32_t q = std::uint32_t{r} * g * b / 4096;
            const std::uint32_t a = (k * q) >> 12;
            if (a < threshold)
                return;
            r = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, r + a));
            g = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, g + a));
            b = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, b + a));
        });
    return known ? RTN_OK : RTN_PAR;
}

std::int32_t CDropOutColor::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagDROPOUTCOLORINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagDROPOUTCOLORINFO*>(info);
    return RTN_OK;
}

std::int32_t CDropOutColor::IP(CImg& image) {
    return forEachPixelOfSelection(image, m_Info.Color,
                                   [](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b, std::size_t keep) {
                                       const std::uint8_t samples[3] = {r, g, b};
                                       r = g = b = samples[keep];
                                   });
}

std::int32_t CEmphasisColor::setInfo(CImg& image, void* info) {
    if (checkRecordSize<tagEMPHASISCOLORINFO>(info) != RTN_OK || (!image.isNull() && !isColor8(image)))
        return RTN_PAR;
    m_Info = *static_cast<const tagEMPHASISCOLORINFO*>(info);
    return RTN_OK;
}

std::int32_t CEmphasisColor::IP(CImg& image) {
    return forEachPixelOfSelection(
        image, m_Info.Color, [](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b, std::size_t drop) {
            const std::uint32_t samples[3] = {r, g, b};
            const std::uint32_t sum = samples[0] + samples[1] + samples[2] - samples[drop];
            r = g = b = static_cast<std::uint8_t>(sum / 2);
        });
}

std::int32_t CColorToGray::setInfo(CImg& image, void*) {
    return image.isNull() || isColor8(image) ? RTN_OK : RTN_PAR;
}

std::int32_t CColorToGray::IP(CImg& image) {
    CImg gray;
    const std::int32_t result = convert(image, gray);
    if (result == RTN_OK && !gray.isNull())
        image.attachImg(gray);
    return result;
}

std::int32_t CColorToGray::convert(const CImg& image, CImg& gray) {
    gray.deleteImg();
    if (image.isNull())
        return RTN_OK; // a band that an earlier step has taken or emptied
    if (!isColor8(image) || (image.getRGBOrder() != RGBORDER_PIXEL && image.getRGBOrder() != RGBORDER_LINE))
        return RTN_PAR;
    const std::int32_t width = image.getWidth();
    const tagIMAGEINFO record =
        CImg::makeInfo(image.getXpos(), image.getYpos(), width, image.getHeight(), width, 8, 1,
                       RGBORDER_PIXEL, image.getXResolution(), image.getYResolution());
    if (gray.createImgUnfilled(&record) == 0) // every line is written below, and a line is the width
        return RTN_PAR;
    if (gray.isNull())
        return RTN_MEMORY;
    for (std::int32_t y = 0; y < image.getHeight(); ++y) {
        if (image.getRGBOrder() == RGBORDER_PIXEL)
            greyFromPixels(image.getLine(y), gray.getLine(y), width);
        else
            greyFromPlanes(image.getLine(y, 0), image.getLine(y, 1), image.getLine(y, 2), gray.getLine(y),
                           width);
    }
    return RTN_OK;
}

std::int32_t CInverse::IP(CImg& image) {
    if (image.isNull())
        return RTN_OK; // a band that an earlier step has taken or emptied
    if (image.getSpp() != 1)
        return RTN_PAR;
    const std::int32_t bytes = (image.getWidth() * image.getBps() + 7) / 8;
    for (std::int32_t y = 0; y < image.getHeight(); ++y) {
        std::uint8_t* line = image.getLine(y);
        for (std::int32_t x = 0; x < bytes; ++x)
            line[x] = static_cast<std::uint8_t>(~line[x]);
    }
    return RTN_OK;
}

} // namespace Ovk::Pixen
