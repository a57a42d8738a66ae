// Continuous feeding reads the next sheet while the current one is processed, and no further: the order
// of the sheets, a stop (from the host or the panel key), a jam and the end of the paper while a sheet
// is read ahead, and closing the session with one queued. The page library holds each page at its first band
// until released, so the reader is known to run ahead of it.
#include "DeviceFixture.h"

#include <future>

namespace k3100::test {
namespace {

constexpr uint32_t kReadsPerPage = 3; // 1650 lines of 2552 bytes in 2 MiB reads

// Passes every transfer on; calls `onImageRead` after each image-sized read once armed.
class WatchedDevice final : public usb::UsbDevice {
public:
    explicit WatchedDevice(std::shared_ptr<usb::UsbDevice> inner) : inner(std::move(inner)) {}
    std::function<void(int)> onImageRead; // with the count of image reads since armed

    uint16_t vendorId() const override { return inner->vendorId(); }
    uint16_t productId() const override { return inner->productId(); }
    usb::UsbStatus open() override { return inner->open(); }
    void close() override { inner->close(); }
    bool isOpen() const override { return inner->isOpen(); }
    usb::UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) override {
        return inner->bulkWrite(pipe, data, timeoutMs);
    }
    usb::UsbStatus bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                            uint32_t timeoutMs) override {
        const usb::UsbStatus status = inner->bulkRead(pipe, buffer, received, timeoutMs);
        if (onImageRead && buffer.size() >= 131072)
            onImageRead(++imageReads);
        return status;
    }
    usb::UsbStatus clearHalt(uint8_t pipe) override { return inner->clearHalt(pipe); }
    uint32_t locationId() const override { return inner->locationId(); }

private:
    std::shared_ptr<usb::UsbDevice> inner;
    int imageReads = 0;
};

class ReadAheadTest : public DeviceTest {
protected:
    std::shared_ptr<WatchedDevice> watched = std::make_shared<WatchedDevice>(emulator.connect());

    ReadAheadTest() { device = open(watched); }
    ~ReadAheadTest() override { library.release(); } // a failed test must not leave a page held

    // Starts a batch of `sheets` whose first page waits in the library; `onImageRead` watches the
    // reader's image reads from the first on (calibration is over by then).
    void startHeld(int sheets, bool sizing = false, std::function<void(int)> onImageRead = {}) {
        loadSheets(emulator, 1, "gen:ramp");
        loadSheets(emulator, sheets - 1, "gen:blank");
        tagScanParam p = letterParams(false, true);
        p.deskew = sizing;
        ASSERT_EQ(device->StartScan(&p), 0);
        watched->onImageRead = std::move(onImageRead); // before the reader thread exists
        library.hold();
        const int begun = library.pagesBegun();
        firstSheet = std::async(std::launch::async, [this] { return readSide(); });
        ASSERT_TRUE(eventually([&] { return library.pagesBegun() == begun + 1; }));
    }

    std::future<Side> firstSheet;
};

TEST_F(ReadAheadTest, NextSheetIsReadWhileTheCurrentIsProcessedAndNoFurther) {
    for (bool sizing : {false, true}) {
        SCOPED_TRACE(sizing ? "deskew: whole pages queued" : "pages queued as they arrive");
        ASSERT_NO_FATAL_FAILURE(startHeld(4, sizing));
        // The reader may still show the pause it took before the first page was taken; it is held for
        // good once the page in process and the one read ahead are both queued.
        const auto queued = [&] {
            uint32_t count = 0;
            return device->GetStatus("BatchTransferCount", &count) == 0 ? count : 0u;
        };
        ASSERT_TRUE(eventually([&] { return device->ReaderPaused() && queued() == 2u; }));
        EXPECT_EQ(emulator.sheetsInFeeder(), 2u) << "only the second sheet is read ahead";
        library.release();
        const Side first = firstSheet.get();
        ASSERT_EQ(first.result, 0);
        std::vector<Side> rest;
        for (Side side = readSide(); side.result == 0; side = readSide())
            rest.push_back(side);
        ASSERT_EQ(rest.size(), 3u);
        EXPECT_EQ(emulator.sheetsInFeeder(), 0u);
        // The ramp came first and stays first; the blank sheets follow it.
        EXPECT_NE(first.bytes, rest[0].bytes);
        EXPECT_EQ(rest[0].bytes, rest[2].bytes);
        EXPECT_EQ(device->FinishScan(), 0);
        expectIdle();
        EXPECT_EQ(device->BufferedBytes(), 0u);
    }
}

TEST_F(ReadAheadTest, StopWhileTheNextSheetIsReadEjectsItAndFeedsNoMore) {
    // The stop arrives in the middle of the second sheet, after its first read.
    ASSERT_NO_FATAL_FAILURE(startHeld(3, false, [&](int reads) {
        if (reads == kReadsPerPage + 1)
            device->AbortScan();
    }));
    ASSERT_TRUE(eventually([&] { return !device->ReaderRunning(); }));
    EXPECT_EQ(emulator.sheetsInFeeder(), 1u);
    library.release();
    Side side = firstSheet.get();
    while (side.result == 0)
        side = readSide();
    EXPECT_EQ(static_cast<uint32_t>(side.result), kScanErrCancelled);
    uint32_t state = 0;
    EXPECT_EQ(device->GetStatus("AbortState", &state), 0);
    EXPECT_EQ(state, 2u);
    device->FinishScan();
    expectIdle();
    EXPECT_EQ(device->BufferedBytes(), 0u);
    EXPECT_FALSE(library.pageLeftOpen());
    EXPECT_EQ(emulator.sheetsInFeeder(), 1u) << "the third sheet stays in the feeder";
}

TEST_F(ReadAheadTest, PanelKeyStillStopsTheBatchWhileTheReaderWaits) {
    COrvkQS::Limits limits;
    limits.keyPoll = std::chrono::milliseconds(0);
    device->setLimits(limits);
    device->SetEzKeyAbort(2);
    ASSERT_NO_FATAL_FAILURE(startHeld(3));
    ASSERT_TRUE(eventually([&] { return device->ReaderPaused(); }));
    emulator.pressKey(2);
    ASSERT_TRUE(eventually([&] { return !device->ReaderRunning(); }));
    library.release();
    Side side = firstSheet.get();
    while (side.result == 0)
        side = readSide();
    EXPECT_EQ(static_cast<uint32_t>(side.result), kScanErrCancelled);
    device->FinishScan();
    expectIdle();
    EXPECT_EQ(emulator.sheetsInFeeder(), 1u) << "no sheet is fed after the key";
}

TEST_F(ReadAheadTest, JamOnTheSheetReadAheadIsReportedForThatSheet) {
    // The second sheet jams at its second read.
    ASSERT_NO_FATAL_FAILURE(startHeld(3, false, [&](int reads) {
        if (reads == kReadsPerPage + 1)
            emulator.control("fault jam@read:1");
    }));
    ASSERT_TRUE(eventually([&] { return !device->ReaderRunning(); }));
    library.release();
    const Side first = firstSheet.get();
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.lines, 1650u);
    EXPECT_EQ(static_cast<uint32_t>(readSide().result), kScanErrPaperJam);
    device->FinishScan();
    expectIdle();
    EXPECT_EQ(device->BufferedBytes(), 0u);
}

TEST_F(ReadAheadTest, EndOfPaperBehindTheSheetReadAheadEndsTheBatchAfterIt) {
    ASSERT_NO_FATAL_FAILURE(startHeld(2));
    ASSERT_TRUE(eventually([&] { return device->ReaderPaused(); }));
    EXPECT_TRUE(device->ReaderRunning()) << "the end of the paper is not known before the sheet is taken";
    library.release();
    ASSERT_EQ(firstSheet.get().result, 0);
    const Side second = readSide();
    EXPECT_EQ(second.result, 0);
    EXPECT_EQ(second.lines, 1650u);
    EXPECT_EQ(static_cast<uint32_t>(readSide().result), kScanErrEndOfBatch);
    EXPECT_EQ(device->FinishScan(), 0);
    expectIdle();
}

TEST_F(ReadAheadTest, ClosingTheSessionMidSheetEndsBothThreadsAndDropsTheSheetReadAhead) {
    ASSERT_NO_FATAL_FAILURE(startHeld(3));
    ASSERT_TRUE(eventually([&] { return device->ReaderPaused(); }));
    library.release();
    firstSheet.wait(); // the host has the first sheet's lines but has not finished the batch
    EXPECT_GT(device->BufferedBytes(), 0u);
    EXPECT_EQ(device->CloseSession(), 0);
    expectIdle();
    EXPECT_EQ(device->BufferedBytes(), 0u);
    EXPECT_FALSE(library.pageLeftOpen());
    EXPECT_EQ(emulator.sheetsInFeeder(), 1u);
}

} // namespace
} // namespace k3100::test
