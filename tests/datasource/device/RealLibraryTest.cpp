// Batches from the emulated scanner through the device object and the page library itself: the lamp
// calibration converges on the emulated sensor and each sheet comes out as a finished page of the
// requested size, simplex and duplex.
#include "PixenLibrary.h"

#include "DeviceFixture.h"

#include <numeric>

namespace k3100::test {
namespace {

class RealLibraryTest : public ::testing::Test {
protected:
    emu::Emulator emulator;
    std::unique_ptr<COrvkQS> device = std::make_unique<COrvkQS>(
        SScannerDesc{kTransportUSB, emulator.vendorId(), emulator.productId(), emulator.connect()},
        PixenQS880Library());

    void SetUp() override { ASSERT_EQ(device->OpenSession(), 0); }

    void load(int sheets, const char* spec) { loadSheets(emulator, sheets, spec); }
    Side readPage(uint32_t rowBytes) { return readSide(*device, rowBytes, 256); }

    static double mean(const std::vector<uint8_t>& bytes) {
        return bytes.empty() ? 0 : std::accumulate(bytes.begin(), bytes.end(), 0.0) / double(bytes.size());
    }
};

TEST_F(RealLibraryTest, SimplexBatchBecomesFinishedPages) {
    load(3, "gen:blank");
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    const uint32_t width = 150 * 10200 / 1200;
    for (int sheet = 0; sheet < 3; ++sheet) {
        const Side page = readPage(width);
        ASSERT_EQ(page.result, 0) << sheet;
        EXPECT_EQ(page.param.outWidth, width);
        EXPECT_EQ(page.param.outPixelType, 1u);
        EXPECT_EQ(page.lines, page.param.outLines);
        EXPECT_EQ(page.lines, 1650u);
        EXPECT_GT(mean(page.bytes), 200.0) << "a shaded blank sheet is white";
    }
    EXPECT_EQ(static_cast<uint32_t>(readPage(width).result), kScanErrEndOfBatch);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(RealLibraryTest, DuplexBatchGivesBothSidesOfEverySheet) {
    load(2, "gen:blank,gen:ramp");
    tagScanParam p = letterParams(true, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    const uint32_t width = 150 * 10200 / 1200;
    for (int sheet = 0; sheet < 2; ++sheet) {
        const Side front = readPage(width);
        const Side back = readPage(width);
        ASSERT_EQ(front.result, 0) << sheet;
        ASSERT_EQ(back.result, 0) << sheet;
        EXPECT_EQ(front.lines, front.param.outLines);
        EXPECT_EQ(back.lines, back.param.outLines);
        EXPECT_EQ(front.lines, 1650u);
        EXPECT_GT(mean(front.bytes), 200.0);
        EXPECT_LT(mean(back.bytes), mean(front.bytes)) << "the ramp is darker than blank paper";
    }
    EXPECT_EQ(static_cast<uint32_t>(readPage(width).result), kScanErrEndOfBatch);
    EXPECT_EQ(device->FinishScan(), 0);
}

// Colour on both sides with every option whose library step keeps buffers between bands; the moire mode
// that scans at 300 x 300 dpi, the only square resolution below 600 the reducer takes.
tagScanParam busyParams() {
    tagScanParam p = letterParams(true, true);
    p.pixelMode = 2;
    p.edgeEmphasis = (2u << 16) | 1u;
    p.reduceMoire = (1u << 16) | 1u;
    p.deskew = 1;
    p.detectPageSize = 1;
    p.blankSkip = (30u << 16) | 1u;
    return p;
}

constexpr uint32_t kColourRow = 3 * 150 * 10200 / 1200; // bytes of a full-width colour row at 150 dpi

class StoppedPageTest : public RealLibraryTest {
protected:
    // Starts a colour duplex page with every buffer-keeping option and reads its first rows.
    void readFirstRowsOfABusyPage(int sheets) {
        load(sheets, "gen:ramp");
        tagScanParam p = busyParams();
        ASSERT_EQ(device->StartScan(&p), 0);
        ASSERT_EQ(device->ScanPage(&p), 0);
        std::vector<uint8_t> rows(kColourRow * 16);
        uint32_t count = 16;
        ASSERT_EQ(device->ReadLines(rows.data(), kColourRow, &count), 0);
    }

    // A later batch must come out whole: the stopped page left nothing behind in the library.
    void expectNextBatchWhole() {
        load(1, "gen:blank");
        tagScanParam p = letterParams(false, false);
        ASSERT_EQ(device->StartScan(&p), 0);
        const Side page = readPage(150 * 10200 / 1200);
        EXPECT_EQ(page.result, 0);
        EXPECT_EQ(page.lines, 1650u);
        EXPECT_EQ(device->FinishScan(), 0);
    }
};

TEST_F(StoppedPageTest, JamInTheMiddleOfAColourDuplexPageEndsTheBatchCleanly) {
    load(2, "gen:ramp");
    tagScanParam p = busyParams();
    ASSERT_EQ(device->StartScan(&p), 0);
    ASSERT_EQ(emulator.control("fault jam@read:3"), "ok");
    const Side front = readSide(*device, kColourRow, 64);
    const Side back = front.result == 0 ? readSide(*device, kColourRow, 64) : front;
    EXPECT_EQ(static_cast<uint32_t>(front.result != 0 ? front.result : back.result), kScanErrPaperJam);
    device->FinishScan();
    expectNextBatchWhole();
}

TEST_F(StoppedPageTest, AbortAfterTheFirstRowsOfAColourDuplexPageEndsTheBatchCleanly) {
    ASSERT_NO_FATAL_FAILURE(readFirstRowsOfABusyPage(3));
    device->AbortScan();
    Side side = readSide(*device, kColourRow, 256);
    while (side.result == 0)
        side = readSide(*device, kColourRow, 256);
    EXPECT_EQ(static_cast<uint32_t>(side.result), kScanErrCancelled);
    device->FinishScan();
    expectNextBatchWhole();
}

TEST_F(StoppedPageTest, FinishingInTheMiddleOfAColourDuplexPageAsRecoveryDoesEndsTheBatchCleanly) {
    ASSERT_NO_FATAL_FAILURE(readFirstRowsOfABusyPage(2));
    device->ScanComplete();
    device->FinishScan();
    EXPECT_FALSE(device->ProcessingRunning());
    expectNextBatchWhole();
}

} // namespace
} // namespace k3100::test
