// The pass-through commands against the emulated scanner: refused records, buffers too small to use,
// round trips of the service data, and the abort that is only valid inside the idle-tick event.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "EmulatedScanner.h"
#include "Emulator.h"
#include "QSDataSource.h"

namespace {

class PassThroughTest : public test::QSDataSourceTest {
protected:
    void SetUp() override {
        Open();
        test::AttachEmulatedScanner(*mDS, mEmulator);
    }
    TW_UINT16 Send(const char (&command)[5], void* data = nullptr, TW_UINT32 bytes = 0,
                   TW_UINT32 commandBytes = 4) {
        const std::uint32_t code = std::uint32_t(command[0]) << 24 | std::uint32_t(command[1]) << 16 |
                                   std::uint32_t(command[2]) << 8 | std::uint32_t(command[3]);
        TW_PASSTHRU record{};
        record.pCommand = const_cast<std::uint32_t*>(&code);
        record.CommandBytes = commandBytes;
        record.pData = data;
        record.DataBytes = bytes;
        return Call(DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, &record);
    }
    std::array<std::uint32_t, 3> ServiceData() {
        std::array<std::uint32_t, 3> words{};
        EXPECT_EQ(Send("GtDI", words.data(), sizeof words), TWRC_SUCCESS);
        return words;
    }

    k3100::emu::Emulator mEmulator;
};

TEST_F(PassThroughTest, MalformedOrUnknownCommandsAreBadProtocol) {
    EXPECT_EQ(Call(DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, nullptr), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
    std::uint32_t length = 0;
    EXPECT_EQ(Send("GtXL", &length, 4, 3), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(Send("XyZw", &length, 4), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADPROTOCOL);
}

TEST_F(PassThroughTest, ServiceDataRoundTripsThroughTheScanner) {
    std::array<std::uint32_t, 3> counts{5000, 3000, 1200};
    ASSERT_EQ(Send("StSC", counts.data(), sizeof counts), TWRC_SUCCESS);
    EXPECT_EQ(ServiceData(), counts);
    ASSERT_EQ(Send("RtRC"), TWRC_SUCCESS);
    EXPECT_EQ(ServiceData(), (std::array<std::uint32_t, 3>{5000, 0, 1200}));
    ASSERT_EQ(Send("RtPC"), TWRC_SUCCESS);
    EXPECT_EQ(ServiceData(), (std::array<std::uint32_t, 3>{5000, 0, 0}));

    std::uint32_t length = 21000;
    ASSERT_EQ(Send("StXL", &length, 4), TWRC_SUCCESS);
    length = 0;
    ASSERT_EQ(Send("GtXL", &length, 4), TWRC_SUCCESS);
    EXPECT_EQ(length, 21000u);
}

TEST_F(PassThroughTest, ShortBuffersAreAcceptedWithoutTouchingThem) {
    std::array<std::uint32_t, 2> small{7, 7};
    EXPECT_EQ(Send("GtDI", small.data(), sizeof small), TWRC_SUCCESS);
    EXPECT_EQ(small, (std::array<std::uint32_t, 2>{7, 7}));
    EXPECT_EQ(Send("StSN", nullptr, 16), TWRC_SUCCESS);
}

TEST_F(PassThroughTest, ScannerFailuresAskTheApplicationToCheckTheDevice) {
    std::array<std::uint32_t, 3> badOrder{10, 20, 0}; // more roller feeds than feeds in total
    EXPECT_EQ(Send("StSC", badOrder.data(), sizeof badOrder), TWRC_CHECKSTATUS);
    EXPECT_EQ(Status(), TWCC_CHECKDEVICEONLINE);
    mDS->AttachScanner(nullptr);
    std::uint32_t length = 0;
    EXPECT_EQ(Send("GtXL", &length, 4), TWRC_CHECKSTATUS);
    EXPECT_EQ(Status(), TWCC_CHECKDEVICEONLINE);
}

TEST_F(PassThroughTest, AbortOutsideTheIdleTickIsASequenceError) {
    EXPECT_EQ(Send("AbRq"), TWRC_CHECKSTATUS);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    TW_DEVICEEVENT event{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event), TWRC_SUCCESS);
    EXPECT_EQ(+event.Event, COrvkQSDS::kDeviceEventNone);
}

} // namespace
