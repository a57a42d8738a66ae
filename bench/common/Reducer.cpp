// The filter window lags its input, so each band may release fewer lines than it brings, and the end
// flushes the rest against a spare input of the held height.
#include "Reducer.h"

#include "Bands.h"

#include <stdexcept>

namespace {
constexpr int32_t kSpareLines = 8; // the window may release a line beyond the page's exact share
}

Reducer::Reducer(int32_t width, int32_t height, int32_t channels, int32_t dpi, int32_t outDpi)
    : m_channels(channels) {
    m_info.ulSize = sizeof m_info;
    m_info.lSrcXResolution = m_info.lSrcYResolution = dpi;
    m_info.lDstXResolution = m_info.lDstYResolution = outDpi;
    m_info.lSrcWidth = width;
    m_info.lSrcHeight = height;
    m_info.lDstWidth = width * outDpi / dpi;
    m_info.lDstHeight = height * outDpi / dpi;
    m_capacity = m_info.lDstHeight + kSpareLines;
    m_out.resize(static_cast<size_t>(m_info.lDstWidth) * channels * m_capacity);
    call(kMoireCreate, nullptr, nullptr);
}

Reducer::~Reducer() {
    m_info.lCommand = kMoireRelease;
    ReduceMoire(nullptr, nullptr, &m_info);
}

tagOVKIMAGEINFO Reducer::room() {
    const int32_t stride = m_info.lDstWidth * m_channels;
    return BandRecord(m_out.data() + static_cast<size_t>(stride) * m_written, m_info.lDstWidth,
                      m_capacity - m_written, stride, 8, m_channels, m_info.lDstXResolution);
}

void Reducer::call(int32_t command, tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src) {
    m_info.lCommand = command;
    if (ReduceMoire(dst, src, &m_info) != 0)
        throw std::runtime_error("resolution reduction refused the page");
}

void Reducer::band(tagOVKIMAGEINFO* in) {
    tagOVKIMAGEINFO dst = room();
    call(m_first ? kMoireFirstBand : kMoireNextBand, &dst, in);
    m_first = false;
    m_written += dst.lHeight;
}

void Reducer::end() {
    const int32_t stride = m_info.lSrcWidth * m_channels;
    const int32_t held = std::max(m_info.lHeldLines, 1);
    std::vector<uint8_t> spare(static_cast<size_t>(stride) * held);
    tagOVKIMAGEINFO src =
        BandRecord(spare.data(), m_info.lSrcWidth, held, stride, 8, m_channels, m_info.lSrcXResolution);
    tagOVKIMAGEINFO dst = room();
    call(kMoireEnd, &dst, &src);
    m_written = std::min(m_written + dst.lHeight, m_info.lDstHeight);
}
