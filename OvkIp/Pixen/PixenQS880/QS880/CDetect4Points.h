// Corner, slant and rectangle detection of the document on one side, or on both sides in one pass,
// through the analysis layer's detector. The detector lives behind a handle from the page's set-up
// (command 0) to the end of its last band (command 4).
#pragma once

#include "CIPBase.h"
#include "QS880/PrepRecords.h"

#include <cstdint>

struct tagDETECTSLANTSIZEEXBASIC;

namespace Ovk::Pixen::QS880 {

// Commands of the detector.
enum : std::uint32_t {
    DETECT_INIT = 0,
    DETECT_FIRST = 1,
    DETECT_MIDDLE = 2,
    DETECT_LAST = 3,
    DETECT_RELEASE = 4,
    DETECT_RESULT = 6,
};

// What the single and the two-sided detector share: the handle, the command sequences per band kind
// and the copying of results into the caller's records.
class CDetect4PointsBase : public CIPBase {
public:
    ~CDetect4PointsBase() override;
    std::int32_t IP(CImg& image) override;
    std::int32_t IPFirst(CImg& band) override { return detect(band, DETECT_FIRST); }
    std::int32_t IPMiddle(CImg& band) override { return detect(band, DETECT_MIDDLE); }
    std::int32_t IPLast(CImg& band) override;
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }

protected:
    // Fills the words particular to the detector kind and calls it; copies results on DETECT_RESULT.
    virtual std::int32_t detect(CImg& image, std::uint32_t command) = 0;
    // Common words of the detection block; the kept handle goes in and comes back out.
    std::uint32_t callDetector(CImg& image, tagDETECTSLANTSIZEEXBASIC& block, std::uint32_t command,
                               const tagRECT32& area, const tagDETECT4POINTSINFO& info);
    static void copyResult(tagDETECT4POINTSINFO& info, const void* side);
    static bool validInfo(const tagDETECT4POINTSINFO* info);
    // Releases a held detector, then initialises one for a page of the given geometry.
    std::int32_t startPage(const CImg& band, std::int32_t width, std::int32_t length);

    void* m_hDetect = nullptr;

private:
    // first, then fetch the result, then release; stops at the first failure.
    std::int32_t runSequence(CImg& image, std::uint32_t first);
};

class CDetect4Points : public CDetect4PointsBase {
public:
    const char* getName() const override { return "Detect4Points"; }
    std::int32_t setInfo(CImg& band, void* info) override;
    std::int32_t setInfoMiddle(CImg&, void*) override { return 0; }
    // Takes the current band's result record, whose size and margins the result is measured against.
    std::int32_t setInfoLast(CImg& band, void* info) override;

protected:
    std::int32_t detect(CImg& image, std::uint32_t command) override;

private:
    static bool validParam(const void* info);

    tagDETECT4POINTSPARAM m_Param{};
};

class CDetect4PointsDuplex : public CDetect4PointsBase {
public:
    const char* getName() const override { return "Detect4PointsDuplex"; }
    std::int32_t setInfo(CImg& band, void* info) override;
    // Both take the current band's result records and back band; the layout words are read per call.
    std::int32_t setInfoMiddle(CImg& band, void* info) override;
    std::int32_t setInfoLast(CImg& band, void* info) override { return setInfoMiddle(band, info); }

protected:
    std::int32_t detect(CImg& image, std::uint32_t command) override;

private:
    static bool validParam(const void* info);

    tagDETECT4POINTSDUPLEXPARAM m_Param{};
};

} // namespace Ovk::Pixen::QS880
