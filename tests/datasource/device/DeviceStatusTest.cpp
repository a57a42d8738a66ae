// Keyed status reads, service blocks, calibration reuse and the protected (rewindable) side.
#include "DeviceFixture.h"

#include <cstring>

namespace k3100::test {
namespace {

TEST_F(DeviceTest, StatusKeysReadTheUnit) {
    ASSERT_EQ(device->StartScan(nullptr), 0);
    char info[97] = {};
    ASSERT_EQ(device->GetStatus("ScannerInfo", info), 0);
    EXPECT_STREQ(info, "K3100 Scanner   "); // the product identification as the scanner gives it
    EXPECT_STREQ(info + 32, "ORVIK   ");
    EXPECT_STREQ(info + 64, "1.00");

    uint32_t keys = 0;
    emulator.pressKey(1);
    emulator.pressKey(3);
    ASSERT_EQ(device->GetStatus("OperationpanelEZKeyStatus", &keys), 0);
    EXPECT_EQ(keys, 0b101u);

    uint32_t ready = 7;
    ASSERT_EQ(device->GetStatus("DocumentReadyStatus", &ready), 0);
    EXPECT_EQ(ready, 0u);
    load(1);
    ASSERT_EQ(device->GetStatus("DocumentReadyStatus", &ready), 0);
    EXPECT_NE(ready, 0u);

    EXPECT_EQ(device->GetStatus("NoSuchKey", &ready), 0);
    EXPECT_EQ(static_cast<uint32_t>(device->GetStatus("ServiceData", nullptr)), kScanErrIllegalRequest);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, ServiceBlocksRoundTripThroughTheUnit) {
    ASSERT_EQ(device->StartScan(nullptr), 0);
    EXPECT_EQ(device->SetScanCounter(100, 200, 5), kScanErrCountOrder);
    ASSERT_EQ(device->SetScanCounter(5000, 1200, 300), 0u);
    uint32_t counts[3] = {};
    ASSERT_EQ(device->GetStatus("ServiceData", counts), 0);
    EXPECT_EQ(counts[0], 5000u);
    EXPECT_EQ(counts[1], 1200u);
    EXPECT_EQ(counts[2], 300u);
    ASSERT_EQ(device->ClearRollerCounter(0), 0u);
    ASSERT_EQ(device->GetStatus("ServiceData", counts), 0);
    EXPECT_EQ(counts[1], 0u);
    EXPECT_EQ(counts[2], 300u);

    ASSERT_EQ(device->SetMaxScanLength(47244), 0u);
    uint32_t length = 0;
    ASSERT_EQ(device->GetStatus("MaxScanLength", &length), 0);
    EXPECT_EQ(length, 47244u);
    EXPECT_EQ(device->SetSerialNumber("K31-TEST"), 0u);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, CalibrationIsReusedForFiveMinutesWithEqualSettings) {
    auto scanOnce = [&](uint32_t resolution) {
        load(1);
        tagScanParam p = letterParams(false, false);
        p.resolution = resolution;
        p.scanLength = 1200;
        ASSERT_EQ(device->StartScan(&p), 0);
        ASSERT_EQ(readSide().result, 0);
        ASSERT_EQ(device->FinishScan(), 0);
    };
    scanOnce(150);
    EXPECT_EQ(library.count("AdjustLightFirst"), 1);
    EXPECT_EQ(library.count("AdjustLightFix"), 1);
    now += 300;
    scanOnce(150);
    EXPECT_EQ(library.count("AdjustLightFirst"), 1);
    scanOnce(300); // a different scanner resolution along
    EXPECT_EQ(library.count("AdjustLightFirst"), 2);
    now += 301;
    scanOnce(300);
    EXPECT_EQ(library.count("AdjustLightFirst"), 3);
}

TEST_F(DeviceTest, CalibrationFailureFromTheLibraryIsReported) {
    library.failOn = "AdjustLightNext";
    library.failCall = 3;
    tagScanParam p = letterParams(false, false);
    EXPECT_EQ(static_cast<uint32_t>(device->StartScan(&p)), kScanErrNoMemory);
    library.failCall = 2;
    EXPECT_EQ(static_cast<uint32_t>(device->StartScan(&p)), kScanErrImageLibrary);
    device->FinishScan();
}

TEST_F(DeviceTest, ProtectedSideCanBeReadAgainFromItsFirstLine) {
    load(1);
    tagScanParam p = letterParams(false, false);
    ASSERT_EQ(device->StartScan(&p), 0);
    device->ProtectImageBuffer(true);
    const Side first = readSide(2552, 700);
    ASSERT_EQ(first.result, 0);
    ASSERT_EQ(first.lines, 1650u);
    device->ProtectImageBuffer(false);
    const Side again = readSide(2552, 333);
    EXPECT_EQ(again.result, 0);
    EXPECT_EQ(again.bytes, first.bytes);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, NarrowRowsTakeTheStartOfEachLine) {
    load(1);
    tagScanParam p = letterParams(false, false);
    ASSERT_EQ(device->StartScan(&p), 0);
    device->ProtectImageBuffer(true);
    const Side wide = readSide(2552, 1650);
    device->ProtectImageBuffer(false);
    const Side narrow = readSide(100, 1650);
    ASSERT_EQ(narrow.lines, wide.lines);
    for (uint32_t line : {0u, 800u, 1649u})
        EXPECT_EQ(std::memcmp(&narrow.bytes[line * 100], &wide.bytes[line * 2552], 100), 0) << line;
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, StatusCommandGivesUpWhileTheReaderCannotEnd) {
    COrvkQS::Limits limits;
    limits.readerWaitLimit = std::chrono::milliseconds(300);
    ASSERT_NO_FATAL_FAILURE(pauseReader(limits));
    // The reader waits for pages the host has not taken yet: a command would wait for ever.
    uint32_t ready = 0;
    EXPECT_EQ(static_cast<uint32_t>(device->GetStatus("DocumentReadyStatus", &ready)), kScanErrDeviceBusy);
    uint32_t count = 0;
    EXPECT_EQ(device->GetStatus("BatchTransferCount", &count), 0);
    EXPECT_GE(count, 1u);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, FinalFilterRunsOnceOnTheKeptSide) {
    load(1);
    tagScanParam p = letterParams(false, false);
    ASSERT_EQ(device->StartScan(&p), 0);
    device->ProtectImageBuffer(true);
    ASSERT_EQ(readSide().result, 0);
    FilterSettings settings;
    settings.contrast = 42; // outside the level table
    ASSERT_EQ(device->ApplyImageFilter(settings), 0);
    ASSERT_EQ(device->ApplyImageFilter(settings), 0);
    EXPECT_EQ(library.count("Normal"), 1);
    device->ProtectImageBuffer(false);
    const Side filtered = readSide();
    EXPECT_EQ(filtered.lines, 1650u);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, PreviewBinarisationGivesWholeBytesWithinTheCallersLines) {
    constexpr int32_t width = 40, height = 8, lineBytes = 48;
    std::vector<uint8_t> pixels(lineBytes * height, 0xAB); // 0xAB marks the padding past each line
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[y * lineBytes + x] = static_cast<uint8_t>(x < width / 2 ? 20 : 235);
    FilterSettings settings;
    settings.grayToBin = 1;
    ASSERT_EQ(device->ApplyImageFilter(pixels.data(), width, height, lineBytes, 8, 1, settings), 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            ASSERT_TRUE(pixels[y * lineBytes + x] == 0x00 || pixels[y * lineBytes + x] == 0xFF)
                << x << "," << y;
        for (int32_t x = width; x < lineBytes; ++x)
            ASSERT_EQ(pixels[y * lineBytes + x], 0xAB) << "past the line at " << x << "," << y;
    }
    EXPECT_NE(pixels[0], pixels[width - 1]);
    // A line length that cannot hold the width is refused, not overrun.
    EXPECT_EQ(static_cast<uint32_t>(
                  device->ApplyImageFilter(pixels.data(), width, height, width - 1, 8, 1, settings)),
              kScanErrIllegalRequest);
}

} // namespace
} // namespace k3100::test
