// The property the chain must keep: however a page is cut into bands (one band, a few, bands of one line),
// the joined output and the blank-page verdict equal those of the page given whole.
#include "ChainSupport.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <functional>
#include <string>

using namespace pixentest;

namespace {

// Every record a scenario may point to, kept alive for the whole run.
struct Records {
    tagERASEBACKPAGEINFO erase{sizeof(tagERASEBACKPAGEINFO), 2, 100};
    tagDROPOUTCOLORINFO dropOut{sizeof(tagDROPOUTCOLORINFO), 2, nullptr, nullptr, 0, 0};
    tagGRCINFO tone{};
    tagEMPHASISEDGEINFO edge{sizeof(tagEMPHASISEDGEINFO), 2};
    tagGRAYTOBINARYINFO binary{sizeof(tagGRAYTOBINARYINFO), 0, 128, 0};
    tagROTATE90XINFO rotate{sizeof(tagROTATE90XINFO), 90};
    tagBLANKPAGEINFO blank{sizeof(tagBLANKPAGEINFO), 30, false};

    Records() {
        tone.ulSize = sizeof tone;
        tone.ucBrightness = 140;
        tone.ucContrast = 160;
    }
};

struct Scenario {
    std::string name;
    std::int32_t pageSpp;
    std::int32_t outBps, outSpp;
    std::function<void(tagNORMALFILTERINFO&, Records&)> options;
};

struct Output {
    std::vector<std::uint8_t> bytes;
    std::int32_t width = 0, height = 0, bps = 0, spp = 0;
    bool blank = false;
};

Output collect(const CImg& image, bool blank) {
    Output out;
    if (!image.isNull())
        out = {bytesOf(image), image.getWidth(), image.getHeight(), image.getBps(), image.getSpp(), blank};
    out.blank = blank;
    return out;
}

// A page with content: a gradient, a dark block and some noise, so that every filter has work to do.
CImg testPage(std::int32_t spp) {
    CImg page = patterned(45, 40, 8, spp, Ovk::RGBORDER_PIXEL, 17);
    for (std::int32_t y = 0; y < 40; ++y)
        for (std::int32_t x = 0; x < 45 * spp; ++x) {
            std::uint8_t& v = page.getLine(y)[x];
            v = static_cast<std::uint8_t>(x >= 10 * spp && x < 30 * spp && y >= 12 && y < 25 ? v / 8
                                                                                             : 150 + v / 3);
        }
    return page;
}

// Heights of the bands of a page; a trailing 0 is an empty last band.
std::vector<std::vector<std::int32_t>> splits(std::int32_t height) {
    std::vector<std::int32_t> lines(static_cast<std::size_t>(height), 1);
    return {{height, 0}, {height - 1, 1}, {1, height - 1}, {9, 13, 6, height - 28}, {5, height - 5, 0},
            lines};
}

class SplitRunner {
public:
    SplitRunner(const Scenario& scenario) : m_Scenario(scenario) {
        m_Block = emptyBlock();
        scenario.options(m_Block, m_Records);
    }

    Output whole() {
        TestChain chain;
        CImg page = testPage(m_Scenario.pageSpp);
        EXPECT_EQ(run(chain, page, IMAGESTATE_WHOLE), RTN_OK);
        return collect(page, m_Records.blank.bBlankPage);
    }

    Output banded(const std::vector<std::int32_t>& heights) {
        TestChain chain;
        const CImg page = testPage(m_Scenario.pageSpp);
        CImg joined;
        std::int32_t top = 0;
        for (std::size_t i = 0; i < heights.size(); ++i) {
            CImg band;
            if (heights[i] > 0) {
                band.createImg(page.getWidth(), heights[i], 8, page.getSpp(), Ovk::RGBORDER_PIXEL, 300, 300);
                std::memcpy(band.getImage(), page.getLine(top), band.getImageSize());
            }
            top += heights[i];
            const auto state =
                i == 0 ? IMAGESTATE_FIRST : (i + 1 == heights.size() ? IMAGESTATE_LAST : IMAGESTATE_MIDDLE);
            EXPECT_EQ(run(chain, band, state), RTN_OK) << "band " << i;
            if (!band.isNull()) {
                EXPECT_EQ(joined.appendImg(band), 1);
            }
        }
        return collect(joined, m_Records.blank.bBlankPage);
    }

private:
    std::int32_t run(TestChain& chain, CImg& image, tagIMAGESTATE state) {
        CImg unused;
        auto request = simplexRequest(m_Block, m_Scenario.outBps, m_Scenario.outSpp);
        const std::int32_t accepted = chain.setInfo(unused, &request);
        return accepted != RTN_OK ? accepted : chain.execNormalFilter(image, SIDE_FRONT, state);
    }

    const Scenario& m_Scenario;
    Records m_Records;
    tagNORMALFILTERINFO m_Block{};
};

void expectSame(const Output& banded, const Output& whole, const std::string& what) {
    EXPECT_EQ(banded.width, whole.width) << what;
    EXPECT_EQ(banded.height, whole.height) << what;
    EXPECT_EQ(banded.bps, whole.bps) << what;
    EXPECT_EQ(banded.spp, whole.spp) << what;
    EXPECT_TRUE(banded.bytes == whole.bytes) << what;
    EXPECT_EQ(banded.blank, whole.blank) << what;
}

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all = {
        {"colour out, show-through, drop-out and tone", 3, 8, 3,
         [](tagNORMALFILTERINFO& b, Records& r) {
             b.pEraseBackPageInfo = &r.erase;
             b.pDropOutColorInfo = &r.dropOut;
             b.pGRCInfo = &r.tone;
         }},
        {"grey out from colour, tone, edges and blank measure", 3, 8, 1,
         [](tagNORMALFILTERINFO& b, Records& r) {
             b.pGRCInfo = &r.tone;
             b.pEmphasisEdgeInfo = &r.edge;
             b.pBlankPageInfo = &r.blank;
         }},
        {"binary out, fixed slice, inverse and blank measure", 1, 1, 1,
         [](tagNORMALFILTERINFO& b, Records& r) {
             b.pGRCInfo = &r.tone;
             b.pGrayToBinaryInfo = &r.binary;
             b.bInverse = true;
             b.pBlankPageInfo = &r.blank;
         }},
        {"binary out, error diffusion", 1, 1, 1,
         [](tagNORMALFILTERINFO& b, Records& r) {
             r.binary.Method = 1;
             b.pGrayToBinaryInfo = &r.binary;
         }},
        {"binary out, adaptive method on the whole page", 1, 1, 1,
         [](tagNORMALFILTERINFO& b, Records& r) {
             r.binary.Method = 8;
             b.pGrayToBinaryInfo = &r.binary;
         }},
        {"grey out turned a quarter, edges before", 1, 8, 1,
         [](tagNORMALFILTERINFO& b, Records& r) {
             b.pEmphasisEdgeInfo = &r.edge;
             b.pRotate90xInfo = &r.rotate;
         }},
    };
    return all;
}

} // namespace

TEST(NormalFilterBandSplit, EverySplitGivesTheWholePageOutput) {
    for (const Scenario& scenario : scenarios()) {
        SplitRunner runner(scenario);
        const Output whole = runner.whole();
        ASSERT_GT(whole.height, 0) << scenario.name;
        for (const auto& heights : splits(40))
            expectSame(runner.banded(heights), whole,
                       scenario.name + ", " + std::to_string(heights.size()) + " bands");
    }
}

namespace {

// Front and back joined side by side; the front is binarised on the whole page, so its bands arrive
// empty until the last one while the back's arrive at once.
Output runSideBySide(const std::vector<std::int32_t>& heights) {
    tagGRAYTOBINARYINFO adaptive{sizeof(tagGRAYTOBINARYINFO), 8, 128, 0};
    tagGRAYTOBINARYINFO fixed{sizeof(tagGRAYTOBINARYINFO), 0, 100, 0};
    tagROTATE90XINFO turn{sizeof(tagROTATE90XINFO), 270};
    auto front = emptyBlock(), back = emptyBlock();
    front.pGrayToBinaryInfo = &adaptive;
    front.pRotate90xInfo = &turn;
    back.pGrayToBinaryInfo = &fixed;
    back.bInverse = true;
    auto request = duplexRequest(front, back, 1, 1, true);
    const CImg frontPage = testPage(1), backPage = patterned(45, 40, 8, 1, Ovk::RGBORDER_PIXEL, 99);
    TestChain chain;
    CImg unused, joined;
    std::int32_t top = 0;
    for (std::size_t i = 0; i < heights.size(); ++i) {
        CImg f, b;
        if (heights[i] > 0) {
            f.createImg(45, heights[i], 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
            b.createImg(45, heights[i], 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
            std::memcpy(f.getImage(), frontPage.getLine(top), f.getImageSize());
            std::memcpy(b.getImage(), backPage.getLine(top), b.getImageSize());
        }
        top += heights[i];
        const auto state = heights.size() == 1       ? IMAGESTATE_WHOLE
                           : i == 0                  ? IMAGESTATE_FIRST
                           : i + 1 == heights.size() ? IMAGESTATE_LAST
                                                     : IMAGESTATE_MIDDLE;
        EXPECT_EQ(chain.setInfo(unused, &request), RTN_OK);
        EXPECT_EQ(chain.execNormalFilter(f, b, state), RTN_OK) << "band " << i;
        EXPECT_TRUE(b.isNull()) << "the back is joined into the front image";
        if (!f.isNull()) {
            EXPECT_EQ(joined.appendImg(f), 1);
        }
    }
    return collect(joined, false);
}

} // namespace

TEST(NormalFilterBandSplit, SideBySideJoinGivesTheWholePageOutput) {
    const Output whole = runSideBySide({40});
    ASSERT_EQ(whole.width, 40) << "the joined 90-pixel-wide page is turned";
    ASSERT_EQ(whole.height, 90);
    for (const auto& heights : splits(40))
        expectSame(runSideBySide(heights), whole, std::to_string(heights.size()) + " bands");
}
