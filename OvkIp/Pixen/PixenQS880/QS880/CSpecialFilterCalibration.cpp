// Calibration side of the pipeline: raw calibration scans become one averaged 16-bit line per side,
// the step machine turns them into register values, and the final references into shading data.
#include "QS880/CSpecialFilter.h"

#include "QS880/CShading.h"
#include "QS880/ResultImage.h"
#include "QS880Logger.h"
#include "RecordSize.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Ovk::Pixen::QS880 {

void CSpecialFilter::AdjustLightFirst(tagADJUSTINFO* info) {
    if (info != nullptr)
        QS880Logger::writeADJUSTINFO(*info);
    m_AdjustLight.AdjustLightFirst(info);
}

std::int32_t CSpecialFilter::AdjustLightNext(CImg& scan, tagADJUSTINFO* info) {
    CImg front;
    CImg back;
    if (const std::int32_t result = AdjustLightLast(front, back, scan, info); result != RTN_OK)
        return result;
    return m_AdjustLight.AdjustLightNext(front, back, info);
}

std::int32_t CSpecialFilter::AdjustLightLast(CImg& front, CImg& back, CImg& scan, tagADJUSTINFO* info) {
    if (!hasRecordSize<tagADJUSTINFO>(info) || !isReadable(scan))
        return RTN_PAR;
    QS880Logger::writeADJUSTINFO(*info);
    tagIMAGEINFO& in = m_FilterInfo.InImageInfo;
    in = scan.getInfo();
    in.lpImage = nullptr;
    std::int32_t result = RTN_OK;
    if (info->bDuplex) {
        in.lWidth /= 2;
        in.lSync /= 2;
        result = execCollectArrayForDuplex(scan, IMAGESTATE_WHOLE);
        back.attachImg(m_BackImage);
        for (CImg* image : {&scan, &back})
            if (result == RTN_OK)
                result = execExtendBitData12To16(*image, IMAGESTATE_WHOLE);
        for (CImg* image : {&scan, &back})
            if (result == RTN_OK)
                result = execMackOneLineImage(*image);
    } else {
        result = execExtendBitData12To16(scan, IMAGESTATE_WHOLE);
        if (result == RTN_OK)
            result = execMackOneLineImage(scan);
    }
    if (result == RTN_OK)
        front.attachImg(scan);
    return result;
}

std::int32_t CSpecialFilter::execMackOneLineImage(CImg& img) {
    if (!isReadable(img))
        return RTN_PAR;
    if (img.getBps() == 16) {
        const bool planes = img.getRGBOrder() == RGBORDER_LINE && img.getSpp() == 3;
        const std::size_t samples = static_cast<std::size_t>(img.getSync() / 2) * (planes ? 3 : 1);
        auto* words = reinterpret_cast<std::uint16_t*>(img.getImage());
        std::vector<std::uint64_t> sums(samples, 0);
        for (std::int32_t y = 0; y < img.getHeight(); ++y)
            for (std::size_t k = 0; k < samples; ++k)
                sums[k] += words[y * samples + k];
        for (std::size_t k = 0; k < samples; ++k)
            words[k] = static_cast<std::uint16_t>(sums[k] / static_cast<std::uint64_t>(img.getHeight()));
    }
    const std::int32_t width = std::min(img.getWidth(), usableWidth());
    CImg line;
    if (line.createImg(img.getXpos(), img.getYpos(), width, 1, img.getSync(), img.getBps(), img.getSpp(),
                       img.getRGBOrder(), img.getXResolution(), img.getYResolution()) == 0)
        return RTN_PAR;
    if (line.isNull())
        return RTN_MEMORY;
    std::memcpy(line.getImage(), img.getImage(), line.getImageSize());
    img.attachImg(line);
    return RTN_OK;
}

std::int32_t CSpecialFilter::makeShadingData(CImg& white, CImg& black, tagADJUSTINFO* info, tagSIDE side,
                                             const std::uint8_t* data, std::uint32_t size) {
    if (side != SIDE_FRONT && side != SIDE_BACK)
        return RTN_PAR;
    const CImg whiteAsScanned = white;
    const CImg blackAsScanned = black;
    if (const std::int32_t result = m_AdjustLight.AdjustLightCurve(white, black, info, side, data, size);
        result != RTN_OK)
        return result;
    CShading& shading = m_Shading[side == SIDE_FRONT ? 0 : 1].createIP<CShading>(BANDMODE_BAND);
    return shading.makeShadingData(white, black, whiteAsScanned, blackAsScanned);
}

} // namespace Ovk::Pixen::QS880
