// Shading data from the calibration's reference lines, and the platen colour that fills the backing
// lines appended below a page. References come from the device, so a mismatch is refused, not asserted.
#include "QS880/CShading.h"

#include "QS880/ResultImage.h"

#include <algorithm>

namespace Ovk::Pixen::QS880 {

namespace {

std::uint16_t* words(CImg& image, std::int32_t plane = 0) {
    return reinterpret_cast<std::uint16_t*>(image.getLine(0, plane));
}

std::uint8_t platenValue(std::uint16_t average) {
    return static_cast<std::uint8_t>((average >> 4) & 0xFF);
}

// The scanned platen value shaded like a sample; an average below the black level gives 0.
std::uint8_t shadedValue(std::uint16_t average, std::uint16_t black, std::uint16_t gain) {
    const std::int64_t difference = std::max<std::int64_t>(std::int64_t{platenValue(average)} - black, 0);
    return static_cast<std::uint8_t>(std::min<std::int64_t>(difference * gain / 4096, 255));
}

} // namespace

std::int32_t CShading::makeShadingData(CImg& white, CImg& black, const CImg& whiteOrg, const CImg&) {
    if (!isReadable(white) || !isReadable(black) || white.getBps() != 16 || black.getBps() != 16 ||
        white.getImageSize() != black.getImageSize())
        return RTN_PAR;
    auto* whites = reinterpret_cast<std::uint16_t*>(white.getImage());
    auto* blacks = reinterpret_cast<std::uint16_t*>(black.getImage());
    const std::uint32_t samples = white.getImageSize() / 2;
    for (std::uint32_t i = 0; i < samples; ++i)
        whites[i] = whites[i] > blacks[i] ? static_cast<std::uint16_t>(whites[i] - blacks[i]) : 0;
    const std::int32_t width = white.getWidth();
    if (white.getSpp() == 3 && white.getRGBOrder() == RGBORDER_PIXEL) {
        makeWhiteDataLineColor(words(white), width, ShadingTargetFeeder::red, ShadingTargetFeeder::green,
                               ShadingTargetFeeder::blue);
    } else if (white.getSpp() == 3) {
        const std::int32_t targets[3] = {ShadingTargetFeeder::red, ShadingTargetFeeder::green,
                                         ShadingTargetFeeder::blue};
        for (std::int32_t c = 0; c < 3; ++c)
            makeWhiteDataLine(words(white, c), width, targets[c]);
    } else {
        makeWhiteDataLine(words(white), width, ShadingTargetFeeder::gray);
    }
    for (std::uint32_t i = 0; i < samples; ++i)
        blacks[i] = static_cast<std::uint16_t>(blacks[i] >> 4);
    std::int32_t result = makeShadingAvarage(whiteOrg, m_shdavgWhiteOrg);
    if (result == RTN_OK)
        result = makeShadingAvarage(white, m_shdavgWhite);
    if (result == RTN_OK)
        result = makeShadingAvarage(black, m_shdavgBlack);
    m_bAverages = result == RTN_OK;
    return result;
}

std::int32_t CShading::makeShadingAvarage(const CImg& image, tagSHADING_AVARAGE& average) {
    if (!isReadable(image) || image.getBps() != 16 || image.getHeight() != 1)
        return RTN_PAR;
    const std::int32_t width = image.getWidth();
    auto mean = [&](std::int32_t plane) {
        const auto* samples = reinterpret_cast<const std::uint16_t*>(image.getLine(0, plane));
        std::uint64_t sum = 0;
        for (std::int32_t x = 0; x < width; ++x)
            sum += samples[x];
        return static_cast<std::uint16_t>(sum / static_cast<std::uint64_t>(width));
    };
    if (image.getSpp() == 3) {
        if (image.getRGBOrder() != RGBORDER_LINE)
            return RTN_PAR;
        average = {0, mean(0), mean(1), mean(2), 1};
        return RTN_OK;
    }
    if (image.getSpp() == 1) {
        average = {mean(0), 0, 0, 0, 0};
        return RTN_OK;
    }
    return RTN_PAR;
}

void CShading::makeWhiteDataLine(std::uint16_t* line, std::int32_t count, std::int32_t target) {
    if (line == nullptr || count <= 0)
        return;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int64_t w = line[i];
        if (target == 0)
            line[i] = 0;
        else if (w == 0 || w * 16 <= target)
            line[i] = 0xFFFF;
        else
            line[i] = static_cast<std::uint16_t>(std::int64_t{target} * 4096 / w);
    }
}

void CShading::makeWhiteDataLineColor(std::uint16_t* line, std::int32_t count, std::int32_t red,
                                      std::int32_t green, std::int32_t blue) {
    if (line == nullptr || count <= 0)
        return;
    const std::int32_t targets[3] = {red, green, blue};
    for (std::int32_t i = 0; i < count; ++i)
        for (std::int32_t c = 0; c < 3; ++c)
            makeWhiteDataLine(line + 3 * i + c, 1, targets[c]);
}

CShading::tagSHADING_AVARAGE CShading::getPlatenOrgColor() const {
    const tagSHADING_AVARAGE& org = m_shdavgWhiteOrg;
    return {platenValue(org.gray), platenValue(org.red), platenValue(org.green), platenValue(org.blue),
            org.isColor};
}

CShading::tagSHADING_AVARAGE CShading::getPlatenColor() const {
    const tagSHADING_AVARAGE& org = m_shdavgWhiteOrg;
    const tagSHADING_AVARAGE& gain = m_shdavgWhite;
    const tagSHADING_AVARAGE& black = m_shdavgBlack;
    return {shadedValue(org.gray, black.gray, gain.gray), shadedValue(org.red, black.red, gain.red),
            shadedValue(org.green, black.green, gain.green), shadedValue(org.blue, black.blue, gain.blue),
            org.isColor};
}

std::int32_t CShading::getPlatenImage(CImg& image) const {
    return fillImage(image, getPlatenOrgColor());
}

std::int32_t CShading::fixPlatenImage(CImg& image) const {
    // Shaded bands leave in pixel order, grey ones too; the backing band must match them to be joined.
    if (!image.isNull() && image.getRGBOrder() == RGBORDER_LINE) {
        CImg pixels;
        if (pixels.createImg(image.getWidth(), image.getHeight(), image.getBps(), image.getSpp(),
                             RGBORDER_PIXEL, image.getXResolution(), image.getYResolution()) == 0)
            return RTN_PAR;
        if (pixels.isNull())
            return RTN_MEMORY;
        image.attachImg(pixels);
    }
    return fillImage(image, getPlatenColor());
}

std::int32_t CShading::fillImage(CImg& image, const tagSHADING_AVARAGE& colour) {
    if (image.isNull() || (image.getSpp() == 3) != (colour.isColor != 0))
        return RTN_PAR;
    std::uint8_t* bytes = image.getImage();
    if (image.getSpp() != 3) {
        std::fill_n(bytes, image.getImageSize(), static_cast<std::uint8_t>(colour.gray));
        return RTN_OK;
    }
    const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(colour.red),
                                 static_cast<std::uint8_t>(colour.green),
                                 static_cast<std::uint8_t>(colour.blue)};
    for (std::int32_t y = 0; y < image.getHeight(); ++y) {
        if (image.getRGBOrder() == RGBORDER_LINE) {
            for (std::int32_t c = 0; c < 3; ++c)
                std::fill_n(image.getLine(y, c), image.getSync(), rgb[c]);
        } else if (image.getRGBOrder() == RGBORDER_PIXEL) {
            for (std::int32_t x = 0; x < image.getWidth(); ++x)
                std::copy_n(rgb, 3, image.getLine(y) + 3 * x);
        } else {
            return RTN_PAR;
        }
    }
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
