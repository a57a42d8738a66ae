// The emulated scanner's transport: containers it refuses, transport faults and how the command set
// recovers from them (stall clearing, time-outs), sense decoding, reservations and shared state.
#include "EmulatorTest.h"

#include "FaultPlan.h"

#include "CommandWire.h"
#include "UsbDiscovery.h"

#include <thread>

namespace k3100::test {
namespace {

using usb::UsbStatus;

class Protocol : public EmulatorTest {
protected:
    std::shared_ptr<usb::UsbDevice> raw = emulator.connect();
    void SetUp() override { ASSERT_EQ(raw->open(), UsbStatus::Ok); }

    uint32_t status() {
        uint8_t bytes[4] = {9, 9, 9, 9};
        size_t got = 0;
        EXPECT_EQ(raw->bulkRead(usb::kBulkInPipe, bytes, got, 1000), UsbStatus::Ok);
        EXPECT_EQ(got, 4u);
        return (uint32_t(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
    }
    void arm(const char* spec) {
        std::string error;
        const auto parsed = emu::parseFaultSpec(spec, error);
        ASSERT_TRUE(parsed) << error;
        emulator.armFault(*parsed);
    }
};

TEST_F(Protocol, InquiryIdentifiesTheScanner) {
    std::array<char, 9> vendor{};
    std::array<char, 17> product{};
    std::array<char, 5> revision{};
    ASSERT_EQ(scanner->ExecInquiry(&vendor, &product, &revision), kScanOk);
    EXPECT_STREQ(product.data(), "K3100 Scanner   ");
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanOk);
    EXPECT_NE(scanner->GetLocationID(), 0u);
}

TEST_F(Protocol, MalformedContainersGetCheckConditionNotACrash) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t error;
    };
    auto container = usb::commandContainer(usb::blockTestUnitReady());
    std::vector<uint8_t> good(container.begin(), container.end());
    auto badLength = good;
    badLength[3] = 0x13;
    auto dataFirst = good;
    dataFirst[5] = 0x02;
    auto unknownOp = good;
    unknownOp[12] = 0x55;
    const Case cases[] = {
        {"short", {0, 0, 0}, kScanErrIllegalRequest},
        {"length field", badLength, kScanErrIllegalRequest},
        {"data container first", dataFirst, kScanErrCommandSequence},
        {"unknown operation", unknownOp, kScanErrIllegalRequest},
        {"empty", {}, kScanErrIllegalRequest},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(raw->bulkWrite(usb::kBulkOutPipe, c.bytes, 1000), UsbStatus::Ok) << c.name;
        EXPECT_EQ(status(), 1u) << c.name;
        uint32_t packed = 0;
        // Sense data belongs to the connection that failed: read it through the raw pipes.
        const auto sense = usb::commandContainer(usb::blockRequestSense());
        ASSERT_EQ(raw->bulkWrite(usb::kBulkOutPipe, sense, 1000), UsbStatus::Ok);
        uint8_t data[14] = {};
        size_t got = 0;
        ASSERT_EQ(raw->bulkRead(usb::kBulkInPipe, data, got, 1000), UsbStatus::Ok);
        ASSERT_EQ(got, 14u);
        packed = PackSense(usb::decodeSense(std::span<const uint8_t, 14>(data, 14)));
        EXPECT_EQ(status(), 0u);
        EXPECT_EQ(DecodeSense(packed), c.error) << c.name;
    }
}

TEST_F(Protocol, DataContainerOfTheWrongSizeIsRefused) {
    const auto command = usb::commandContainer(usb::blockSetAdjustData());
    ASSERT_EQ(raw->bulkWrite(usb::kBulkOutPipe, command, 1000), UsbStatus::Ok);
    auto header = usb::dataHeader(31);
    std::vector<uint8_t> data(header.begin(), header.end());
    data.resize(12 + 31);
    ASSERT_EQ(raw->bulkWrite(usb::kBulkOutPipe, data, 1000), UsbStatus::Ok);
    EXPECT_EQ(status(), 1u);
}

TEST_F(Protocol, ReadingWithNothingToSendTimesOutAtOnce) {
    uint8_t byte = 0;
    size_t got = 0;
    EXPECT_EQ(raw->bulkRead(usb::kBulkInPipe, {&byte, 1}, got, 1000), UsbStatus::Timeout);
    EXPECT_EQ(raw->bulkWrite(usb::kBulkInPipe, {&byte, 1}, 1000), UsbStatus::NotFound);
}

TEST_F(Protocol, StallIsClearedAndTheNextCommandWorks) {
    arm("stall@tur:1");
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanErrPipeStalled);
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanErrPipeStalled) << "stays stalled until cleared";
    EXPECT_EQ(scanner->ClearEndpoints(), kScanOk);
    EXPECT_EQ(senseError(), kScanOk);
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanOk);
}

TEST_F(Protocol, TimeOutIsReportedAndExplainedBySense) {
    arm("timeout@inquiry:1");
    EXPECT_EQ(scanner->ExecInquiry(nullptr, nullptr, nullptr), kScanErrTimeout);
    EXPECT_EQ(senseError(), kScanErrTimeout);
    EXPECT_EQ(scanner->ExecInquiry(nullptr, nullptr, nullptr), kScanOk);
}

TEST_F(Protocol, SenseFaultsDecodeToTheirErrors) {
    struct Case {
        const char* fault;
        uint32_t error;
    };
    const Case cases[] = {
        {"not-ready", kScanErrNotReady},     {"unit-attention", kScanErrNotReady},
        {"jam", kScanErrPaperJam},           {"cover-open", kScanErrCoverOpen},
        {"double-feed", kScanErrDoubleFeed}, {"lamp-error", kScanErrLampError},
        {"no-paper", kScanErrNoPaper},       {"hardware-error", kScanErrHardware},
    };
    for (const Case& c : cases) {
        arm((std::string(c.fault) + "@tur:1").c_str());
        EXPECT_EQ(scanner->ExecTestUnitReady(), kScanErrCheckCondition) << c.fault;
        EXPECT_EQ(senseError(), c.error) << c.fault;
        EXPECT_EQ(scanner->ExecTestUnitReady(), kScanOk) << c.fault;
    }
}

TEST_F(Protocol, FaultStrikesAtTheCountedCommand) {
    arm("not-ready@3");
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanOk);
    EXPECT_EQ(scanner->ExecReserveUnit(), kScanOk);
    EXPECT_EQ(senseError(), kScanOk) << "REQUEST SENSE is not counted";
    EXPECT_EQ(scanner->ExecReleaseUnit(), kScanErrCheckCondition);
}

TEST_F(Protocol, UnpluggedScannerIsGoneUntilReplugged) {
    emulator.installAsBus();
    arm("gone@tur:1");
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanErrDeviceNotFound);
    EXPECT_EQ(scanner->ExecInquiry(nullptr, nullptr, nullptr), kScanErrDeviceNotFound);
    EXPECT_TRUE(CDocScanner::CreateScannerList({kTransportUSB, emulator.vendorId(), emulator.productId(), {}})
                    .empty());

    EXPECT_EQ(emulator.control("replug"), "ok");
    auto list =
        CDocScanner::CreateScannerList({kTransportUSB, emulator.vendorId(), emulator.productId(), {}});
    ASSERT_EQ(list.size(), 1u);
    COrvkQSCommands again(list[0]);
    ASSERT_EQ(again.OpenSession(), 0);
    EXPECT_EQ(again.ExecTestUnitReady(), kScanErrCheckCondition);
    EXPECT_EQ(senseError(again), kScanErrNotReady) << "a reset unit reports unit attention once";
    EXPECT_EQ(again.ExecTestUnitReady(), kScanOk);
}

TEST_F(Protocol, ReservedUnitRefusesOtherConnections) {
    auto other = open();
    ASSERT_EQ(scanner->ExecReserveUnit(), kScanOk);
    EXPECT_EQ(other->ExecSetAdjustData({}, {}), kScanErrCheckCondition);
    EXPECT_EQ(senseError(*other), kScanErrNotReady);
    uint8_t ready = 9;
    uint32_t length = 1;
    EXPECT_EQ(other->ExecRead(length, &ready, DataKind::DocumentReady), kScanOk) << "status reads stay open";
    ASSERT_EQ(scanner->ExecReleaseUnit(), kScanOk);
    EXPECT_EQ(other->ExecSetAdjustData({}, {}), kScanOk);
}

TEST_F(Protocol, ClosingAConnectionDropsItsReservation) {
    auto other = open();
    ASSERT_EQ(other->ExecReserveUnit(), kScanOk);
    other->CloseSession();
    EXPECT_EQ(scanner->ExecReserveUnit(), kScanOk);
}

TEST_F(Protocol, CommandsFromTwoThreadsNeverInterleave) {
    // Both threads share one connection; only the per-device lock keeps their phases apart.
    auto run = [this](DataKind kind, uint32_t size, int& failures) {
        std::vector<uint8_t> buffer(size);
        for (int i = 0; i < 200; ++i) {
            uint32_t length = size;
            if (scanner->ExecRead(length, buffer.data(), kind) != kScanOk || length != size)
                ++failures;
        }
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(run, DataKind::ServiceBlock, 128, std::ref(failuresA));
    std::thread b(run, DataKind::PanelKeys, 8, std::ref(failuresB));
    a.join();
    b.join();
    EXPECT_EQ(failuresA + failuresB, 0);
}

} // namespace
} // namespace k3100::test
