// Band operations of the collection filters: each builds its result line by line from the raw band and
// moves it into the band, so a refused or failed result leaves the caller's band as it came.
#include "QS880/CCollectArray.h"

#include "QS880/ResultImage.h"

#include <algorithm>

namespace Ovk::Pixen::QS880 {

namespace {

// Single-colour lines of an image: line order stores lSpp of them per image line.
std::int32_t lineCount(const CImg& image) {
    return image.getHeight() * (image.getRGBOrder() == RGBORDER_LINE ? image.getSpp() : 1);
}

std::uint8_t* rawLine(const CImg& image, std::int32_t k) {
    return image.getImage() + static_cast<std::size_t>(k) * static_cast<std::size_t>(image.getSync());
}

std::uint16_t* wordLine(const CImg& image, std::int32_t k) {
    return reinterpret_cast<std::uint16_t*>(rawLine(image, k));
}

// The record's width only narrows the band: a wider one would describe pixels the buffer lacks.
void applyWidth(CImg& image, std::int32_t width) {
    if (!image.isNull() && width > 0)
        static_cast<tagIMAGEINFO*>(image)->lWidth = std::min(image.getWidth(), width);
}

} // namespace

std::int32_t CCollectArrayForSimplex::CollectArray(CImg& band) {
    if (band.isNull())
        return RTN_OK;
    if (!isReadable(band))
        return RTN_PAR;
    CImg result;
    if (band.getBps() == 8) {
        if (band.getSync() % 2 != 0)
            return RTN_PAR;
        if (const std::int32_t code = createResult(result, band.getInfo()); code != RTN_OK)
            return code;
        const std::int32_t width = band.getWidth();
        for (std::int32_t k = 0; k < lineCount(band); ++k)
            std::reverse_copy(rawLine(band, k), rawLine(band, k) + width, rawLine(result, k));
        band.attachImg(result);
    } else if (band.getBps() == 12) {
        if (band.getWidth() % 3 != 0)
            return RTN_PAR;
        tagIMAGEINFO record = band.getInfo();
        record.lBps = 16;
        record.lSync = record.lWidth * 2;
        record.tImageSize = CImg::calcSize(record.lSync, record.lHeight, record.lSpp, record.ulRGBOrder);
        if (const std::int32_t code = createResult(result, record); code != RTN_OK)
            return code;
        for (std::int32_t k = 0; k < lineCount(band); ++k)
            Extend12To16BitAndArrayCollect(wordLine(result, k), rawLine(band, k), band.getWidth(),
                                           m_Info.DummyPixels);
        band.attachImg(result);
    }
    applyWidth(band, m_Info.lWidth);
    return RTN_OK;
}

std::int32_t CCollectArrayForDuplex::CollectArray(CImg& band) {
    m_BackImage.deleteImg();
    if (band.isNull())
        return RTN_OK;
    if (!isReadable(band))
        return RTN_PAR;
    const std::int32_t bps = band.getBps();
    if (bps == 8 || bps == 12) {
        if (band.getSync() % 2 != 0)
            return RTN_PAR;
        tagIMAGEINFO record = band.getInfo();
        record.lWidth /= 2;
        record.lSync = bps == 8 ? band.getSync() / 2 : record.lWidth * 2;
        record.lBps = bps == 8 ? 8 : 16;
        record.tImageSize = CImg::calcSize(record.lSync, record.lHeight, record.lSpp, record.ulRGBOrder);
        CImg front;
        CImg back;
        if (const std::int32_t code = createResult(front, record); code != RTN_OK)
            return code;
        if (const std::int32_t code = createResult(back, record); code != RTN_OK)
            return code;
        for (std::int32_t k = 0; k < lineCount(band); ++k) {
            if (bps == 8)
                Separate(rawLine(front, k), rawLine(back, k), rawLine(band, k), band.getWidth());
            else
                Extend12To16BitAndSeparate(wordLine(front, k), wordLine(back, k), rawLine(band, k),
                                           band.getWidth(), m_Info.DummyPixels);
        }
        band.attachImg(front);
        m_BackImage.attachImg(back);
    }
    applyWidth(band, m_Info.lWidth);
    applyWidth(m_BackImage, m_Info.lWidth);
    return RTN_OK;
}

std::int32_t CExtendBitData12To16::Extend12To16(CImg& band) {
    if (band.isNull() || band.getBps() != 12)
        return RTN_OK;
    if (!isReadable(band))
        return RTN_PAR;
    const bool pixelTriples = band.getSpp() == 3 && band.getRGBOrder() == RGBORDER_PIXEL;
    tagIMAGEINFO record = band.getInfo();
    record.lBps = 16;
    record.lSync = record.lWidth * (pixelTriples ? 6 : 2);
    record.tImageSize = CImg::calcSize(record.lSync, record.lHeight, record.lSpp, record.ulRGBOrder);
    CImg result;
    if (const std::int32_t code = createResult(result, record); code != RTN_OK)
        return code;
    const std::int32_t count = band.getWidth() * (pixelTriples ? 3 : 1);
    for (std::int32_t k = 0; k < lineCount(band); ++k)
        Extend12To16BitAndArrayCollect(wordLine(result, k), rawLine(band, k), count, m_Info.DummyPixels);
    band.attachImg(result);
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
