// A scanner to talk to: an in-process emulator and the data source's command set connected to it.
#pragma once

#include "Emulator.h"
#include "Sheet.h"

#include "COrvkQSCommands.h"
#include "ResultDecoding.h"
#include "ScannerErrors.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace k3100::test {

class EmulatorTest : public ::testing::Test {
protected:
    emu::Emulator emulator;
    std::unique_ptr<COrvkQSCommands> scanner = open();

    std::unique_ptr<COrvkQSCommands> open() {
        auto s = std::make_unique<COrvkQSCommands>(
            SScannerDesc{kTransportUSB, emulator.vendorId(), emulator.productId(), emulator.connect()});
        EXPECT_EQ(s->OpenSession(), 0);
        return s;
    }

    // The error a check condition stands for, as the device object finds it.
    uint32_t senseError(COrvkQSCommands& s) {
        uint32_t packed = 0;
        EXPECT_EQ(s.ExecRequestSense(&packed, nullptr, nullptr), kScanOk);
        return DecodeSense(packed);
    }
    uint32_t senseError() { return senseError(*scanner); }

    static usb::SScanWindow window(uint16_t x, uint16_t y, uint8_t composition, uint32_t length = 13200,
                                   uint8_t bits = 8) {
        usb::SScanWindow w;
        w.xResolution = x;
        w.yResolution = y;
        w.width = 10208;
        w.length = length;
        w.composition = composition;
        w.bitsPerPixel = bits;
        return w;
    }

    void setWindows(const usb::SScanWindow& w) {
        usb::SScanWindow back = w;
        back.identifier = 1;
        ASSERT_EQ(scanner->ExecSetWindow(w), kScanOk);
        ASSERT_EQ(scanner->ExecSetWindow(back), kScanOk);
    }

    void setFeeding(uint8_t sideSelection, bool continuous, bool detectSize = false) {
        ASSERT_EQ(
            scanner->ExecDefineScanMode({1, sideSelection, uint8_t(continuous), uint8_t(detectSize), 0, 0}),
            kScanOk);
    }

    struct Page {
        std::vector<uint8_t> bytes;
        uint32_t lastRequested = 0;
        uint32_t information = 0; // residue reported with the end of the page
        bool ended = false;
    };

    // Reads image data until the short read that ends the page, as the reader thread does.
    Page readPage(uint32_t chunk = 2097152) {
        Page page;
        std::vector<uint8_t> buffer(chunk);
        for (int guard = 0; guard < 10000; ++guard) {
            uint32_t length = chunk;
            const uint32_t result = scanner->ExecRead(length, buffer.data(), DataKind::Image);
            page.bytes.insert(page.bytes.end(), buffer.begin(), buffer.begin() + length);
            if (result == kScanOk)
                continue;
            EXPECT_EQ(result, kScanErrCheckCondition);
            uint32_t packed = 1;
            EXPECT_EQ(scanner->ExecRequestSense(&packed, nullptr, &page.information), kScanOk);
            EXPECT_EQ(packed, 0u) << "page ended by an error";
            page.lastRequested = chunk;
            page.ended = true;
            break;
        }
        return page;
    }

    static emu::Sheet sheet(const char* spec = "gen:blank") {
        std::string error;
        auto s = emu::sheetFromSpec(spec, error);
        EXPECT_TRUE(s) << error;
        return *s;
    }
};

} // namespace k3100::test
