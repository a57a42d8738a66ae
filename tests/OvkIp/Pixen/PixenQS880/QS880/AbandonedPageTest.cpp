// Pages stopped between bands, as an abort or a paper jam leaves them: every step that owns buffers is
// switched on and part of the page is fed. Abandoning the page frees what those steps hold; a page never
// abandoned is freed with the library (the sanitizer build's leak check sees that); either way the next
// page comes out as if alone.
#include "QS880/PixenQS880.h"
#include "RawBands.h"
#include "Requests.h"

#include "SyntheticPage.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The allocator's own count; glibc's figures do not see the sanitizer's heap.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace qs880test;

namespace {

// Bytes the process has allocated and not yet freed.
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

constexpr std::int32_t kWidth = 2552; // one side at 300 dpi
constexpr std::int32_t kHeight = 240;
constexpr std::int32_t kOffset300 = 73; // the back sensor's lag at 300 dpi

Page sheetOn(std::int32_t spp) {
    const SyntheticPage::Sheet sheet{1276, 120, 1100, 160, 0.015};
    const std::vector<std::uint8_t> grey =
        SyntheticPage::grey(sheet, kWidth, kHeight, 40, 220, SyntheticPage::Noise{7, 4});
    Page page{kWidth, kHeight, spp, std::vector<std::uint8_t>(grey.size() * static_cast<std::size_t>(spp))};
    for (std::size_t i = 0; i < page.pixels.size(); ++i)
        page.pixels[i] = static_cast<std::uint8_t>(grey[i / static_cast<std::size_t>(spp)] - (i % 3) * 5);
    return page;
}

// Every option whose step keeps state between bands, on both sides; halved resolution so that the moire
// reduction runs, binarisation for a grey page.
struct BusyRequest : IdentityRequests {
    explicit BusyRequest(std::int32_t spp) : IdentityRequests(kWidth, kHeight, spp) {
        for (tagDETECT4POINTSINFO& side : corners)
            side.ulSize = sizeof side;
        for (tagNORMALFILTERINFO* options :
             {&simplex.NormalFilterInfo, &duplex.FrontNormalFilterInfo, &duplex.BackNormalFilterInfo})
            switchOn(*options, spp);
        for (Ovk::tagIMAGEINFO* out : {&simplex.OutImageInfo, &duplex.OutImageInfo}) {
            out->lXResolution = 150;
            out->lYResolution = 150;
            out->lWidth = kWidth / 2;
            out->lHeight = kHeight / 2;
            out->lBps = spp == 1 ? 1 : 8;
        }
        simplex.SpecialFilterInfo.pDetect4PointsInfo = &corners[0];
        duplex.FrontSpecialFilterInfo.pDetect4PointsInfo = &corners[0];
        duplex.BackSpecialFilterInfo.pDetect4PointsInfo = &corners[1];
        tone.ulSize = sizeof tone;
        tone.ucBrightness = 140;
        tone.ucContrast = 160;
    }
    void switchOn(tagNORMALFILTERINFO& options, std::int32_t spp) {
        options.bReduceMoire = true;
        options.pEmphasisEdgeInfo = &edge;
        options.bSkewCorrection = true;
        options.bAutoSize = true;
        options.pGRCInfo = &tone; // the blank measure of a colour page takes its level from the tone
        options.pBlankPageInfo = &blank;
        if (spp == 1)
            options.pGrayToBinaryInfo = &binary;
    }
    tagDETECT4POINTSINFO corners[2]{};
    tagEMPHASISEDGEINFO edge{sizeof(tagEMPHASISEDGEINFO), 2};
    tagBLANKPAGEINFO blank{sizeof(tagBLANKPAGEINFO), 30, false};
    tagGRAYTOBINARYINFO binary{sizeof(tagGRAYTOBINARYINFO), 0, 128, 128};
    tagGRCINFO tone{};
};

struct Sides {
    CImg front;
    CImg back;
};

// The first `bands` bands of `heights` only: the device stops calling when the page is abandoned.
Sides feedDuplex(const std::vector<std::uint8_t>& raw, std::int32_t spp,
                 const std::vector<std::int32_t>& heights, std::size_t bands, tagFILTERDUPLEXINFO& request) {
    Sides sides;
    std::int32_t first = 0;
    for (std::size_t b = 0; b < bands; ++b) {
        CImg in = rawBand(raw, 2 * kWidth, spp, first, heights[b]);
        first += heights[b];
        CImg front;
        CImg back;
        const bool last = b + 1 == heights.size();
        const std::int32_t result = b == 0 ? FilterDuplexFirst(front, back, in, &request)
                                    : last ? FilterDuplexLast(front, back, in, &request)
                                           : FilterDuplexMiddle(front, back, in, &request);
        EXPECT_EQ(0, result) << "band " << b;
        sides.front.appendImg(front);
        sides.back.appendImg(back);
    }
    return sides;
}

// One two-sided sheet cut into four bands, and its output when run alone.
class AbandonedPage : public ::testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override {
        std::int32_t lines = 0;
        raw = rawStream(sheet, &sheet, kOffset300, lines);
        heights = {70, 60, 90, lines - 220};
        alone = feed(heights.size());
        ASSERT_FALSE(alone.front.isNull());
        ASSERT_FALSE(alone.back.isNull());
    }
    Sides feed(std::size_t bands) { return feedDuplex(raw, spp, heights, bands, request.duplex); }
    void expectAlone(const Sides& page, std::size_t stopAfter) {
        EXPECT_TRUE(bytesOf(alone.front) == bytesOf(page.front)) << "stopped after " << stopAfter;
        EXPECT_TRUE(bytesOf(alone.back) == bytesOf(page.back)) << "stopped after " << stopAfter;
    }

    const std::int32_t spp = GetParam();
    const Page sheet = sheetOn(spp);
    std::vector<std::uint8_t> raw;
    std::vector<std::int32_t> heights;
    BusyRequest request{spp};
    Sides alone;
};

TEST_P(AbandonedPage, TwoSidedPageStoppedMidwayLeavesTheNextPageUntouched) {
    for (std::size_t stopAfter = 1; stopAfter < heights.size(); ++stopAfter) {
        feed(stopAfter);
        expectAlone(feed(heights.size()), stopAfter);
    }
    // The last page of the run is stopped too: what it holds must be freed when the library goes.
    feed(2);
}

TEST_P(AbandonedPage, AbandoningAStoppedPageFreesWhatItHeldAndTheNextPageIsTheSame) {
    for (std::size_t stopAfter = 1; stopAfter < heights.size(); ++stopAfter) {
        const std::size_t before = heapInUse();
        feed(stopAfter);
        EXPECT_GT(heapInUse(), before) << "a stopped page holds bands and analysis objects";
        AbandonPage();
        EXPECT_LE(heapInUse(), before) << "stopped after " << stopAfter;
        expectAlone(feed(heights.size()), stopAfter);
    }
    AbandonPage(); // no page in progress: nothing to do
    CImg front;
    CImg back;
    CImg in = rawBand(raw, 2 * kWidth, spp, 0, heights[0]);
    EXPECT_EQ(RTN_SEQUENCE, FilterDuplexMiddle(front, back, in, &request.duplex)) << "a page needs its First";
}

INSTANTIATE_TEST_SUITE_P(GreyAndColour, AbandonedPage, ::testing::Values(1, 3));

} // namespace
