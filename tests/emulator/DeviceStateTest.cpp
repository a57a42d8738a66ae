// State the emulated scanner keeps between commands: panel keys, paper present, service counters, the
// light-curve memory, and one state seen by every connection.
#include "EmulatorTest.h"

#include "LightCurveBlock.h"

namespace k3100::test {
namespace {

class DeviceState : public EmulatorTest {};

uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}

TEST_F(DeviceState, PanelKeyPressIsReportedOnce) {
    emulator.pressKey(1);
    EXPECT_EQ(emulator.control("press 3"), "ok");
    uint8_t keys[8];
    uint32_t length = sizeof keys;
    ASSERT_EQ(scanner->ExecRead(length, keys, DataKind::PanelKeys), kScanOk);
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(keys[0], 0x84);
    ASSERT_EQ(scanner->ExecRead(length, keys, DataKind::PanelKeys), kScanOk);
    EXPECT_EQ(keys[0], 0);
    EXPECT_EQ(emulator.control("press 4"), "error: keys are 1 to 3");
}

TEST_F(DeviceState, PaperPresenceAndDocumentCheck) {
    uint8_t ready = 9;
    uint32_t length = 1;
    ASSERT_EQ(scanner->ExecRead(length, &ready, DataKind::DocumentReady), kScanOk);
    EXPECT_EQ(ready, 0);
    EXPECT_EQ(scanner->ExecObjectPosition(PositionMode::DocumentCheck), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrNoPaper);

    EXPECT_EQ(emulator.control("load gen:ramp 2"), "ok");
    ASSERT_EQ(scanner->ExecRead(length, &ready, DataKind::DocumentReady), kScanOk);
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(scanner->ExecObjectPosition(PositionMode::DocumentCheck), kScanOk);
    EXPECT_EQ(scanner->ExecObjectPosition(PositionMode::ClearError), kScanOk);
}

TEST_F(DeviceState, ServiceBlockIsWrittenBackAndCountsSheets) {
    std::array<uint8_t, 128> block{};
    uint32_t length = block.size();
    ASSERT_EQ(scanner->ExecRead(length, block.data(), DataKind::ServiceBlock), kScanOk);
    EXPECT_EQ(std::string(block.begin() + 108, block.begin() + 124), "K31EMU0000000001");
    const std::string serial = "SERIAL-TEST-0042";
    std::copy(serial.begin(), serial.end(), block.begin() + 108);
    block[71] = 5; // roller reference
    ASSERT_EQ(scanner->ExecSend(block, DataKind::ServiceBlock), kScanOk);

    emulator.loadSheet(sheet());
    setWindows(window(300, 100, usb::kCompositionGrey, 1200));
    const uint8_t front[] = {0};
    ASSERT_EQ(scanner->ExecScan(front), kScanOk);

    std::array<uint8_t, 128> after{};
    ASSERT_EQ(scanner->ExecRead(length, after.data(), DataKind::ServiceBlock), kScanOk);
    EXPECT_EQ(std::string(after.begin() + 108, after.begin() + 124), serial);
    EXPECT_EQ(after[71], 5);
    EXPECT_EQ(after[7], 1) << "total count";

    EXPECT_EQ(scanner->ExecSend(std::span(block).first(100), DataKind::ServiceBlock), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrIllegalRequest);
}

TEST_F(DeviceState, LightCurveBlockReadsWholeAndParses) {
    std::vector<uint8_t> block(emu::kLightCurveSize);
    ASSERT_EQ(scanner->ExecGetMemory(emu::kLightCurveAddress, block.size(), block.data()), kScanOk);
    EXPECT_NE(le32(&block[0]), 0xFFFFFFFFu);
    const uint32_t records = le32(&block[8]);
    ASSERT_GT(records, 0u);
    size_t at = 12;
    int usableColourFront300 = 0;
    for (uint32_t r = 0; r < records; ++r) {
        ASSERT_LT(at + 36, block.size());
        const uint16_t header = le16(&block[at]);
        ASSERT_GE(header, 34);
        const uint16_t spp = le16(&block[at + 4]);
        const uint16_t bits = le16(&block[at + 6]);
        EXPECT_TRUE(bits == 8 || bits == 16 || bits == 32);
        const uint32_t count = le32(&block[at + 12]);
        EXPECT_EQ(le32(&block[at + 20]), count * spp * bits / 8);
        if (le16(&block[at + 2]) == 0 && spp == 3 && le16(&block[at + 24]) == 300 &&
            (le32(&block[at + 28]) & 1) && block[at + 32] == 0 && block[at + 33] == 0)
            ++usableColourFront300;
        at += header + le32(&block[at + 20]);
        ASSERT_LE(at, block.size());
    }
    EXPECT_EQ(usableColourFront300, 1);

    uint8_t byte;
    EXPECT_EQ(scanner->ExecGetMemory(emu::kLightCurveAddress + emu::kLightCurveSize, 1, &byte),
              kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrIllegalRequest);
}

TEST_F(DeviceState, EveryConnectionSeesTheSameScanner) {
    auto other = open();
    std::array<uint8_t, 128> block{};
    uint32_t length = block.size();
    ASSERT_EQ(scanner->ExecRead(length, block.data(), DataKind::MaxScanLength), kScanOk);
    block[19] = 0x42;
    ASSERT_EQ(scanner->ExecSend(block, DataKind::MaxScanLength), kScanOk);
    std::array<uint8_t, 128> seen{};
    ASSERT_EQ(other->ExecRead(length, seen.data(), DataKind::MaxScanLength), kScanOk);
    EXPECT_EQ(seen[19], 0x42);
}

TEST_F(DeviceState, ControlsRejectBadInput) {
    EXPECT_EQ(emulator.control("load /nonexistent.tif"), "error: /nonexistent.tif: cannot be read");
    EXPECT_EQ(emulator.control("load gen:ramp 0"), "error: bad sheet count \"0\"");
    EXPECT_EQ(emulator.control("fault melt"), "error: unknown fault \"melt\"");
    EXPECT_EQ(emulator.control("fault jam@print:1"), "error: unknown command \"print\"");
    EXPECT_EQ(emulator.control("dance"), "error: unknown control \"dance\"");
    const std::string badCounters = "error: counters are TOTAL ROLLER PAD, the last two at most the total";
    EXPECT_EQ(emulator.control("counters 10 11 0"), badCounters);
    EXPECT_EQ(emulator.control("counters 10 5"), badCounters);
    EXPECT_EQ(emulator.control("counters 10 5 2"), "ok");
    EXPECT_NE(emulator.control("status").find(" total=10 roller=5 pad=2 "), std::string::npos);
    EXPECT_EQ(emulator.sheetsInFeeder(), 0u);
    EXPECT_EQ(emulator.control("load gen:blank,gen:ramp 2"), "ok");
    EXPECT_EQ(emulator.control("status").rfind("sheets=2 ", 0), 0u);
}

} // namespace
} // namespace k3100::test
