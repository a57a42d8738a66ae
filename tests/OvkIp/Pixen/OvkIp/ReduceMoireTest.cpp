// Moire reducer: spread tables, unit gain, the mask's smoothing, refused calls, and the same page
// whatever its band split.
#include "Moire/ReduceMoireFilter.h"
#include "Moire/SpreadTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

namespace {
struct Page {
    std::vector<uint8_t> pixels;
    tagOVKIMAGEINFO info = {};
};

Page makePage(int32_t width, int32_t height, int32_t spp, int32_t dpi) {
    Page p;
    p.pixels.assign(static_cast<size_t>(width) * spp * height, 0);
    p.info.ulSize = sizeof(tagOVKIMAGEINFO);
    p.info.lpImage = p.pixels.data();
    p.info.lWidth = width;
    p.info.lHeight = height;
    p.info.lSync = width * spp;
    p.info.lBps = 8;
    p.info.lSpp = spp;
    p.info.lXResolution = p.info.lYResolution = dpi;
    return p;
}

tagREDUCEMOIREFILTERINFO request(const Page& src, int32_t outDpi, int32_t inDpi) {
    tagREDUCEMOIREFILTERINFO r = {};
    r.ulSize = sizeof(r);
    r.lDstXResolution = r.lDstYResolution = outDpi;
    r.lSrcXResolution = r.lSrcYResolution = inDpi;
    r.lSrcWidth = src.info.lWidth;
    r.lSrcHeight = src.info.lHeight;
    r.lDstWidth = src.info.lWidth * outDpi / inDpi;
    r.lDstHeight = src.info.lHeight * outDpi / inDpi;
    return r;
}

int call(tagREDUCEMOIREFILTERINFO& r, int32_t command, tagOVKIMAGEINFO* dst = nullptr,
         tagOVKIMAGEINFO* src = nullptr) {
    r.lCommand = command;
    return ReduceMoire(dst, src, &r);
}

// Converts src cut into bands of `band` lines (0: as one page); returns the output lines.
std::vector<uint8_t> convert(Page& src, int32_t outDpi, int32_t inDpi, int32_t band) {
    tagREDUCEMOIREFILTERINFO r = request(src, outDpi, inDpi);
    EXPECT_EQ(call(r, kMoireCreate), 0);
    const int32_t spp = src.info.lSpp;
    Page out = makePage(r.lDstWidth, r.lDstHeight + 5, spp, outDpi);
    std::vector<uint8_t> result;
    const auto take = [&](const tagOVKIMAGEINFO& dst) {
        result.insert(result.end(), dst.lpImage, dst.lpImage + static_cast<size_t>(dst.lSync) * dst.lHeight);
    };
    if (band == 0) {
        tagOVKIMAGEINFO dst = out.info;
        EXPECT_EQ(call(r, kMoireWholePage, &dst, &src.info), 0);
        take(dst);
    } else {
        for (int32_t y = 0; y < src.info.lHeight; y += band) {
            tagOVKIMAGEINFO part = src.info;
            part.lpImage += static_cast<ptrdiff_t>(part.lSync) * y;
            part.lHeight = std::min(band, src.info.lHeight - y);
            tagOVKIMAGEINFO dst = out.info;
            EXPECT_EQ(call(r, y == 0 ? kMoireFirstBand : kMoireNextBand, &dst, &part), 0);
            take(dst);
        }
        Page flush = makePage(src.info.lWidth, r.lHeldLines, spp, inDpi);
        tagOVKIMAGEINFO dst = out.info;
        EXPECT_EQ(call(r, kMoireEnd, &dst, &flush.info), 0);
        take(dst);
    }
    EXPECT_EQ(call(r, kMoireRelease), 0);
    EXPECT_EQ(r.hReduceMoire, nullptr);
    return result;
}
} // namespace

TEST(SpreadTable, MarksAreSpreadEvenly) {
    std::vector<uint16_t> t;
    MakeSpreadCountTable(t, 3, 10);
    EXPECT_EQ(t, (std::vector<uint16_t>{0, 0, 0, 1, 0, 0, 0, 1, 0, 1}));
    MakeSpreadCountTable(t, 5, 10);
    EXPECT_EQ(t, (std::vector<uint16_t>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    MakeSpreadCountTable(t, 6, 6);
    EXPECT_EQ(t, (std::vector<uint16_t>(6, 1)));
    MakeSpreadCountTable(t, 10, 6);
    EXPECT_EQ(t, (std::vector<uint16_t>{1, 2, 2, 2, 1, 2}));
    EXPECT_THROW(MakeSpreadCountTable(t, 3, 0), int);
}

TEST(ReduceMoire, UniformPageKeepsItsLevel) {
    Page grey = makePage(60, 40, 1, 600);
    std::memset(grey.pixels.data(), 200, grey.pixels.size());
    const std::vector<uint8_t> out = convert(grey, 300, 600, 0);
    ASSERT_EQ(out.size(), 30u * 20u);
    for (uint8_t v : out)
        ASSERT_EQ(v, 200);
}

// Every built-in resolution pair keeps black, white and a mid grey through both passes.
TEST(ReduceMoire, UniformLevelsSurviveEveryBuiltInMask) {
    const std::pair<int32_t, int32_t> pairs[] = {{100, 600}, {150, 600}, {200, 600}, {240, 600}, {300, 600},
                                                 {100, 300}, {150, 300}, {200, 300}, {240, 300}};
    for (const auto& [outDpi, inDpi] : pairs) {
        for (const uint8_t level : {uint8_t{255}, uint8_t{0}, uint8_t{1}, uint8_t{128}, uint8_t{254}}) {
            Page page = makePage(60, 30, 3, inDpi);
            std::memset(page.pixels.data(), level, page.pixels.size());
            const std::vector<uint8_t> out = convert(page, outDpi, inDpi, 0);
            ASSERT_FALSE(out.empty());
            EXPECT_EQ(*std::min_element(out.begin(), out.end()), level) << inDpi << " to " << outDpi;
            EXPECT_EQ(*std::max_element(out.begin(), out.end()), level) << inDpi << " to " << outDpi;
        }
    }
}

TEST(ReduceMoire, FineStripesBecomeEvenGrey) {
    Page stripes = makePage(40, 20, 1, 600);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x)
            stripes.pixels[y * 40 + x] = x % 2 ? 255 : 0;
    const std::vector<uint8_t> out = convert(stripes, 300, 600, 0);
    ASSERT_EQ(out.size(), 20u * 10u);
    for (size_t i = 0; i < out.size(); ++i) {
        if (i % 20 != 0 && i % 20 != 19) { // the edges repeat their own pixel
            ASSERT_EQ(out[i], 127) << i;
        }
    }
}

TEST(ReduceMoire, BandSplitGivesTheWholePageResult) {
    std::mt19937 random(7);
    for (const int32_t spp : {1, 3}) {
        Page page = makePage(97, 83, spp, 300);
        for (uint8_t& v : page.pixels)
            v = static_cast<uint8_t>(random());
        const std::vector<uint8_t> whole = convert(page, 150, 300, 0);
        ASSERT_EQ(whole.size(), 48u * 41u * spp);
        for (const int32_t band : {1, 2, 7, 40, 83})
            EXPECT_EQ(convert(page, 150, 300, band), whole) << "band " << band << " spp " << spp;
    }
}

TEST(ReduceMoire, RefusesBadCallsWithoutCrashing) {
    Page page = makePage(10, 10, 1, 600);
    tagREDUCEMOIREFILTERINFO r = request(page, 250, 600);
    EXPECT_EQ(call(r, kMoireCreate), -1); // no mask for 600 to 250
    EXPECT_EQ(call(r, 6), -4);
    EXPECT_EQ(ReduceMoire(nullptr, nullptr, nullptr), -1);
    r.ulSize = 72;
    EXPECT_EQ(call(r, kMoireCreate), -4);
    r.ulSize = sizeof(r);
    EXPECT_EQ(call(r, kMoireRelease), 0);

    Page out = makePage(5, 5, 1, 300);
    int fake = 0;
    r.hReduceMoire = &fake; // a word nobody handed out
    EXPECT_EQ(call(r, kMoireFirstBand, &out.info, &page.info), -4);
    EXPECT_EQ(call(r, kMoireRelease), 0);
    EXPECT_EQ(fake, 0);

    r = request(page, 300, 600);
    ASSERT_EQ(call(r, kMoireCreate), 0);
    Page wrong = makePage(4, 5, 1, 300); // not the output width
    EXPECT_EQ(call(r, kMoireFirstBand, &wrong.info, &page.info), -1);
    EXPECT_EQ(r.hReduceMoire, nullptr); // a failure releases the reducer
}

TEST(ReduceMoire, SinglePassesKeepTheirGeometry) {
    Page page = makePage(20, 12, 1, 600);
    std::memset(page.pixels.data(), 90, page.pixels.size());
    tagREDUCEMOIREFILTERINFO r = request(page, 300, 600);
    Page out = makePage(10, 12, 1, 300);
    r.lCommand = kMoireCreate;
    ASSERT_EQ(ResolutionConvertH(nullptr, nullptr, &r), 0);
    r.lCommand = kMoireFirstBand;
    ASSERT_EQ(ResolutionConvertH(&out.info, &page.info, &r), 0);
    EXPECT_EQ(out.info.lHeight, 12);
    EXPECT_EQ(out.pixels[0], 90);
    r.lCommand = kMoireRelease;
    EXPECT_EQ(ResolutionConvertH(nullptr, nullptr, &r), 0);

    Page tall = makePage(20, 12, 1, 600);
    r.lCommand = kMoireCreate;
    ASSERT_EQ(MaskFilterV(nullptr, nullptr, &r), 0);
    r.lCommand = kMoireFirstBand;
    ASSERT_EQ(MaskFilterV(&tall.info, &page.info, &r), 0);
    const int32_t first = tall.info.lHeight;
    tall.info.lHeight = 12;
    r.lCommand = kMoireEnd;
    ASSERT_EQ(MaskFilterV(&tall.info, nullptr, &r), 0);
    EXPECT_EQ(first + tall.info.lHeight, 12);
    EXPECT_EQ(tall.pixels[0], 90);
    r.lCommand = kMoireRelease;
    EXPECT_EQ(MaskFilterV(nullptr, nullptr, &r), 0);
}
