// Builders and parsers for containers and command blocks; every number is placed big-endian by hand.
#include "CommandWire.h"

#include "BigEndian.h"

namespace k3100::usb {
namespace {

constexpr DataKindCode kKindCodes[kDataKindCount] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 16}, {0x80, 0x00, 0x04, 16},  {0x80, 0x00, 0x01, 16},
    {0x84, 0x00, 0x00, 8}, {0x8B, 0x00, 0x00, 1},  {0x8C, 0x00, 0x00, 128}, {0x8C, 0x00, 0x01, 128},
};

CommandBlock opOnly(Op op) {
    CommandBlock b{};
    b[0] = static_cast<uint8_t>(op);
    return b;
}

CommandBlock transferBlock(Op op, DataKind kind, uint32_t length) {
    CommandBlock b = opOnly(op);
    const DataKindCode code = dataKindCode(kind);
    b[2] = code.type;
    b[4] = code.qualifier4;
    b[5] = code.qualifier5;
    putBE24(&b[6], length);
    return b;
}

} // namespace

DataKindCode dataKindCode(DataKind kind) {
    return kKindCodes[static_cast<int>(kind) % kDataKindCount];
}

std::optional<DataKind> dataKindFrom(uint8_t type, uint8_t qualifier4, uint8_t qualifier5) {
    for (int k = 0; k < kDataKindCount; ++k) {
        const DataKindCode& c = kKindCodes[k];
        if (c.type == type && c.qualifier4 == qualifier4 && c.qualifier5 == qualifier5)
            return static_cast<DataKind>(k);
    }
    return std::nullopt;
}

uint8_t positionModeByte(PositionMode mode) {
    switch (mode) {
    case PositionMode::Unload:
        return 0;
    case PositionMode::DocumentCheck:
        return 1;
    case PositionMode::ClearError:
        return 4;
    }
    return 0;
}

std::optional<PositionMode> positionModeFrom(uint8_t byte1) {
    switch (byte1) {
    case 0:
        return PositionMode::Unload;
    case 1:
        return PositionMode::DocumentCheck;
    case 4:
        return PositionMode::ClearError;
    default:
        return std::nullopt;
    }
}

CommandBlock blockTestUnitReady() {
    return opOnly(Op::TestUnitReady);
}

CommandBlock blockRequestSense() {
    CommandBlock b = opOnly(Op::RequestSense);
    b[4] = kRequestSenseLength;
    return b;
}

CommandBlock blockInquiry() {
    CommandBlock b = opOnly(Op::Inquiry);
    b[4] = kInquiryLength;
    return b;
}

CommandBlock blockReserveUnit() {
    return opOnly(Op::ReserveUnit);
}
CommandBlock blockReleaseUnit() {
    return opOnly(Op::ReleaseUnit);
}

CommandBlock blockScan(uint8_t sideCount) {
    CommandBlock b = opOnly(Op::Scan);
    b[4] = sideCount;
    return b;
}

CommandBlock blockSetWindow() {
    CommandBlock b = opOnly(Op::SetWindow);
    putBE24(&b[6], kWindowListLength);
    return b;
}

CommandBlock blockRead(DataKind kind, uint32_t length) {
    return transferBlock(Op::Read, kind, length);
}
CommandBlock blockSend(DataKind kind, uint32_t length) {
    return transferBlock(Op::Send, kind, length);
}

CommandBlock blockObjectPosition(PositionMode mode) {
    CommandBlock b = opOnly(Op::ObjectPosition);
    b[1] = positionModeByte(mode);
    return b;
}

CommandBlock blockGetMemory(uint32_t address, uint32_t length) {
    CommandBlock b = opOnly(Op::GetMemory);
    putBE32(&b[2], address);
    putBE24(&b[6], length);
    return b;
}

CommandBlock blockDefineScanMode() {
    CommandBlock b = opOnly(Op::DefineScanMode);
    b[1] = 0x10;
    b[4] = kModePageLength;
    return b;
}

CommandBlock blockStopBatch() {
    return opOnly(Op::StopBatch);
}

CommandBlock blockSetAdjustData() {
    CommandBlock b = opOnly(Op::SetAdjustData);
    b[8] = kAdjustDataLength;
    return b;
}

std::optional<DataPhase> dataPhaseOf(const CommandBlock& b) {
    switch (static_cast<Op>(b[0])) {
    case Op::TestUnitReady:
    case Op::ReserveUnit:
    case Op::ReleaseUnit:
    case Op::ObjectPosition:
    case Op::StopBatch:
        return DataPhase{Direction::None, 0};
    case Op::RequestSense:
    case Op::Inquiry:
        return DataPhase{Direction::In, b[4]};
    case Op::Scan:
    case Op::DefineScanMode:
        return DataPhase{Direction::Out, b[4]};
    case Op::SetWindow:
    case Op::Send:
        return DataPhase{Direction::Out, getBE24(&b[6])};
    case Op::Read:
    case Op::GetMemory:
        return DataPhase{Direction::In, getBE24(&b[6])};
    case Op::SetAdjustData:
        return DataPhase{Direction::Out, b[8]};
    }
    return std::nullopt;
}

std::array<uint8_t, kCommandContainerSize> commandContainer(const CommandBlock& block) {
    std::array<uint8_t, kCommandContainerSize> c{};
    putBE32(&c[0], kCommandContainerSize - 4);
    putBE16(&c[4], kContainerCommand);
    putBE16(&c[6], kCommandCode);
    for (size_t i = 0; i < kCommandBlockSize; ++i)
        c[12 + i] = block[i];
    return c;
}

std::array<uint8_t, kDataHeaderSize> dataHeader(uint32_t dataLength) {
    std::array<uint8_t, kDataHeaderSize> h{};
    putBE32(&h[0], dataLength + 8);
    putBE16(&h[4], kContainerData);
    putBE16(&h[6], kDataCode);
    return h;
}

std::optional<ContainerHeader> parseContainerHeader(std::span<const uint8_t> bytes) {
    if (bytes.size() < kDataHeaderSize)
        return std::nullopt;
    return ContainerHeader{getBE32(&bytes[0]), getBE16(&bytes[4]), getBE16(&bytes[6]), getBE32(&bytes[8])};
}

} // namespace k3100::usb
