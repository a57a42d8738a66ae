// Batches through the device object against the emulated scanner: pages cut into library bands and
// delivered line by line, the reader's memory throttle, device faults, aborts from the host and from
// the panel key, and short pages.
#include "DeviceFixture.h"

namespace k3100::test {
namespace {

constexpr uint32_t kRow = 2552; // raw grey line of one side at 300 dpi across

TEST_F(DeviceTest, SimplexBatchDeliversEachPageInBandsAndEndsTheBatch) {
    load(3);
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    EXPECT_EQ(p.opticalXRes, 300u);
    EXPECT_EQ(p.opticalYRes, 150u);
    EXPECT_EQ(p.opticalLines, 1650u);
    EXPECT_EQ(p.outLines, 1650u);
    for (int page = 0; page < 3; ++page) {
        library.clearLog();
        const Side side = readSide();
        ASSERT_EQ(side.result, 0) << "page " << page;
        EXPECT_EQ(side.lines, 1650u);
        EXPECT_EQ(side.param.outLines, 1650u);
        // 2 MiB of 2552-byte lines is 821 lines a band.
        EXPECT_EQ(library.calls(), (std::vector<std::string>{"First", "Middle", "Last"}));
    }
    Side after = readSide();
    EXPECT_EQ(static_cast<uint32_t>(after.result), kScanErrEndOfBatch);
    EXPECT_EQ(device->FinishScan(), 0);
    expectIdle();
    EXPECT_EQ(device->BufferedBytes(), 0u);
}

TEST_F(DeviceTest, ClosingTheSessionHandsTheLibrarysKeptBuffersBack) {
    library.clearLog();
    EXPECT_EQ(device->CloseSession(), 0);
    EXPECT_EQ(library.calls(), std::vector<std::string>{"ReleaseBuffers"});
}

TEST_F(DeviceTest, DuplexBatchDeliversFrontThenBackOfEverySheet) {
    load(2, "gen:ramp,gen:blank");
    tagScanParam p = letterParams(true, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    for (int sheet = 0; sheet < 2; ++sheet) {
        const Side front = readSide(kRow, 500);
        const Side back = readSide(kRow, 500);
        ASSERT_EQ(front.result, 0);
        ASSERT_EQ(back.result, 0);
        // Both sides carry the back sensor's lag in lines on top of the page.
        EXPECT_EQ(front.lines, 1650u + 36u);
        EXPECT_EQ(back.lines, front.lines);
        EXPECT_NE(front.bytes, back.bytes);
    }
    EXPECT_EQ(library.lastDuplex.InImageInfo.lWidth, 2552);
    EXPECT_EQ(static_cast<uint32_t>(readSide().result), kScanErrEndOfBatch);
    EXPECT_EQ(device->FinishScan(), 0);
    expectIdle();
}

TEST_F(DeviceTest, BandsTakeRawPiecesWholeAndInPartOverALongPage) {
    // A colour page of some thirty raw pieces: bands end inside pieces and free the ones they use up,
    // many times over (the sanitizers catch any look at a piece once it is freed).
    load(1, "gen:ramp,gen:blank");
    tagScanParam p = letterParams(true, true);
    p.pixelMode = 2;
    p.resolution = 300;
    ASSERT_EQ(device->StartScan(&p), 0);
    const Side front = readSide(3 * kRow, 300);
    const Side back = readSide(3 * kRow, 300);
    ASSERT_EQ(front.result, 0);
    ASSERT_EQ(back.result, 0);
    EXPECT_EQ(front.lines, 3300u + 73u);
    EXPECT_EQ(back.lines, front.lines);
    EXPECT_NE(front.bytes, back.bytes);
    EXPECT_EQ(device->BufferedBytes(), 0u);
}

TEST_F(DeviceTest, SinglePageFittingOneBandTakesTheWholePageCall) {
    load(1);
    tagScanParam p = letterParams(false, false);
    p.scanLength = 1200; // one inch: 150 lines
    ASSERT_EQ(device->StartScan(&p), 0);
    const Side side = readSide();
    EXPECT_EQ(side.result, 0);
    EXPECT_EQ(side.lines, 150u);
    EXPECT_EQ(library.calls().back(), "FilterSimplex");
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, PageShorterThanAnnouncedIsCompletedWithAppendedLines) {
    library.extraOffset = 40; // the page expects 40 lines more than the scanner sends
    load(1);
    tagScanParam p = letterParams(true, false);
    ASSERT_EQ(device->StartScan(&p), 0);
    const Side front = readSide();
    const Side back = readSide();
    ASSERT_EQ(front.result, 0);
    ASSERT_EQ(back.result, 0);
    EXPECT_EQ(library.appendedHeights, std::vector<int32_t>{40});
    EXPECT_EQ(library.calls().back(), "LastAppended");
    EXPECT_EQ(front.lines, 1650u + 36u + 40u);
    EXPECT_EQ(back.lines, front.lines);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, ReaderPausesAboveTheQueueLimitAndResumesWhenPagesAreTaken) {
    COrvkQS::Limits limits;
    limits.pauseAbove = 6u << 20; // a little over one page of raw data
    limits.resumeBelow = 3u << 20;
    limits.pagesAhead = 4; // the byte limit, not the page limit, is what stops it here
    device->setLimits(limits);
    load(4);
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    ASSERT_EQ(readSide().result, 0);
    ASSERT_TRUE(eventually([&] { return device->ReaderPaused(); }));
    // The queue is checked between pages, so it may pass the limit by at most one page.
    EXPECT_LE(device->BufferedBytes(), limits.pauseAbove + 1650u * kRow);
    EXPECT_GT(emulator.sheetsInFeeder(), 0u);
    for (int page = 1; page < 4; ++page)
        ASSERT_EQ(readSide().result, 0) << page;
    EXPECT_EQ(static_cast<uint32_t>(readSide().result), kScanErrEndOfBatch);
    EXPECT_EQ(emulator.sheetsInFeeder(), 0u);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, FinishingWhileTheReaderIsPausedDoesNotHang) {
    ASSERT_NO_FATAL_FAILURE(pauseReader());
    EXPECT_EQ(device->FinishScan(), 0);
    expectIdle();
}

struct FaultCase {
    const char* name;
    const char* fault;
    uint32_t error;
};
void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.fault;
}

class DeviceFaultTest : public DeviceTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(DeviceFaultTest, DeviceFaultDuringAPageEndsWithItsCodeAndJoinedThreads) {
    load(2);
    tagScanParam p = letterParams(true, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    ASSERT_EQ(emulator.control(std::string("fault ") + GetParam().fault), "ok");
    Side front = readSide();
    Side back = front.result == 0 ? readSide() : front;
    const uint32_t result = static_cast<uint32_t>(front.result != 0 ? front.result : back.result);
    EXPECT_EQ(result, GetParam().error);
    device->FinishScan();
    expectIdle();
    EXPECT_EQ(device->BufferedBytes(), 0u);
    EXPECT_FALSE(library.pageLeftOpen()) << "the library would keep the stopped page's bands";
}

INSTANTIATE_TEST_SUITE_P(Faults, DeviceFaultTest,
                         ::testing::Values(FaultCase{"Jam", "jam@read:3", kScanErrPaperJam},
                                           FaultCase{"DoubleFeed", "double-feed@read:2", kScanErrDoubleFeed},
                                           FaultCase{"CoverOpen", "cover-open@read:4", kScanErrCoverOpen},
                                           FaultCase{"Unplugged", "gone@read:3", kScanErrDeviceNotFound},
                                           FaultCase{"Timeout", "timeout@read:3", kScanErrTimeout}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceTest, NoPaperOnTheFirstSheetIsAnErrorNotTheEndOfTheBatch) {
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    EXPECT_EQ(static_cast<uint32_t>(readSide().result), kScanErrNoPaper);
    device->FinishScan();
    expectIdle();
}

TEST_F(DeviceTest, LibraryFailureEndsThePageWithTheLibraryCode) {
    library.failOn = "Middle";
    library.failCall = 1;
    load(2);
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    EXPECT_EQ(static_cast<uint32_t>(readSide().result), kScanErrImageLibrary);
    device->FinishScan();
    expectIdle();
    const std::vector<std::string> calls = library.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"First", "Middle", "AbandonPage"}));
}

TEST_F(DeviceTest, FinishingDuringAPageLeavesNoPageOpenInTheLibrary) {
    load(2);
    tagScanParam p = letterParams(true, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    ASSERT_EQ(device->ScanPage(&p), 0);
    std::vector<uint8_t> rows(kRow * 10);
    uint32_t count = 10;
    ASSERT_EQ(device->ReadLines(rows.data(), kRow, &count), 0);
    device->ScanComplete();
    device->FinishScan();
    expectIdle();
    EXPECT_FALSE(library.pageLeftOpen());
}

TEST_F(DeviceTest, HostAbortDuringABatchCancelsAndTheNextStartIsClean) {
    load(3);
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    ASSERT_EQ(readSide().result, 0);
    device->AbortScan();
    Side side = readSide();
    while (side.result == 0)
        side = readSide(); // pages already queued before the abort reached the data
    EXPECT_EQ(static_cast<uint32_t>(side.result), kScanErrCancelled);
    EXPECT_GT(emulator.sheetsInFeeder(), 0u);
    device->FinishScan();
    expectIdle();
    EXPECT_FALSE(library.pageLeftOpen());
    load(1);
    tagScanParam again = letterParams(false, false);
    EXPECT_EQ(device->StartScan(&again), 0);
    EXPECT_EQ(device->FinishScan(), 0);
}

TEST_F(DeviceTest, AbortAfterTheReaderEndedIsStillHonoured) {
    load(1);
    tagScanParam p = letterParams(false, false);
    ASSERT_EQ(device->StartScan(&p), 0);
    ASSERT_EQ(device->ScanPage(&p), 0);
    ASSERT_TRUE(eventually([&] { return !device->ReaderRunning() && !device->ProcessingRunning(); }));
    std::vector<uint8_t> rows(kRow * 4000);
    uint32_t count = 4000;
    ASSERT_EQ(device->ReadLines(rows.data(), kRow, &count), 0); // the whole side
    device->AbortScan();
    count = 10;
    EXPECT_EQ(static_cast<uint32_t>(device->ReadLines(rows.data(), kRow, &count)), kScanErrCancelled);
    EXPECT_EQ(count, 0u);
    device->FinishScan();
}

TEST_F(DeviceTest, PanelKeyAbortsTheBatchAndStopsFeeding) {
    COrvkQS::Limits limits;
    limits.keyPoll = std::chrono::milliseconds(0);
    device->setLimits(limits);
    device->SetEzKeyAbort(2);
    load(4);
    tagScanParam p = letterParams(false, true);
    ASSERT_EQ(device->StartScan(&p), 0);
    emulator.pressKey(2);
    Side side = readSide();
    while (side.result == 0)
        side = readSide();
    EXPECT_EQ(static_cast<uint32_t>(side.result), kScanErrCancelled);
    EXPECT_GE(emulator.sheetsInFeeder(), 2u);
    uint32_t state = 0;
    EXPECT_EQ(device->GetStatus("AbortState", &state), 0);
    EXPECT_EQ(state, 2u);
    device->FinishScan();
    expectIdle();
    EXPECT_FALSE(library.pageLeftOpen());
}

} // namespace
} // namespace k3100::test
