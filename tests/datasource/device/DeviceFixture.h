// An opened device object on the in-process emulated scanner with the stand-in page library, and the
// host's side of a batch: scan parameters, reading a whole side, waiting on a condition.
#pragma once

#include "COrvkQS.h"
#include "FakeImageLibrary.h"

#include "Emulator.h"
#include "ScannerErrors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace k3100::test {

// Grey, 150 dpi, a letter page: 1650 raw lines of 2552 bytes per side, three library bands.
inline tagScanParam letterParams(bool duplex, bool batch) {
    tagScanParam p{};
    p.resolution = 150;
    p.scanWidth = 10200;
    p.scanLength = 13200;
    p.pixelMode = 1;
    p.duplex = duplex ? 2 : 0;
    p.batch = batch;
    p.rotation = 1;
    // Brightness 0 tells the page library to apply these curves as they are: give it neutral ones.
    for (auto& table : p.toneTables)
        for (int v = 0; v < 256; ++v)
            table[v] = static_cast<std::uint8_t>(v);
    return p;
}

// Waits for a condition set by another thread; generous bound, never a fixed sleep.
inline bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Puts sheets made from spec into the emulated scanner's feeder.
inline void loadSheets(emu::Emulator& emulator, int sheets, const char* spec) {
    std::string error;
    auto sheet = emu::sheetFromSpec(spec, error);
    ASSERT_TRUE(sheet) << error;
    emulator.loadSheet(*sheet, sheets);
}

struct Side {
    int result = 0;
    tagScanParam param{};
    std::vector<uint8_t> bytes;
    uint32_t lines = 0;
};

// ScanPage, then ReadLines until the side ends or fails, then ScanComplete.
inline Side readSide(COrvkQS& device, uint32_t rowBytes, uint32_t linesPerCall) {
    Side side;
    side.result = device.ScanPage(&side.param);
    if (side.result != 0)
        return side;
    std::vector<uint8_t> block(size_t(rowBytes) * linesPerCall);
    for (int guard = 0; guard < 100000; ++guard) {
        uint32_t count = linesPerCall;
        side.result = device.ReadLines(block.data(), rowBytes, &count);
        side.bytes.insert(side.bytes.end(), block.begin(), block.begin() + size_t(count) * rowBytes);
        side.lines += count;
        if (side.result != 0 || count == 0)
            break;
    }
    device.ScanComplete();
    return side;
}

class DeviceTest : public ::testing::Test {
protected:
    emu::Emulator emulator;
    FakeImageLibrary library;
    std::unique_ptr<COrvkQS> device = open();
    double now = 1000; // s, the device's clock

    // An opened device on `usb`, or on a new connection to the emulator.
    std::unique_ptr<COrvkQS> open(std::shared_ptr<usb::UsbDevice> usb = nullptr) {
        auto d =
            std::make_unique<COrvkQS>(SScannerDesc{kTransportUSB, emulator.vendorId(), emulator.productId(),
                                                   usb ? std::move(usb) : emulator.connect()},
                                      library);
        EXPECT_EQ(d->OpenSession(), 0);
        d->setClock([this] { return now; });
        return d;
    }

    void load(int sheets, const char* spec = "gen:ramp") { loadSheets(emulator, sheets, spec); }
    Side readSide(uint32_t rowBytes = 2552, uint32_t linesPerCall = 300) {
        return test::readSide(*device, rowBytes, linesPerCall);
    }

    // A three-sheet batch whose reader has paused on its queue limit (above 3 MiB, resuming below 1 MiB).
    void pauseReader(COrvkQS::Limits limits = {}) {
        limits.pauseAbove = 3u << 20;
        limits.resumeBelow = 1u << 20;
        device->setLimits(limits);
        load(3);
        tagScanParam p = letterParams(false, true);
        ASSERT_EQ(device->StartScan(&p), 0);
        ASSERT_EQ(device->ScanPage(&p), 0);
        ASSERT_TRUE(eventually([&] { return device->ReaderPaused(); }));
    }

    void expectIdle() {
        EXPECT_FALSE(device->ReaderRunning());
        EXPECT_TRUE(eventually([&] { return !device->ProcessingRunning(); }));
    }
};

} // namespace k3100::test
