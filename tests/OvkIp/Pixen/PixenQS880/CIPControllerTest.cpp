// The band controller: which filter operations each image state reaches in each band mode, and how a
// whole-page controller gathers bands.
#include "CIPController.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <map>
#include <new>
#include <string>
#include <vector>

using namespace Ovk;
using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

// Records every call with the height of the image it saw; results can be set per operation.
class RecordingFilter : public CIPBase {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::int32_t> results;
    std::vector<std::uint8_t> pageSeenByIP;
    bool throwInIP = false;

    const char* getName() const override { return "Recording"; }
    std::int32_t IP(CImg& image) override {
        if (throwInIP)
            throw std::bad_alloc();
        pageSeenByIP = image.isNull() ? std::vector<std::uint8_t>{} : bytesOf(image);
        if (!image.isNull())
            image.getImage()[0] = 0xEE; // the filter's output must stay in the caller's image
        return record("IP", image);
    }
    std::int32_t IPFirst(CImg& band) override { return record("IPFirst", band); }
    std::int32_t IPMiddle(CImg& band) override { return record("IPMiddle", band); }
    std::int32_t IPLast(CImg& band) override { return record("IPLast", band); }
    std::int32_t setInfo(CImg& image, void*) override { return record("setInfo", image); }
    std::int32_t setInfoFirst(CImg& band, void*) override { return record("setInfoFirst", band); }
    std::int32_t setInfoMiddle(CImg& band, void*) override { return record("setInfoMiddle", band); }
    std::int32_t setInfoLast(CImg& band, void*) override { return record("setInfoLast", band); }

private:
    std::int32_t record(const std::string& name, const CImg& image) {
        calls.push_back(name + ":" + std::to_string(image.getHeight()));
        const auto it = results.find(name);
        return it == results.end() ? RTN_OK : it->second;
    }
};

// A filter whose construction runs out of memory.
class UnbuildableFilter : public RecordingFilter {
public:
    UnbuildableFilter() { throw std::bad_alloc(); }
};

using Calls = std::vector<std::string>;

struct Controller {
    CIPController<> controller;
    RecordingFilter* filter;

    explicit Controller(std::int32_t mode) : filter(&controller.createIP<RecordingFilter>(mode)) {}
    std::int32_t run(CImg& image, tagIMAGESTATE state) { return controller.execIP(image, nullptr, state); }
    std::int32_t run(CImg&& image, tagIMAGESTATE state) { return run(image, state); }
};

CImg band(std::int32_t lines, std::uint8_t seed = 1) {
    return patterned(16, lines, 8, 1, RGBORDER_PIXEL, seed);
}

} // namespace

TEST(CIPController, WholeImageRunsSetInfoAndIPOnceInEveryMode) {
    for (std::int32_t mode : {BANDMODE_BAND, BANDMODE_HOLD, BANDMODE_PAGE}) {
        Controller c(mode);
        EXPECT_EQ(c.run(band(30), IMAGESTATE_WHOLE), RTN_OK);
        EXPECT_EQ(c.filter->calls, (Calls{"setInfo:30", "IP:30"})) << "mode " << mode;
    }
}

TEST(CIPController, BandModeSkipsEmptyBandsAndCountsTheFirstNonEmptyOneAsFirst) {
    Controller c(BANDMODE_BAND);
    EXPECT_EQ(c.run(CImg{}, IMAGESTATE_FIRST), RTN_OK);
    EXPECT_TRUE(c.filter->calls.empty());
    EXPECT_EQ(c.run(band(20), IMAGESTATE_MIDDLE), RTN_OK);
    EXPECT_EQ(c.run(band(20), IMAGESTATE_MIDDLE), RTN_OK);
    EXPECT_EQ(c.run(band(5), IMAGESTATE_LAST), RTN_OK);
    EXPECT_EQ(c.filter->calls, (Calls{"setInfoFirst:20", "IPFirst:20", "setInfoMiddle:20", "IPMiddle:20",
                                      "setInfoLast:5", "IPLast:5"}));
}

TEST(CIPController, EmptyLastBandReachesIPLastOnlyInHoldModes) {
    for (std::int32_t mode : {BANDMODE_BAND, BANDMODE_HOLD, BANDMODE_HOLD_ALT}) {
        Controller c(mode);
        c.run(band(10), IMAGESTATE_FIRST);
        c.run(band(10), IMAGESTATE_MIDDLE);
        EXPECT_EQ(c.run(CImg{}, IMAGESTATE_LAST), RTN_OK);
        const bool flushed = c.filter->calls.back() == "IPLast:0";
        EXPECT_EQ(flushed, mode != BANDMODE_BAND) << "mode " << mode;
    }
}

TEST(CIPController, LastBandOfAPageTheFilterHasNotSeenRunsAsWholeImage) {
    Controller c(BANDMODE_BAND);
    c.run(CImg{}, IMAGESTATE_FIRST);
    c.run(CImg{}, IMAGESTATE_MIDDLE);
    EXPECT_EQ(c.run(CImg{}, IMAGESTATE_LAST), RTN_OK);
    EXPECT_EQ(c.filter->calls, (Calls{"setInfo:0", "IP:0"}));
    // The next page starts afresh.
    c.run(band(4), IMAGESTATE_FIRST);
    EXPECT_EQ(c.filter->calls.back(), "IPFirst:4");
}

TEST(CIPController, WholePageModeGathersBandsIntoOnePageInTheCallersImage) {
    Controller c(BANDMODE_PAGE);
    c.filter->results["IP"] = 7;
    CImg first = band(100, 1), middle = band(100, 50), last = band(40, 99);
    std::vector<std::uint8_t> expected = bytesOf(first);
    for (const CImg* b : {&middle, &last}) {
        const auto bytes = bytesOf(*b);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(c.run(first, IMAGESTATE_FIRST), RTN_OK);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(c.run(middle, IMAGESTATE_MIDDLE), RTN_OK);
    EXPECT_TRUE(middle.isNull());
    EXPECT_TRUE(c.filter->calls.empty());

    EXPECT_EQ(c.run(last, IMAGESTATE_LAST), 7);
    EXPECT_EQ(c.filter->calls, (Calls{"setInfo:240", "IP:240"}));
    EXPECT_EQ(c.filter->pageSeenByIP, expected);
    ASSERT_EQ(last.getHeight(), 240);
    EXPECT_EQ(last.getImage()[0], 0xEE);
    EXPECT_TRUE(c.controller.getImgList().empty());
}

TEST(CIPController, FirstBandDiscardsAnUnfinishedPage) {
    Controller c(BANDMODE_PAGE);
    c.run(band(100), IMAGESTATE_FIRST);
    c.run(band(100), IMAGESTATE_MIDDLE);
    c.run(band(30), IMAGESTATE_FIRST);
    c.run(band(10), IMAGESTATE_LAST);
    EXPECT_EQ(c.filter->calls, (Calls{"setInfo:40", "IP:40"}));
}

TEST(CIPController, BandThatDoesNotFitTheGatheredPageIsReported) {
    Controller c(BANDMODE_PAGE);
    c.run(band(10), IMAGESTATE_FIRST);
    CImg wider = patterned(20, 10, 8, 1, RGBORDER_PIXEL);
    EXPECT_EQ(c.run(wider, IMAGESTATE_MIDDLE), RTN_PAR);
    EXPECT_FALSE(wider.isNull());
    CImg widerLast = patterned(20, 10, 8, 1, RGBORDER_PIXEL);
    EXPECT_EQ(c.run(widerLast, IMAGESTATE_LAST), RTN_PAR);
    EXPECT_TRUE(c.filter->calls.empty());
    EXPECT_TRUE(c.controller.getImgList().empty());
    EXPECT_TRUE(c.controller.isFirst());
}

TEST(CIPController, UnknownStateGivesSequenceErrorAndCallsNothing) {
    Controller c(BANDMODE_BAND);
    CImg image = band(10);
    EXPECT_EQ(c.run(image, static_cast<tagIMAGESTATE>(7)), RTN_SEQUENCE);
    EXPECT_TRUE(c.filter->calls.empty());
    EXPECT_EQ(image.getHeight(), 10);
}

TEST(CIPController, FailingFirstSetInfoStopsTheBandAndTheNextIsAMiddleBand) {
    Controller c(BANDMODE_BAND);
    c.filter->results["setInfoFirst"] = RTN_PAR;
    EXPECT_EQ(c.run(band(10), IMAGESTATE_FIRST), RTN_PAR);
    EXPECT_EQ(c.run(band(10), IMAGESTATE_MIDDLE), RTN_OK);
    EXPECT_EQ(c.filter->calls, (Calls{"setInfoFirst:10", "setInfoMiddle:10", "IPMiddle:10"}));
}

TEST(CIPController, StepCreatesTheFilterOnceAndReportsOutOfMemory) {
    CIPController<> controller;
    CImg image = band(10);
    EXPECT_EQ(controller.execIP(image, nullptr, IMAGESTATE_WHOLE), RTN_PAR); // no filter yet
    EXPECT_EQ(controller.runStep<UnbuildableFilter>(BANDMODE_BAND, image, nullptr, IMAGESTATE_WHOLE),
              RTN_MEMORY);
    EXPECT_EQ(controller.getIP(), nullptr);
    EXPECT_EQ(controller.runStep<RecordingFilter>(BANDMODE_PAGE, image, nullptr, IMAGESTATE_WHOLE), RTN_OK);
    auto* filter = static_cast<RecordingFilter*>(controller.getIP());
    EXPECT_EQ(controller.getMode(), BANDMODE_PAGE);
    filter->throwInIP = true;
    EXPECT_EQ(controller.runStep<RecordingFilter>(BANDMODE_BAND, image, nullptr, IMAGESTATE_WHOLE),
              RTN_MEMORY);
    EXPECT_EQ(controller.getIP(), filter);
    EXPECT_EQ(controller.getMode(), BANDMODE_PAGE);
}
