// DetectSlantAndSizeEx as the page pipeline drives it: record checks, handle life, routing of commands,
// corner order and the front-and-back results; and the DetectSlantAndSize command interface below it.
#include "DetectSize/DetectSlantAndSizeEx_OneRadiate2.h"
#include "DetectSize/DetectSlantAndSizeStrategies.h"
#include "DetectSize/OvkDetectSlantAndSize.h"
#include "SyntheticPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

using SyntheticPage::Sheet;

namespace {

constexpr int kW = 1200, kH = 1600, kDpi = 300;
constexpr int kMargin = kDpi * 10 / 254;

tagOVKIMAGEINFO record(std::vector<std::uint8_t>* px, int height = kH) {
    tagOVKIMAGEINFO r{};
    r.ulSize = sizeof(r);
    r.lpImage = px ? px->data() : nullptr;
    r.lWidth = kW;
    r.lHeight = height;
    r.lSync = kW;
    r.tImageSize = static_cast<uint32_t>(kW * height);
    r.lBps = 8;
    r.lSpp = 1;
    r.lXResolution = r.lYResolution = kDpi;
    return r;
}

tagDETECTSLANTSIZEEXBASIC request(uint32_t method, uint32_t command) {
    tagDETECTSLANTSIZEEXBASIC r{};
    r.ulSize = sizeof(r);
    r.ulMethod = method;
    r.ulCommand = command;
    r.ulResultMask = 31;
    r.ulSideKind = 1;
    for (int32_t& v : r.lRefPoint)
        v = -1;
    return r;
}

uint32_t call(tagDETECTSLANTSIZEEXBASIC& r, uint32_t command, tagOVKIMAGEINFO* image) {
    r.ulCommand = command;
    return DetectSlantAndSizeEx(image, &r);
}

// The pipeline's order: release, initialise with the page, bands, result, release.
tagDETECTSLANTSIZEEXBASIC runPage(tagDETECTSLANTSIZEEXBASIC r, std::vector<std::uint8_t>& front,
                                  std::vector<std::uint8_t>* back, int bandHeight) {
    tagOVKIMAGEINFO page = record(nullptr), backPage = record(nullptr);
    r.pBackImage = back ? &backPage : nullptr;
    EXPECT_EQ(call(r, 4, &page), 0u);
    EXPECT_EQ(call(r, 0, &page), 0u);
    for (int y = 0; y < kH; y += bandHeight) {
        const int h = std::min(bandHeight, kH - y);
        tagOVKIMAGEINFO f = record(&front, h), b = record(back, h);
        f.lpImage += std::ptrdiff_t(y) * kW;
        if (back)
            b.lpImage += std::ptrdiff_t(y) * kW;
        r.pBackImage = back ? &b : nullptr;
        EXPECT_EQ(call(r, y == 0 ? 1 : (y + bandHeight >= kH ? 3 : 2), &f), 0u);
    }
    r.pBackImage = back ? &backPage : nullptr;
    EXPECT_EQ(call(r, 6, &page), 0u);
    EXPECT_EQ(call(r, 4, &page), 0u);
    EXPECT_EQ(r.pHandle, nullptr);
    r.pBackImage = nullptr;
    return r;
}

void expectSide(const tagDETECTSLANTSIZESIDE& side, const Sheet& sheet) {
    const std::vector<SyntheticPage::Point> want = SyntheticPage::imageCorners(sheet);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(side.lCorner[2 * i], want[i].x, 2 * kMargin + 4);
        EXPECT_NEAR(side.lCorner[2 * i + 1], want[i].y, 2 * kMargin + 4);
    }
    const int32_t a = side.lSlant[0], b = side.lSlant[1];
    EXPECT_NEAR(a >= b ? double(b) / a : double(a) / b, std::tan(std::abs(sheet.angle)), 0.002);
    // The rectangle spans the outermost corners.
    EXPECT_EQ(side.lLeft, std::max(std::min(side.lCorner[0], side.lCorner[4]), 0));
    EXPECT_EQ(side.lTop, std::min(side.lCorner[1], side.lCorner[3]));
    EXPECT_EQ(side.lLeft + side.lWidth, std::max(side.lCorner[2], side.lCorner[6]));
    EXPECT_EQ(side.lTop + side.lHeight, std::max(side.lCorner[5], side.lCorner[7]));
}

Sheet sheetAt(double degrees) {
    return Sheet{600, 800, 1000, 1300, degrees * std::numbers::pi / 180};
}

std::vector<std::uint8_t> darkBacking(const Sheet& s) {
    return SyntheticPage::grey(s, kW, kH, 40, 220, SyntheticPage::Noise{5, 4});
}

} // namespace

TEST(DetectSlantAndSizeEx, OneSideGivesCornersInPageOrder) {
    for (double degrees : {2.0, -2.0, 0.0}) {
        SCOPED_TRACE(degrees);
        const Sheet sheet = sheetAt(degrees);
        std::vector<std::uint8_t> px = darkBacking(sheet);
        // Method 11 without duplex runs the single-side path on a record rewritten to that layout.
        const tagDETECTSLANTSIZEEXBASIC r = runPage(request(11, 0), px, nullptr, 256);
        EXPECT_EQ(r.ulSize, kDetectSlantSizeExSingleSize);
        expectSide(r.front, sheet);
        if (degrees == 0) {
            EXPECT_EQ(r.front.lSlant[0], 1);
            EXPECT_EQ(r.front.lSlant[1], 0);
        }
    }
}

TEST(DetectSlantAndSizeEx, SideKindOneAndMethodEightGiveTheSameResult) {
    std::vector<std::uint8_t> px = darkBacking(sheetAt(1.0));
    tagDETECTSLANTSIZEEXBASIC kind0 = request(11, 0), kind1 = request(8, 0);
    kind0.ulSideKind = 0;
    kind1.ulSize = kDetectSlantSizeExSingleSize;
    const tagDETECTSLANTSIZEEXBASIC a = runPage(kind0, px, nullptr, kH);
    const tagDETECTSLANTSIZEEXBASIC b = runPage(kind1, px, nullptr, 100);
    EXPECT_EQ(0, std::memcmp(&a.front, &b.front, sizeof(a.front)));
}

TEST(DetectSlantAndSizeEx, FrontAndBackWithSensorOffset) {
    const int offset = 30;
    Sheet front = sheetAt(-1.5), back = front;
    back.mirrored = true;
    back.imageWidth = kW;
    back.cy += offset;
    std::vector<std::uint8_t> f =
        SyntheticPage::shadowed(front, kW, kH, false, 4, SyntheticPage::Noise{3, 4});
    std::vector<std::uint8_t> b = SyntheticPage::shadowed(back, kW, kH, true, 4, SyntheticPage::Noise{4, 4});
    tagDETECTSLANTSIZEEXBASIC r = request(11, 0);
    r.ulDuplex = 1;
    r.lSensorOffset = offset;
    r = runPage(r, f, &b, 300);
    EXPECT_EQ(r.ulSize, sizeof(r));
    expectSide(r.front, front);
    back.cy -= offset;
    expectSide(r.back, back);
}

TEST(DetectSlantAndSizeEx, RefusesBadRecordsAndMethods) {
    EXPECT_EQ(DetectSlantAndSizeEx(nullptr, nullptr), 87u);
    tagDETECTSLANTSIZEEXBASIC r = request(8, 2);
    r.ulSize = kDetectSlantSizeExMinSize - 1;
    EXPECT_EQ(DetectSlantAndSizeEx(nullptr, &r), 87u);
    EXPECT_EQ(r.pHandle, nullptr);
    // Exactly the shortest size passes: a band on an empty handle builds a strategy without a worker.
    r.ulSize = kDetectSlantSizeExMinSize;
    EXPECT_EQ(DetectSlantAndSizeEx(nullptr, &r), 1u);
    ASSERT_NE(r.pHandle, nullptr);
    void* handle = r.pHandle;
    EXPECT_EQ(call(r, 0, nullptr), 87u) << "command 0 on a live handle";
    EXPECT_EQ(r.pHandle, handle);
    EXPECT_EQ(call(r, 7, nullptr), 87u);
    EXPECT_EQ(call(r, 4, nullptr), 0u);
    EXPECT_EQ(r.pHandle, nullptr);

    tagDETECTSLANTSIZEEXBASIC unknown = request(9, 0);
    EXPECT_EQ(DetectSlantAndSizeEx(nullptr, &unknown), 120u);
    EXPECT_EQ(unknown.pHandle, nullptr);

    tagOVKIMAGEINFO page = record(nullptr);
    tagDETECTSLANTSIZEEXBASIC side = request(11, 0);
    side.ulSideKind = 2;
    EXPECT_EQ(DetectSlantAndSizeEx(&page, &side), 120u);
    ReleaseSlantSizeExHandle(&side);
    tagDETECTSLANTSIZEEXBASIC wrongLayout = request(8, 0); // method 8 needs the single-side size
    EXPECT_EQ(DetectSlantAndSizeEx(&page, &wrongLayout), 87u);
    ReleaseSlantSizeExHandle(&wrongLayout);
    EXPECT_EQ(wrongLayout.pHandle, nullptr);
}

TEST(DetectSlantAndSizeEx, WholeImageCommandAndResultMask) {
    const Sheet sheet = sheetAt(1.0);
    std::vector<std::uint8_t> px = darkBacking(sheet);
    tagOVKIMAGEINFO image = record(&px);

    // Directly after initialisation, 5 runs first band, last band and result.
    tagDETECTSLANTSIZEEXBASIC whole = request(11, 0);
    ASSERT_EQ(DetectSlantAndSizeEx(&image, &whole), 0u);
    EXPECT_EQ(call(whole, 5, &image), 0u);
    expectSide(whole.front, sheet);
    ReleaseSlantSizeExHandle(&whole);

    // On a fresh strategy 5 only fetches results, and there is no worker yet.
    tagDETECTSLANTSIZEEXBASIC fresh = request(11, 5);
    EXPECT_EQ(DetectSlantAndSizeEx(&image, &fresh), 1u);
    ReleaseSlantSizeExHandle(&fresh);

    // A mask of 0 leaves every result field alone.
    tagDETECTSLANTSIZEEXBASIC none = request(11, 0);
    none.ulResultMask = 0;
    std::memset(&none.front, 0x5A, sizeof(none.front));
    const tagDETECTSLANTSIZESIDE before = none.front;
    ASSERT_EQ(DetectSlantAndSizeEx(&image, &none), 0u);
    EXPECT_EQ(call(none, 5, &image), 0u);
    EXPECT_EQ(0, std::memcmp(&before, &none.front, sizeof(before)));
    ReleaseSlantSizeExHandle(&none);
}

TEST(DetectSlantAndSizeEx, DetectorStatusesMapToSmallCodes) {
    using Ovk::DetectSize::map_status;
    EXPECT_EQ(map_status(0), 0u);
    EXPECT_EQ(map_status(5), 0u);
    EXPECT_EQ(map_status(static_cast<int32_t>(0x80070057u)), 87u);
    EXPECT_EQ(map_status(static_cast<int32_t>(0x80000003u)), 8u);
    EXPECT_EQ(map_status(static_cast<int32_t>(0x80000002u)), 8u);

    // A duplex page without resolution cannot be initialised.
    tagOVKIMAGEINFO page = record(nullptr);
    page.lYResolution = 0;
    tagDETECTSLANTSIZEEXBASIC r = request(11, 0);
    r.ulDuplex = 1;
    r.pBackImage = &page;
    EXPECT_EQ(DetectSlantAndSizeEx(&page, &r), 8u);
    ReleaseSlantSizeExHandle(&r);
}

TEST(DetectSlantAndSize, CommandInterfaceKeepsOrReleasesItsDetector) {
    tagSLANTSIZEREQ req{};
    EXPECT_EQ(DetectSlantAndSize(nullptr, &req), static_cast<int32_t>(0x80000008u));
    req.ulSize = sizeof(req);
    req.ulCommand = 1;
    EXPECT_EQ(DetectSlantAndSize(nullptr, &req), static_cast<int32_t>(0x80000008u)) << "no detector";

    // A failing initialisation leaves no detector behind.
    tagOVKIMAGEINFO page = record(nullptr);
    page.lXResolution = 0;
    req.ulCommand = 0;
    EXPECT_EQ(DetectSlantAndSize(&page, &req), static_cast<int32_t>(0x80000003u));
    EXPECT_EQ(req.pDetector, nullptr);

    page.lXResolution = kDpi;
    for (int32_t& v : req.lRefPoint)
        v = -1;
    EXPECT_EQ(DetectSlantAndSize(&page, &req), 0);
    EXPECT_NE(req.pDetector, nullptr);
    req.ulCommand = 6;
    EXPECT_EQ(DetectSlantAndSize(&page, &req), static_cast<int32_t>(0x80000008u));
    EXPECT_EQ(req.pDetector, nullptr);
}

TEST(DetectSlantAndSize, ImageRecordBecomesADetectorSet) {
    std::vector<std::uint8_t> px(30);
    tagOVKIMAGEINFO rec = record(&px, 1);
    rec.lWidth = 4;
    rec.lSync = 10;
    rec.lSpp = 3;
    rec.ulRGBOrder = kOvkLineOrder;
    rec.lXResolution = 200;
    rec.lYResolution = 100;
    Ovk::DetectSize::CImg::tagIMGSET set{};
    Ovk::DetectSize::Convert_OVKIMAGEINFOtoIMGSET(&rec, set);
    EXPECT_EQ(set.pImg, px.data());
    EXPECT_EQ(set.sync, 30);
    EXPECT_EQ(set.bpp, 24);
    EXPECT_EQ(set.pixelorder, 1);
    EXPECT_EQ(set.xdpi, 200);
    EXPECT_EQ(set.ydpi, 100);
    rec.ulRGBOrder = kOvkPixelOrder;
    Ovk::DetectSize::Convert_OVKIMAGEINFOtoIMGSET(&rec, set);
    EXPECT_EQ(set.sync, 10);
    EXPECT_EQ(set.pixelorder, 0);
}
