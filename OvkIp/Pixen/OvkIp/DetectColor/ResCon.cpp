// Block averaging driven by spread tables, behind a fringe-cleaning line store.
#include "DetectColor/ResCon.h"

#include "Moire/SpreadTable.h"

void COvkResCon::init(int32_t srcWidth, int32_t srcHeight, int32_t srcXRes, int32_t srcYRes, int32_t xRes,
                      int32_t yRes) {
    if (srcXRes <= 0 || srcYRes <= 0 || xRes <= 0 || yRes <= 0 || xRes > srcXRes || yRes > srcYRes)
        throw -4;
    const int64_t width = int64_t{srcWidth} * xRes / srcXRes;
    const int64_t height = int64_t{srcHeight} * yRes / srcYRes;
    if (width <= 0 || height <= 0 || width > INT32_MAX / 3 || height > INT32_MAX)
        throw -2;
    MakeSpreadCountTable(m_xTable, static_cast<int32_t>(width), srcWidth);
    MakeSpreadCountTable(m_yTable, static_cast<int32_t>(height), srcHeight);
    const auto lineBytes = static_cast<size_t>(width) * 3;
    m_out.assign(lineBytes * static_cast<size_t>(height), 0);
    m_sums.assign(lineBytes, 0);
    m_counts.assign(lineBytes, 0);
    m_record = {};
    m_record.ulSize = sizeof(m_record);
    m_record.lWidth = static_cast<int32_t>(width);
    m_record.lHeight = static_cast<int32_t>(height);
    m_record.lSync = static_cast<int32_t>(lineBytes);
    m_record.tImageSize = static_cast<uint32_t>(m_out.size());
    m_record.lBps = 8;
    m_record.lSpp = 3;
    m_record.lXResolution = xRes;
    m_record.lYResolution = yRes;
}

void COvkResCon::ResolutionConvertX(const uint8_t* line) {
    size_t out = 0;
    uint32_t run = 0;
    for (size_t x = 0; x < m_xTable.size() && out < m_sums.size(); ++x) {
        for (size_t s = 0; s < 3; ++s)
            m_sums[out + s] += line[x * 3 + s];
        ++run;
        if (m_xTable[x] != 0) {
            for (size_t s = 0; s < 3; ++s)
                m_counts[out + s] += run;
            out += 3;
            run = 0;
        }
    }
}

void COvkResCon::addLine(const uint8_t* line) {
    if (m_sourceLine >= static_cast<int64_t>(m_yTable.size()) || m_outLine >= m_record.lHeight)
        return;
    ResolutionConvertX(line);
    if (m_yTable[m_sourceLine++] == 0)
        return;
    uint8_t* out = &m_out[static_cast<size_t>(m_outLine++) * m_record.lSync];
    for (size_t i = 0; i < m_sums.size(); ++i) {
        if (m_counts[i] != 0)
            out[i] = static_cast<uint8_t>(m_sums[i] / m_counts[i]);
        m_sums[i] = m_counts[i] = 0;
    }
}

void COvkResCon::checkBand(const tagOVKIMAGEINFO& band) const {
    if (!band.lpImage || band.lBps != 8 || band.lSpp != 3 || band.ulRGBOrder != kOvkPixelOrder ||
        band.lWidth != static_cast<int32_t>(m_xTable.size()) || band.lSync < band.lWidth * 3 ||
        band.lHeight < 0)
        throw -4;
}

void COvkResCon::image(const tagOVKIMAGEINFO& band) {
    checkBand(band);
    for (int32_t y = 0; y < band.lHeight; ++y)
        addLine(band.lpImage + static_cast<ptrdiff_t>(band.lSync) * y);
}

void COvkResCon::getResultImage(tagOVKIMAGEINFO* record, std::vector<uint8_t>* pixels) {
    *pixels = std::move(m_out);
    *record = m_record;
    record->lpImage = pixels->data();
}

void COvkResCon2::option_init(const ColorThresholdTable* table, int32_t halfWindow, uint8_t darkLevel,
                              uint32_t fill) {
    m_store.init(table);
    m_store.option_init(halfWindow, darkLevel, fill);
}

void COvkResCon2::image(const tagOVKIMAGEINFO& band) {
    checkBand(band);
    m_store.feed(band, [this](const uint8_t* line) { addLine(line); });
}
