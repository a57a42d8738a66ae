// Decides whether a page is colour or grey through the analysis layer's colour detector, with a threshold
// table built from the user's sensitivity level.
#pragma once

#include "DetectColor/DetectColor.h"
#include "FilterBases.h"

#include <cstdint>

// Builds the 256-entry table by which the colour decision lowers each grey level; a higher sensitivity
// level (1..7) lowers more.
class CColorOrGrayThreshold {
public:
    explicit CColorOrGrayThreshold(std::int32_t level = 0) noexcept : m_nLevel(level) {}
    virtual ~CColorOrGrayThreshold() = default;

    // 1 when the table was filled; 0 (nothing written) for a count other than 256 or a level outside 1..7.
    virtual std::int32_t BuildThreshold(std::uint8_t* table, std::uint32_t count);
    // Offset of level (the object's level when level is 0): 0, or 87 below 1 and 259 above 7.
    std::int32_t GetOffset(double* out, std::int32_t level) const noexcept;

private:
    std::int32_t m_nLevel;
};

namespace Ovk::Pixen {

class CDetectColorOrGray : public CInfoEachBandFilter {
public:
    CDetectColorOrGray() noexcept;
    ~CDetectColorOrGray() override;

    const char* getName() const override { return "DetectColorOrGray"; }
    // Takes a tagDETECT_COLOR_INFO, completes its threshold table and creates the detector.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;
    std::int32_t IPFirst(CImg& band) override;
    std::int32_t IPMiddle(CImg& band) override;
    std::int32_t IPLast(CImg& band) override;

    // The decision of the last page (or last band): colour flag and the detector's count.
    std::int32_t getDetectColorOrGrayResult(bool* colour, std::int32_t* count) const noexcept;
    void deleteHandle() noexcept;

private:
    std::int32_t run(CImg& image, std::int32_t command);
    std::int32_t DetectColorOrGray(CImg& image);

    tagDETECT_COLOR_INFO m_Configured{};
    tagDETECT_COLOR_INFO m_Working{};
};

} // namespace Ovk::Pixen
