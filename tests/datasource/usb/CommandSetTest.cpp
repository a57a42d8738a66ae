// The command set against a scripted device: the bytes each Exec operation puts on the wire, how it
// reads its data and status, and how transport failures come back.
#include "ScriptedDevice.h"

#include "COrvkQSCommands.h"
#include "ScannerErrors.h"

#include <gtest/gtest.h>

#include <memory>

namespace k3100 {
namespace {

class CommandSet : public ::testing::Test {
protected:
    std::shared_ptr<test::ScriptedDevice> device = std::make_shared<test::ScriptedDevice>();
    COrvkQSCommands scanner{SScannerDesc{kTransportUSB, 0xF3B1, 0x3100, device}};

    std::vector<int> block(size_t write) const {
        const auto& w = device->writes.at(write);
        return {w.begin() + 12, w.begin() + 24};
    }
};

TEST_F(CommandSet, SendOfMaximumLengthWritesContainerThenDataContainer) {
    device->replyStatus(0);
    std::vector<uint8_t> blockData(128, 0xAB);
    ASSERT_EQ(scanner.ExecSend(blockData, DataKind::MaxScanLength), kScanOk);
    ASSERT_EQ(device->writes.size(), 2u);
    EXPECT_EQ(device->writes[0].size(), 24u);
    EXPECT_EQ(block(0), (std::vector<int>{0x2A, 0, 0x8C, 0, 0x00, 0x01, 0, 0, 0x80, 0, 0, 0}));
    const auto& data = device->writes[1];
    ASSERT_EQ(data.size(), 140u);
    EXPECT_EQ((std::vector<int>(data.begin(), data.begin() + 8)),
              (std::vector<int>{0, 0, 0, 136, 0x00, 0x02, 0xB0, 0x00}));
    EXPECT_EQ(data[12], 0xAB);
    EXPECT_EQ(device->writePipes, (std::vector<uint8_t>{2, 2}));
    EXPECT_EQ(device->readSizes, (std::vector<size_t>{4}));
}

TEST_F(CommandSet, ImageReadReportsTheBytesThatArrived) {
    device->replyData(std::vector<uint8_t>(1000, 7));
    device->replyStatus(1);
    std::vector<uint8_t> buffer(2097152);
    uint32_t length = buffer.size();
    EXPECT_EQ(scanner.ExecRead(length, buffer.data(), DataKind::Image), kScanErrCheckCondition);
    EXPECT_EQ(length, 1000u);
    EXPECT_EQ(block(0), (std::vector<int>{0x28, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0, 0}));
    EXPECT_EQ(device->readSizes, (std::vector<size_t>{2097152, 4}));
}

TEST_F(CommandSet, FixedLengthReadsRefuseSmallBuffers) {
    uint8_t keys[4];
    uint32_t length = sizeof keys;
    EXPECT_EQ(scanner.ExecRead(length, keys, DataKind::PanelKeys), kScanErrIllegalRequest);
    EXPECT_TRUE(device->writes.empty());
}

TEST_F(CommandSet, RequestSenseUnpacksKeyCodeAndInformation) {
    device->replyData({0x70, 0, 0x60, 0, 0, 0x03, 0xE8, 6, 0, 0, 0, 0, 0x00, 0x00});
    device->replyStatus(0);
    uint32_t packed = 99, information = 99;
    bool endOfMedium = false;
    ASSERT_EQ(scanner.ExecRequestSense(&packed, &endOfMedium, &information), kScanOk);
    EXPECT_EQ(packed, 0u);
    EXPECT_TRUE(endOfMedium);
    EXPECT_EQ(information, 1000u);

    // Without the incorrect-length bit the information field is not reported.
    device->replyData({0x70, 0, 0x03, 0, 0, 0x03, 0xE8, 6, 0, 0, 0, 0, 0x81, 0x01});
    device->replyStatus(0);
    ASSERT_EQ(scanner.ExecRequestSense(&packed, &endOfMedium, &information), kScanOk);
    EXPECT_EQ(packed, 0x38101u);
    EXPECT_FALSE(endOfMedium);
    EXPECT_EQ(information, 0u);
}

TEST_F(CommandSet, InquiryCopiesTextsWithTerminator) {
    std::vector<uint8_t> data(64, 0);
    const std::string text = "ORVIK   K3100 Scanner   1.00";
    std::copy(text.begin(), text.end(), data.begin() + 8);
    device->replyData(data);
    device->replyStatus(0);
    std::array<char, 9> vendor{};
    std::array<char, 17> product{};
    std::array<char, 5> revision{};
    ASSERT_EQ(scanner.ExecInquiry(&vendor, &product, &revision), kScanOk);
    EXPECT_STREQ(vendor.data(), "ORVIK   ");
    EXPECT_STREQ(product.data(), "K3100 Scanner   ");
    EXPECT_STREQ(revision.data(), "1.00");
}

TEST_F(CommandSet, GetMemoryReadsInEightKiBCommands) {
    constexpr uint32_t kLength = 0x80000;
    for (int i = 0; i < 64; ++i) {
        device->replyData(std::vector<uint8_t>(8192, static_cast<uint8_t>(i)));
        device->replyStatus(0);
    }
    std::vector<uint8_t> memory(kLength);
    ASSERT_EQ(scanner.ExecGetMemory(0x10080000, kLength, memory.data()), kScanOk);
    ASSERT_EQ(device->writes.size(), 64u);
    EXPECT_EQ(block(0), (std::vector<int>{0x3B, 0, 0x10, 0x08, 0x00, 0x00, 0x00, 0x20, 0x00, 0, 0, 0}));
    EXPECT_EQ(block(63), (std::vector<int>{0x3B, 0, 0x10, 0x0F, 0xE0, 0x00, 0x00, 0x20, 0x00, 0, 0, 0}));
    EXPECT_EQ(memory[8192 * 63], 63);
}

TEST_F(CommandSet, GetMemoryStopsAtAShortBlock) {
    device->replyData(std::vector<uint8_t>(100));
    device->replyStatus(0);
    std::vector<uint8_t> memory(16384);
    EXPECT_EQ(scanner.ExecGetMemory(0x10080000, memory.size(), memory.data()), kScanErrTransferIO);
    EXPECT_EQ(device->writes.size(), 1u);
}

TEST_F(CommandSet, TransportFailuresAreDecodedAndEndTheCommand) {
    device->replyFailure(usb::UsbStatus::PipeStalled);
    EXPECT_EQ(scanner.ExecTestUnitReady(), kScanErrPipeStalled);

    device->replyFailure(usb::UsbStatus::Timeout);
    uint8_t ready = 0;
    uint32_t length = 1;
    EXPECT_EQ(scanner.ExecRead(length, &ready, DataKind::DocumentReady), kScanErrTimeout);
    EXPECT_EQ(device->readSizes.back(), 1u) << "no status read after a failed data phase";

    device->writeStatus = usb::UsbStatus::NoDevice;
    const size_t reads = device->readSizes.size();
    EXPECT_EQ(scanner.ExecStopBatch(), kScanErrDeviceNotFound);
    EXPECT_EQ(device->readSizes.size(), reads);
}

TEST_F(CommandSet, ShortStatusIsATransferError) {
    device->replyData({0, 0});
    EXPECT_EQ(scanner.ExecReserveUnit(), kScanErrTransferIO);
}

TEST_F(CommandSet, ClearEndpointsClearsInThenOut) {
    EXPECT_EQ(scanner.ClearEndpoints(), kScanOk);
    EXPECT_EQ(device->clearedPipes, (std::vector<uint8_t>{1, 2}));

    device->clearedPipes.clear();
    device->clearStatus = usb::UsbStatus::NoDevice;
    EXPECT_EQ(scanner.ClearEndpoints(), kScanErrDeviceNotFound);
    EXPECT_EQ(device->clearedPipes, (std::vector<uint8_t>{1})) << "out pipe untouched after a failure";
}

TEST_F(CommandSet, WindowScanModeAndAdjustPayloads) {
    for (int i = 0; i < 3; ++i)
        device->replyStatus(0);
    SScanWindow window;
    window.xResolution = 300;
    window.yResolution = 300;
    window.width = 10208;
    window.length = 13200;
    window.composition = usb::kCompositionGrey;
    window.bitsPerPixel = 8;
    EXPECT_EQ(scanner.ExecSetWindow(window), kScanOk);
    EXPECT_EQ(scanner.ExecDefineScanMode({1, 2, 1, 1, 0, 0}), kScanOk);
    EXPECT_EQ(scanner.ExecSetAdjustData({1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}), kScanOk);
    ASSERT_EQ(device->writes.size(), 6u);
    EXPECT_EQ(device->writes[1].size(), 12u + 52u);
    EXPECT_EQ(device->writes[3].size(), 12u + 20u);
    EXPECT_EQ(device->writes[3][12 + 10], 0x60);
    EXPECT_EQ(device->writes[5].size(), 12u + 32u);
    EXPECT_EQ(device->writes[5][12 + 16], 6);
}

TEST_F(CommandSet, SessionOpensAndReportsLocation) {
    EXPECT_EQ(scanner.OpenSession(), 0);
    EXPECT_EQ(scanner.GetState(), CDocScanner::kSessionOpen);
    EXPECT_EQ(scanner.GetLocationID(), 0x14200000u);
    EXPECT_EQ(scanner.CloseSession(), 0);
    EXPECT_FALSE(device->isOpen());

    COrvkQSCommands none{SScannerDesc{}};
    EXPECT_EQ(none.OpenSession(), static_cast<int>(kScanErrDeviceNotFound));
    EXPECT_EQ(none.ExecTestUnitReady(), kScanErrDeviceNotFound);
}

} // namespace
} // namespace k3100
