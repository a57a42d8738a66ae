// The scanner's command transport on the wire: the 24-byte command container, the data-out container
// header, the 4-byte status, and the 12-byte command blocks with their data phases. Shared by the data
// source (which builds them) and the emulated scanner (which parses them), so both read one definition.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace k3100::usb {

inline constexpr size_t kCommandContainerSize = 24;
inline constexpr size_t kDataHeaderSize = 12;
inline constexpr size_t kStatusSize = 4;
inline constexpr size_t kCommandBlockSize = 12;
inline constexpr uint16_t kContainerCommand = 0x0001;
inline constexpr uint16_t kContainerData = 0x0002;
inline constexpr uint16_t kCommandCode = 0x9000;
inline constexpr uint16_t kDataCode = 0xB000;

enum class Op : uint8_t {
    TestUnitReady = 0x00,
    RequestSense = 0x03,
    Inquiry = 0x12,
    ReserveUnit = 0x16,
    ReleaseUnit = 0x17,
    Scan = 0x1B,
    SetWindow = 0x24,
    Read = 0x28,
    Send = 0x2A,
    ObjectPosition = 0x31,
    GetMemory = 0x3B,
    DefineScanMode = 0xD6,
    StopBatch = 0xD8,
    SetAdjustData = 0xE1,
};

// What READ and SEND move; the numbers are the device object's own kind arguments.
enum class DataKind : uint8_t {
    Image = 0,
    GeometryA = 1,
    GeometryB = 2,
    GeometryC = 3,
    PanelKeys = 4,
    DocumentReady = 5,
    ServiceBlock = 6,
    MaxScanLength = 7,
};
inline constexpr int kDataKindCount = 8;

struct DataKindCode {
    uint8_t type;       // byte 2 of the block
    uint8_t qualifier4; // byte 4
    uint8_t qualifier5; // byte 5
    uint32_t length;    // fixed transfer length, 0 for "as asked"
};

DataKindCode dataKindCode(DataKind kind);
std::optional<DataKind> dataKindFrom(uint8_t type, uint8_t qualifier4, uint8_t qualifier5);

// OBJECT POSITION modes as the device object names them, and the byte each puts on the wire.
enum class PositionMode : uint8_t {
    Unload = 0,        // after calibration scans and on abort
    DocumentCheck = 1, // is paper in the feeder
    ClearError = 2,    // clear a previous error
};
uint8_t positionModeByte(PositionMode mode);
std::optional<PositionMode> positionModeFrom(uint8_t byte1);

using CommandBlock = std::array<uint8_t, kCommandBlockSize>;

inline constexpr size_t kRequestSenseLength = 14;
inline constexpr size_t kInquiryLength = 64;
inline constexpr size_t kWindowListLength = 52;
inline constexpr size_t kModePageLength = 20;
inline constexpr size_t kAdjustDataLength = 32;
inline constexpr uint32_t kMaxGetMemoryLength = 8192;

CommandBlock blockTestUnitReady();
CommandBlock blockRequestSense();
CommandBlock blockInquiry();
CommandBlock blockReserveUnit();
CommandBlock blockReleaseUnit();
CommandBlock blockScan(uint8_t sideCount);
CommandBlock blockSetWindow();
CommandBlock blockRead(DataKind kind, uint32_t length);
CommandBlock blockSend(DataKind kind, uint32_t length);
CommandBlock blockObjectPosition(PositionMode mode);
CommandBlock blockGetMemory(uint32_t address, uint32_t length);
CommandBlock blockDefineScanMode();
CommandBlock blockStopBatch();
CommandBlock blockSetAdjustData();

enum class Direction : uint8_t { None, In, Out };
struct DataPhase {
    Direction direction;
    uint32_t length;
};
// The data phase a block announces; nullopt for an unknown operation code.
std::optional<DataPhase> dataPhaseOf(const CommandBlock& block);

std::array<uint8_t, kCommandContainerSize> commandContainer(const CommandBlock& block);
std::array<uint8_t, kDataHeaderSize> dataHeader(uint32_t dataLength);

struct ContainerHeader {
    uint32_t length; // bytes after the length field
    uint16_t type;
    uint16_t code;
    uint32_t reserved;
};
// Reads the first 12 bytes of a container; nullopt when fewer arrived.
std::optional<ContainerHeader> parseContainerHeader(std::span<const uint8_t> bytes);

} // namespace k3100::usb
