// Lamp calibration: the register formulas at their worked values, the level steps' bookkeeping, the
// light-curve block, and the whole seven-step sequence against the emulated scanner's sensor model.
#include "QS880/CAdjustLight.h"
#include "QS880/CLightCurveAdjustData.h"
#include "QS880/PixenQS880.h"
#include "Requests.h"

#include "LightCurveBlock.h"
#include "RawScan.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qs880test;

namespace {

constexpr std::int32_t kPixels = 2552; // one side at 300 dpi

k3100::emu::Lighting lighting(const tagADJUSTREGINFO& registers) {
    k3100::emu::Lighting light;
    light.registers = {registers.Gain1, registers.Offset1, registers.RedLED, registers.GreenLED,
                       registers.BlueLED};
    return light;
}

// The calibration scan the emulated scanner makes for the record's registers and scan kind.
CImg calibrationScan(const tagADJUSTINFO& info, std::uint32_t lines = 6) {
    k3100::emu::RawScanSetup setup;
    setup.xResolution = setup.yResolution = info.lXResolution;
    setup.pixels = kPixels;
    setup.bitsPerPixel = 12;
    setup.colour = true;
    setup.sides = info.bDuplex ? 2 : 1;
    setup.lines = lines;
    const auto content =
        info.ScanInfo == 0xFEFE ? k3100::emu::Content::WhiteStrip : k3100::emu::Content::Dark;
    setup.side[0] = {0, content, lighting(info.FrontAdjustInfo)};
    setup.side[1] = {1, content, lighting(info.BackAdjustInfo)};
    k3100::emu::RawScan scan(setup);
    const std::int32_t width = kPixels * setup.sides;
    CImg image;
    image.createImg(0, 0, width, static_cast<std::int32_t>(lines),
                    static_cast<std::int32_t>(k3100::emu::packed12LineBytes(static_cast<std::size_t>(width))),
                    12, 3, Ovk::RGBORDER_LINE, info.lXResolution, info.lXResolution);
    EXPECT_EQ(image.getImageSize(), scan.read(image.getImage(), image.getImageSize()));
    return image;
}

tagADJUSTINFO adjustInfo(bool duplex) {
    tagADJUSTINFO info{};
    info.ulSize = sizeof info;
    info.bDuplex = duplex;
    info.lXResolution = 300;
    return info;
}

std::uint16_t extreme(const CImg& line, bool maxima) {
    const auto* samples = reinterpret_cast<const std::uint16_t*>(line.getImage());
    const auto* end = samples + line.getImageSize() / 2;
    return maxima ? *std::max_element(samples, end) : *std::min_element(samples, end);
}

} // namespace

TEST(AdjustLight, RegisterFormulasAtTheirWorkedValues) {
    EXPECT_EQ(128, CAdjustLight::GetOffsetRegister_Feeder(96, 0, 128, 96));
    EXPECT_EQ(103, CAdjustLight::GetOffsetRegister_Feeder(196, 0, 128, 96)); // 128 - 25.38, truncated to 25
    EXPECT_EQ(255, CAdjustLight::GetOffsetRegister_Feeder(0, 0, 250, 96));
    EXPECT_EQ(0, CAdjustLight::GetOffsetRegister_Feeder(4095, 0, 10, 96));
    EXPECT_EQ(30, CAdjustLight::GetGainRegister(2730, 30, 2730));
    EXPECT_EQ(40, CAdjustLight::GetGainRegister(1365, 0, 2730));
}

TEST(AdjustLight, PowersAboveTheirLimitAreScaledTogether) {
    tagADJUSTINFO info = adjustInfo(false);
    info.FrontAdjustInfo.RedLED = 3000;
    info.FrontAdjustInfo.GreenLED = 2400;
    info.FrontAdjustInfo.BlueLED = 1200;
    CAdjustLight::CheckRegLimit(info, SIDE_FRONT);
    EXPECT_EQ(2500, info.FrontAdjustInfo.RedLED);
    EXPECT_EQ(2000, info.FrontAdjustInfo.GreenLED);
    EXPECT_EQ(1000, info.FrontAdjustInfo.BlueLED);
    info.lXResolution = 400; // no limits known: left alone
    CAdjustLight::CheckRegLimit(info, SIDE_FRONT);
    EXPECT_EQ(2500, info.FrontAdjustInfo.RedLED);
}

TEST(AdjustLight, SequenceConvergesOnTheEmulatedSensorInSevenSteps) {
    for (const bool duplex : {false, true}) {
        tagADJUSTINFO info = adjustInfo(duplex);
        AdjustLightFirst(&info);
        EXPECT_EQ(0xFFFF, info.ScanInfo);
        int steps = 0;
        while (!info.bAdjustDone && steps < 10) {
            CImg scan = calibrationScan(info);
            ASSERT_EQ(0, AdjustLightNext(scan, &info)) << "step " << steps + 1;
            ++steps;
        }
        EXPECT_EQ(7, steps);
        CImg scan = calibrationScan(info);
        EXPECT_EQ(RTN_SEQUENCE, AdjustLightNext(scan, &info));

        // With the final registers black sits within one offset step of its code (the step's
        // correction is truncated), and the white strip just below the gain target (so is the gain's).
        for (const std::uint16_t kind : {std::uint16_t{0xFFFF}, std::uint16_t{0xFEFE}}) {
            info.ScanInfo = kind;
            CImg raw = calibrationScan(info, 16);
            CImg front;
            CImg back;
            ASSERT_EQ(0, AdjustLightLast(front, back, raw, &info));
            ASSERT_EQ(kPixels, front.getWidth());
            ASSERT_EQ(1, front.getHeight());
            EXPECT_EQ(duplex, !back.isNull());
            for (const tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
                const CImg& line = side == SIDE_FRONT ? front : back;
                if (line.isNull())
                    continue;
                const tagADJUSTREGINFO& registers =
                    side == SIDE_FRONT ? info.FrontAdjustInfo : info.BackAdjustInfo;
                const double offsetStep = 4096.0 * 0.99 * 152 / (1980.0 * (79 - registers.Gain1));
                if (kind == 0xFFFF) {
                    EXPECT_NEAR(96, extreme(line, false), offsetStep + 2) << "duplex " << duplex;
                } else {
                    EXPECT_LE(extreme(line, true), 2730 + offsetStep);
                    EXPECT_GE(extreme(line, true), 2730 * 0.9);
                }
            }
        }
    }
}

TEST(LightCurve, EmulatorBlockLoadsAndAdjustsTheWhiteReference) {
    const std::vector<std::uint8_t> block = k3100::emu::buildLightCurveBlock();
    CLightCurveAdjustData curves;
    ASSERT_EQ(0, curves.LoadData(block.data(), static_cast<std::uint32_t>(block.size())));
    EXPECT_GT(curves.getCount(), 0u);
    EXPECT_EQ(0, curves.CheckTimeStamp(block.data(), k3100::emu::kLightCurveTimeStamp, 524288));
    EXPECT_EQ(1, curves.CheckTimeStamp(block.data(), 1, 524288));

    CImg white = constantLine(kPixels, 3, 3000);
    CImg black = constantLine(kPixels, 3, 100);
    tagADJUSTINFO info = adjustInfo(false);
    ASSERT_EQ(0, AdjustLightFix(white, black, &info, SIDE_FRONT, block.data(),
                                static_cast<std::uint32_t>(block.size())));
    // The white became gains: a brighter curve factor lowers the gain below that of the bare reference.
    const auto* gains = reinterpret_cast<const std::uint16_t*>(white.getImage());
    EXPECT_LT(gains[0], 4281 * 4096 / 2900);
    EXPECT_EQ(100 >> 4, reinterpret_cast<const std::uint16_t*>(black.getImage())[0]);
}

TEST(LightCurve, MalformedBlocksAreRefusedAndTheReferenceKept) {
    std::vector<std::uint8_t> block(524288, 0);
    CLightCurveAdjustData curves;
    EXPECT_EQ(RTN_PAR, curves.LoadData(block.data(), 1000));
    EXPECT_EQ(RTN_PAR, curves.LoadData(nullptr, 524288));
    std::fill_n(block.begin(), 4, 0xFF); // no curves stored
    EXPECT_EQ(RTN_PAR, curves.LoadData(block.data(), 524288));
    block[0] = 1;
    block[8] = 1; // one record ...
    block[12] = 36;
    block[16] = 1;    // one table
    block[18] = 16;   // of 16-bit entries
    block[24] = 0x10; // ... whose count runs far past the block
    block[25] = 0x27;
    block[26] = 0x00;
    block[27] = 0x01;
    block[32] = 0x20; // data size 32
    EXPECT_EQ(RTN_PAR, curves.LoadData(block.data(), 524288));
    block[18] = 12; // an entry width the format does not have
    EXPECT_EQ(RTN_PAR, curves.LoadData(block.data(), 524288));

    CImg white = constantLine(8, 1, 3000);
    const CImg before = white;
    CImg black = constantLine(8, 1, 0);
    tagADJUSTINFO info = adjustInfo(false);
    EXPECT_EQ(RTN_PAR, AdjustLightFix(white, black, &info, SIDE_FRONT, block.data(), 524288));
    EXPECT_TRUE(std::equal(white.getImage(), white.getImage() + white.getImageSize(), before.getImage()));
}

TEST(LightCurve, PixelAdjustmentRoundsAndSaturates) {
    EXPECT_EQ(3280, CLightCurveAdjustData::LightCurveAdjPixel(3000, 200, 1100, 1000));
    EXPECT_EQ(3000, CLightCurveAdjustData::LightCurveAdjPixel(3000, 200, 1100, 0));
    EXPECT_EQ(200, CLightCurveAdjustData::LightCurveAdjPixel(100, 200, 1100, 1000));
    EXPECT_EQ(0xFFFF, CLightCurveAdjustData::LightCurveAdjPixel(60000, 0, 0xFFFFFFFF, 2)); // no 32-bit wrap
}
