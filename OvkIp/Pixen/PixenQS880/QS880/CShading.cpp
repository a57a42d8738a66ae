// Band shading. The reference images are checked against each band before any line is read, so a
// reference narrower than the band is refused instead of read past its end. 16-bit bands hold 12-bit
// samples while the black levels are kept on the 8-bit scale: they are scaled up before subtracting.
#include "QS880/CShading.h"

#include "OvkCpuFeature.h"
#include "QS880/ResultImage.h"
#include "QS880/ShadingSample.h"
#include "RecordSize.h"

#include <algorithm>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::int64_t kBlackScale16 = 16; // 8-bit-scale black level to the 12-bit scale

const std::uint16_t* words(const CImg& image, std::int32_t line = 0, std::int32_t plane = 0) {
    return reinterpret_cast<const std::uint16_t*>(image.getLine(line, plane));
}

std::int64_t sampleCount(const CImg& image) {
    return image.isNull() ? 0 : image.getImageSize() / 2;
}

// Samples of one single-colour line of the reference (its first line).
std::int64_t referenceLine(const CImg& image) {
    return image.isNull() ? 0 : image.getSync() / 2;
}

} // namespace

std::int32_t CShading::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagSHADINGINFO>(info) != RTN_OK)
        return RTN_PAR;
    const auto& record = *static_cast<const tagSHADINGINFO*>(info);
    m_ulSize = record.ulSize;
    imgWhite = record.imgWhite;
    imgBlack = record.imgBlack;
    return RTN_OK;
}

std::int32_t CShading::Shading(CImg& band) {
    if (band.isNull())
        return RTN_OK;
    if (!isReadable(band))
        return RTN_PAR;
    if (imgWhite.isNull() || imgBlack.isNull()) {
        if (band.getBps() == 16) {
            mulImage(band, 16);
            return pack8OnUpperByteImage(band);
        }
        if (band.getBps() == 8)
            return RTN_PAR;
        return RTN_OK;
    }
    if (band.getBps() != 8 && band.getBps() != 16)
        return RTN_OK;
    tagIMAGEINFO record = band.getInfo();
    record.lBps = 8;
    record.ulRGBOrder = RGBORDER_PIXEL;
    record.lSync = CImg::calcMinSync(record.lWidth, 8, record.lSpp, RGBORDER_PIXEL);
    if (band.getBps() == 8 && !(band.getSpp() == 3 && band.getRGBOrder() == RGBORDER_LINE))
        record.lSync = band.getSync();
    record.tImageSize = CImg::calcSize(record.lSync, record.lHeight, record.lSpp, RGBORDER_PIXEL);
    return shadeInto(band, record);
}

std::int32_t CShading::shadeInto(CImg& band, const tagIMAGEINFO& record) {
    CImg out;
    if (const std::int32_t code = createResult(out, record); code != RTN_OK)
        return code;
    const std::int32_t result = band.getSpp() == 3 ? ShadingColor(out, band) : ShadingGray(out, band);
    if (result == RTN_OK)
        band.attachImg(out);
    return result;
}

std::int32_t CShading::ShadingColor(CImg& out, const CImg& in) {
    if (out.getRGBOrder() != RGBORDER_PIXEL)
        return RTN_PAR;
    const int shift = in.getBps() == 8 ? kShift8 : kShift16;
    if (in.getRGBOrder() == RGBORDER_LINE)
        return shadeLineOrderColour(out, in, shift);
    if (in.getRGBOrder() == RGBORDER_PIXEL)
        return shadePixelOrder(out, in, shift);
    return RTN_PAR;
}

std::int32_t CShading::shadeLineOrderColour(CImg& out, const CImg& in, int shift) {
    const std::int32_t width = in.getWidth();
    if (imgWhite.getRGBOrder() != RGBORDER_LINE || imgWhite.getSpp() != 3 || imgWhite.getBps() != 16 ||
        referenceLine(imgWhite) < width || sampleCount(imgBlack) < width)
        return RTN_PAR;
    const std::int32_t gainLine = imgWhite.getSync() / 2;
    const std::uint16_t* gains = words(imgWhite);
    const std::uint16_t* blacks = words(imgBlack);
    if (shift == kShift8) {
        const bool vector = IsSSE2FeatureAvailable() != 0;
        for (std::int32_t y = 0; y < in.getHeight(); ++y) {
            auto core =
                vector ? ShadingColorCore_OrderLine2Pixel_SIMD : ShadingColorCore_OrderLine2Pixel_NonSIMD;
            core(out.getLine(y), in.getLine(y), in.getSync(), gains, gainLine, blacks, width);
        }
        return RTN_OK;
    }
    for (std::int32_t y = 0; y < in.getHeight(); ++y) {
        std::uint8_t* target = out.getLine(y);
        for (std::int32_t c = 0; c < 3; ++c) {
            const std::uint16_t* samples = words(in, y, c);
            for (std::int32_t x = 0; x < width; ++x)
                target[3 * x + c] =
                    shadeSample(samples[x], blacks[x] * kBlackScale16, gains[c * gainLine + x], kShift16);
        }
    }
    return RTN_OK;
}

std::int32_t CShading::shadePixelOrder(CImg& out, const CImg& in, int shift) {
    const std::int32_t count = in.getWidth() * in.getSpp();
    if (imgWhite.getRGBOrder() != RGBORDER_PIXEL || imgWhite.getBps() != 16 ||
        referenceLine(imgWhite) < count || sampleCount(imgBlack) < count)
        return RTN_PAR;
    const std::uint16_t* gains = words(imgWhite);
    const std::uint16_t* blacks = words(imgBlack);
    const std::int64_t blackScale = shift == kShift8 ? 1 : kBlackScale16;
    for (std::int32_t y = 0; y < in.getHeight(); ++y) {
        std::uint8_t* target = out.getLine(y);
        for (std::int32_t x = 0; x < count; ++x) {
            const std::int64_t sample = shift == kShift8 ? in.getLine(y)[x] : words(in, y)[x];
            target[x] = shadeSample(sample, blacks[x] * blackScale, gains[x], shift);
        }
    }
    return RTN_OK;
}

std::int32_t CShading::ShadingGray(CImg& out, const CImg& in) {
    if (imgWhite.getBps() != 16 || imgBlack.getBps() != 16)
        return RTN_PAR;
    const auto count = static_cast<std::int32_t>(
        std::min<std::int64_t>({in.getWidth(), sampleCount(imgBlack), sampleCount(imgWhite)}));
    const std::uint16_t* gains = words(imgWhite);
    const std::uint16_t* blacks = words(imgBlack);
    for (std::int32_t y = 0; y < in.getHeight(); ++y) {
        if (in.getBps() == 8) {
            auto core = IsSSE2FeatureAvailable() != 0 ? ShadingGrayCore_SIMD : ShadingGrayCore_NonSIMD;
            core(out.getLine(y), in.getLine(y), gains, blacks, count);
            continue;
        }
        const std::uint16_t* samples = words(in, y);
        for (std::int32_t x = 0; x < count; ++x)
            out.getLine(y)[x] = shadeSample(samples[x], blacks[x] * kBlackScale16, gains[x], kShift16);
    }
    return RTN_OK;
}

void CShading::mulImage(CImg& image, std::uint32_t factor) {
    if (image.isNull() || image.getBps() != 16)
        return;
    auto* samples = reinterpret_cast<std::uint16_t*>(image.getImage());
    for (std::uint32_t i = 0; i < image.getImageSize() / 2; ++i)
        samples[i] =
            static_cast<std::uint16_t>(std::min<std::uint64_t>(std::uint64_t{samples[i]} * factor, 0xFFFF));
}

std::int32_t CShading::pack8OnUpperByteImage(CImg& image) {
    if (image.isNull() || image.getBps() != 16)
        return RTN_PAR;
    tagIMAGEINFO record = image.getInfo();
    record.lBps = 8;
    record.lSync = CImg::calcMinSync(record.lWidth, 8, record.lSpp, record.ulRGBOrder);
    record.tImageSize = CImg::calcSize(record.lSync, record.lHeight, record.lSpp, record.ulRGBOrder);
    CImg out;
    if (const std::int32_t code = createResult(out, record); code != RTN_OK)
        return code;
    const std::int32_t planes = record.ulRGBOrder == RGBORDER_LINE ? record.lSpp : 1;
    for (std::int32_t y = 0; y < record.lHeight; ++y)
        for (std::int32_t p = 0; p < planes; ++p) {
            const std::uint16_t* samples = words(image, y, p);
            std::uint8_t* target = out.getLine(y, p);
            for (std::int32_t x = 0; x < record.lSync; ++x)
                target[x] = static_cast<std::uint8_t>(samples[x] >> 8);
        }
    image.attachImg(out);
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
