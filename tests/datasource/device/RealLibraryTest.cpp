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

} // namespace
} // namespace k3100::test
