// Framing between the socket backend and the emulated scanner's server: each request is one USB
// operation (or a control text for the emulator) and gets exactly one reply. Numbers are big-endian.
// request: op u8, pipe u8, 0 u16, timeout u32 (ms), length u32, then `length` payload bytes for writes
//          and controls (for a read, `length` is the most bytes wanted and no payload follows);
// reply:   status i32, value u32, length u32, then `length` payload bytes.
#pragma once

#include "UsbStatus.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace k3100::usb {

enum class SocketOp : uint8_t {
    Probe = 1, // reply value: vendor id << 16 | product id
    Open = 2,  // reply value: location id
    Close = 3,
    BulkWrite = 4,
    BulkRead = 5,
    ClearHalt = 6,
    Control = 7, // payload: a text command for the emulator; reply payload: its answer text
};

// Larger frames are refused: a READ of the scanner moves at most a few MiB.
inline constexpr uint32_t kMaxSocketPayload = 64u << 20;

struct SocketRequest {
    SocketOp op = SocketOp::Probe;
    uint8_t pipe = 0;
    uint32_t timeoutMs = 0;
    uint32_t length = 0;
    std::vector<uint8_t> payload;
};

struct SocketReply {
    UsbStatus status = UsbStatus::Ok;
    uint32_t value = 0;
    std::vector<uint8_t> payload;
};

// All return false when the peer went away or sent a malformed frame.
bool sendRequest(int fd, SocketOp op, uint8_t pipe, uint32_t timeoutMs, uint32_t length,
                 std::span<const uint8_t> payload);
bool receiveRequest(int fd, SocketRequest& request);
bool sendReply(int fd, UsbStatus status, uint32_t value, std::span<const uint8_t> payload);
bool receiveReply(int fd, SocketReply& reply);

// A connected stream socket, or -1.
int connectUnixSocket(const std::string& path);
// The same, but only to a socket that this user or root serves: whoever serves the scanner decides the
// pages a scan brings. -1 when nobody serves it, or when someone else does or the socket is shut to this
// user, which refused (when given) then says, naming the socket and its owner.
int connectOwnUnixSocket(const std::string& path, std::string* refused = nullptr);

} // namespace k3100::usb
