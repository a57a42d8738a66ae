// Integer resampler of the page pipeline: box averaging where it reduces, repetition where it enlarges, a
// fixed-weight loop for the common 2:3 horizontal ratio. Counters and sums carry from band to band, so a
// page in bands gives the same lines as the page in one piece.
#pragma once

#include "FilterBases.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Ovk::Pixen {

struct tagRESOLUTIONCONVERTINFO {
    std::uint32_t ulSize; // 36
    std::int32_t lDstWidth;
    std::int32_t lDstHeight; // lines of the whole output page
    std::int32_t lDstXResolution;
    std::int32_t lDstYResolution;
    std::int32_t lSrcWidth;
    std::int32_t lSrcHeight; // lines of the whole input page
    std::int32_t lSrcXResolution;
    std::int32_t lSrcYResolution;
};
static_assert(sizeof(tagRESOLUTIONCONVERTINFO) == 36);

// One line from n_src to n_dst pixels. table: per source pixel, how many destination pixels it completes.
class CStretchDataCore {
public:
    virtual ~CStretchDataCore() = default;
    virtual void StretchDataProc(std::uint8_t* dst, std::int32_t dstCount, const std::uint8_t* src,
                                 std::int32_t srcCount, const std::uint32_t* table) const = 0;
};

class CResolutionConvertNormal : public CBandFilter {
public:
    static constexpr std::int32_t LINER_UNIT = 256; // fixed-point unit of the interpolation

    CResolutionConvertNormal();
    ~CResolutionConvertNormal() override;

    const char* getName() const override { return "ResolutionConvert"; }
    // RTN_PAR for a missing record, an unsupported format, counts not above 0 or no memory.
    std::int32_t setInfo(CImg& image, void* info) override;
    // Converts the band in place; a band that completes no output line becomes empty.
    std::int32_t IP(CImg& band) override;

    // The spread table of n_dst over n_src samples.
    static std::vector<std::uint32_t> makeSpreadCountTable(std::int32_t nDst, std::int32_t nSrc);

private:
    enum PixelMode : std::int32_t { ModeBinary = 0, ModeGray = 1, ModeColor = 2 };

    bool setMode(std::int32_t bps, std::int32_t spp);
    bool setXRatio(std::int32_t nDst, std::int32_t nSrc);
    bool setYRatio(std::int32_t nDst, std::int32_t nSrc);
    void StartConvert() noexcept;
    std::int32_t ResolutionConvertNormal(CImg& band);
    std::int32_t linesFor(std::int32_t bandLines) const noexcept;
    std::int32_t WriteLine(const std::uint8_t* src);
    std::int32_t WriteExpandLine(const std::uint8_t* src, std::uint32_t times);
    void AddReductLineData(const std::uint8_t* src);
    void OutputReductData();

    tagRESOLUTIONCONVERTINFO m_Info{};
    std::int32_t m_nDstX = 0, m_nSrcX = 1, m_nDstY = 0, m_nSrcY = 1;
    PixelMode m_Mode = ModeGray;
    std::uint8_t* m_pWrite = nullptr; // start of the next output line, null when none
    std::int32_t m_nOutSync = 0;
    std::int32_t m_nInLine = 0;  // input lines of the page seen so far
    std::int32_t m_nPending = 0; // input lines in the accumulators, not yet emitted
    std::vector<std::uint32_t> m_XTable, m_YTable, m_Sums, m_Counts;
    std::unique_ptr<CStretchDataCore> m_pStretch;
};

} // namespace Ovk::Pixen
