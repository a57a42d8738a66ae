// Wire bytes of the containers and of every command block the data source sends.
#include "CommandWire.h"

#include <gtest/gtest.h>

#include <vector>

namespace k3100::usb {
namespace {

std::vector<int> bytes(const CommandBlock& b) {
    return {b.begin(), b.end()};
}

TEST(CommandWire, CommandBlocksCarryTheirFields) {
    struct Case {
        const char* name;
        CommandBlock block;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"test unit ready", blockTestUnitReady(), {0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"request sense", blockRequestSense(), {0x03, 0, 0, 0, 14, 0, 0, 0, 0, 0, 0, 0}},
        {"inquiry", blockInquiry(), {0x12, 0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0}},
        {"reserve", blockReserveUnit(), {0x16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"release", blockReleaseUnit(), {0x17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"scan duplex", blockScan(2), {0x1B, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}},
        {"set window", blockSetWindow(), {0x24, 0, 0, 0, 0, 0, 0, 0, 52, 0, 0, 0}},
        {"read 2 MiB image",
         blockRead(DataKind::Image, 2097152),
         {0x28, 0, 0x00, 0, 0, 0, 0x20, 0x00, 0x00, 0, 0, 0}},
        {"read geometry B",
         blockRead(DataKind::GeometryB, 16),
         {0x28, 0, 0x80, 0, 0x00, 0x04, 0, 0, 16, 0, 0, 0}},
        {"read geometry C",
         blockRead(DataKind::GeometryC, 16),
         {0x28, 0, 0x80, 0, 0x00, 0x01, 0, 0, 16, 0, 0, 0}},
        {"read panel keys", blockRead(DataKind::PanelKeys, 8), {0x28, 0, 0x84, 0, 0, 0, 0, 0, 8, 0, 0, 0}},
        {"read document ready",
         blockRead(DataKind::DocumentReady, 1),
         {0x28, 0, 0x8B, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
        {"send max length",
         blockSend(DataKind::MaxScanLength, 128),
         {0x2A, 0, 0x8C, 0, 0x00, 0x01, 0, 0, 0x80, 0, 0, 0}},
        {"object position unload",
         blockObjectPosition(PositionMode::Unload),
         {0x31, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"object position check",
         blockObjectPosition(PositionMode::DocumentCheck),
         {0x31, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"object position clear",
         blockObjectPosition(PositionMode::ClearError),
         {0x31, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"get memory",
         blockGetMemory(0x10080000, 8192),
         {0x3B, 0, 0x10, 0x08, 0x00, 0x00, 0x00, 0x20, 0x00, 0, 0, 0}},
        {"define scan mode", blockDefineScanMode(), {0xD6, 0x10, 0, 0, 20, 0, 0, 0, 0, 0, 0, 0}},
        {"stop batch", blockStopBatch(), {0xD8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"set adjust data", blockSetAdjustData(), {0xE1, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bytes(c.block), c.expected) << c.name;
}

TEST(CommandWire, DataPhasesFollowTheBlock) {
    EXPECT_EQ(dataPhaseOf(blockRead(DataKind::Image, 131072))->length, 131072u);
    EXPECT_EQ(dataPhaseOf(blockRead(DataKind::Image, 131072))->direction, Direction::In);
    EXPECT_EQ(dataPhaseOf(blockSend(DataKind::ServiceBlock, 128))->direction, Direction::Out);
    EXPECT_EQ(dataPhaseOf(blockScan(1))->length, 1u);
    EXPECT_EQ(dataPhaseOf(blockSetAdjustData())->length, 32u);
    EXPECT_EQ(dataPhaseOf(blockDefineScanMode())->length, 20u);
    EXPECT_EQ(dataPhaseOf(blockStopBatch())->direction, Direction::None);
    CommandBlock unknown{};
    unknown[0] = 0x55;
    EXPECT_FALSE(dataPhaseOf(unknown).has_value());
}

TEST(CommandWire, ContainersAreBigEndian) {
    const auto c = commandContainer(blockInquiry());
    const std::vector<int> head(c.begin(), c.begin() + 13);
    EXPECT_EQ(head, (std::vector<int>{0, 0, 0, 0x14, 0x00, 0x01, 0x90, 0x00, 0, 0, 0, 0, 0x12}));
    EXPECT_EQ(c[16], 64);

    const auto d = dataHeader(128);
    EXPECT_EQ(std::vector<int>(d.begin(), d.end()),
              (std::vector<int>{0, 0, 0, 136, 0x00, 0x02, 0xB0, 0x00, 0, 0, 0, 0}));
    const auto parsed = parseContainerHeader(d);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->length, 136u);
    EXPECT_EQ(parsed->type, kContainerData);
    EXPECT_FALSE(parseContainerHeader(std::span(d).first(11)));
}

TEST(CommandWire, DataKindsAndPositionModesRoundTrip) {
    for (int k = 0; k < kDataKindCount; ++k) {
        const DataKindCode code = dataKindCode(static_cast<DataKind>(k));
        EXPECT_EQ(dataKindFrom(code.type, code.qualifier4, code.qualifier5), static_cast<DataKind>(k));
    }
    EXPECT_FALSE(dataKindFrom(0x80, 0, 2));
    EXPECT_EQ(positionModeFrom(4), PositionMode::ClearError);
    EXPECT_FALSE(positionModeFrom(2));
}

} // namespace
} // namespace k3100::usb
