// Mode 8 front end: turns the record's levels into the method's parameters, describes the source as
// 8-bit grey and the destination as 1-bit over the caller's buffers, and runs the method on them.
#include "CBFuncAdaptRegion.h"

#include "AdaptRegion.h"
#include "OvkError.h"

#include <algorithm>

namespace {
constexpr int32_t kMidLevel = 128;
constexpr uint32_t kActivityLevel = 100;
constexpr long kNoWorkingImage = 14;

// Level at x (0..255): the upper segment above the mid level, the lower one otherwise.
int32_t Segmented(int32_t x, int32_t atMid, int32_t atTop) {
    return x > kMidLevel ? CBFuncAdaptRegion::GetLinearY(x, kMidLevel, atMid, 255, atTop)
                         : CBFuncAdaptRegion::GetLinearY(x, 1, 1, kMidLevel, atMid);
}
} // namespace

int32_t CBFuncAdaptRegion::GetLinearY(int32_t x, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 == x2 || y1 == y2) {
        return y1;
    }
    const int32_t d = y2 - y1;
    const int32_t w = x2 - x1;
    return (d * x) / w + y1 - (d * x1) / w;
}

CBFuncAdaptRegion::Levels CBFuncAdaptRegion::ComputeLevels(int32_t sliceLevel, int32_t contrast) {
    const int32_t x = 255 - std::clamp(contrast, 0, 255);
    const int32_t y = 255 - std::clamp(sliceLevel, 0, 255);
    return Levels{
        static_cast<uint32_t>(Segmented(x, 120, 350)), static_cast<uint32_t>(Segmented(x, 55, 300)),
        static_cast<uint32_t>(Segmented(x, 60, 300)),  kActivityLevel,
        static_cast<uint32_t>(Segmented(y, 80, 255)),  static_cast<uint32_t>(Segmented(y, 60, 255))};
}

void CBFuncAdaptRegion::Rect() {
    try {
        const Levels levels = ComputeLevels(m_sliceLevel, m_sliceLevel2);
        const auto srcSize = static_cast<uint32_t>(static_cast<int64_t>(m_srcSync) * m_lines);
        const auto dstSize = static_cast<uint32_t>(static_cast<int64_t>(m_dstSync) * m_lines);
        CImageInfoPtr src;
        CImageInfoPtr dst;
        src.Attach(std::make_unique<CImageInfo>(m_width, m_srcSync, m_lines, 8, 1, m_order, m_src, srcSize));
        dst.Attach(std::make_unique<CImageInfo>(m_width, m_dstSync, m_lines, 1, 1, m_order, m_dst, dstSize));
        src->SetResolution(m_xres, m_yres);
        dst->SetResolution(m_xres, m_yres);
        if (AdaptRegionBin::AdaptRegionBin(dst, src, levels.S, levels.K, levels.T, levels.G, levels.F,
                                           levels.U) == 0) {
            OnErrorThrowLong(kNoWorkingImage);
        }
    } catch (...) {
        IpSetLastError(IpCaughtCode());
    }
}
