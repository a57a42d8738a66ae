// Socket backend: a lost connection means the device is gone, as an unplugged scanner would be. Each
// request waits for its reply as long as a USB transfer would (its own time-out, or the default one),
// plus a margin for the emulator's own work; past that the connection is given up, since a late reply
// would be taken for the answer to the next request.
#include "SocketDevice.h"

#include "SocketProtocol.h"
#include "UsbDiscovery.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace k3100::usb {
namespace {

// Bounds every send and receive on the socket to waitMs each.
void setDeadline(int fd, uint32_t waitMs) {
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(waitMs / 1000);
    limit.tv_usec = static_cast<suseconds_t>(waitMs % 1000) * 1000;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

} // namespace

SocketDevice::SocketDevice(int fd, uint16_t vendorId, uint16_t productId)
    : fd_(fd), vendorId_(vendorId), productId_(productId) {}

SocketDevice::~SocketDevice() {
    close();
    if (fd_ >= 0)
        ::close(fd_);
}

UsbStatus SocketDevice::exchange(uint8_t op, uint8_t pipe, uint32_t timeoutMs, uint32_t length,
                                 std::span<const uint8_t> payload, uint32_t* value,
                                 std::vector<uint8_t>* reply) {
    std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return UsbStatus::NoDevice;
    SocketReply answer;
    setDeadline(fd_, (timeoutMs == 0 ? kDefaultTimeoutMs : timeoutMs) +
                         static_cast<uint32_t>(replyMargin_.count()));
    if (!sendRequest(fd_, static_cast<SocketOp>(op), pipe, timeoutMs, length, payload) ||
        !receiveReply(fd_, answer)) {
        const bool timedOut = errno == EAGAIN || errno == EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
        open_ = false;
        return timedOut ? UsbStatus::Timeout : UsbStatus::NoDevice;
    }
    if (value != nullptr)
        *value = answer.value;
    if (reply != nullptr)
        *reply = std::move(answer.payload);
    return answer.status;
}

UsbStatus SocketDevice::open() {
    uint32_t location = 0;
    const UsbStatus status = exchange(static_cast<uint8_t>(SocketOp::Open), 0, 0, 0, {}, &location, nullptr);
    std::lock_guard lock(mutex_);
    open_ = status == UsbStatus::Ok;
    locationId_ = open_ ? location : 0;
    return status;
}

void SocketDevice::close() {
    if (!isOpen())
        return;
    exchange(static_cast<uint8_t>(SocketOp::Close), 0, 0, 0, {}, nullptr, nullptr);
    std::lock_guard lock(mutex_);
    open_ = false;
    locationId_ = 0;
}

bool SocketDevice::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

uint32_t SocketDevice::locationId() const {
    std::lock_guard lock(mutex_);
    return locationId_;
}

UsbStatus SocketDevice::bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) {
    if (data.size() > kMaxSocketPayload)
        return UsbStatus::BadArgument;
    return exchange(static_cast<uint8_t>(SocketOp::BulkWrite), pipe, timeoutMs,
                    static_cast<uint32_t>(data.size()), data, nullptr, nullptr);
}

UsbStatus SocketDevice::bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                                 uint32_t timeoutMs) {
    received = 0;
    if (buffer.size() > kMaxSocketPayload)
        return UsbStatus::BadArgument;
    std::vector<uint8_t> data;
    const UsbStatus status = exchange(static_cast<uint8_t>(SocketOp::BulkRead), pipe, timeoutMs,
                                      static_cast<uint32_t>(buffer.size()), {}, nullptr, &data);
    // A server never sends more than asked; should one, the surplus is dropped rather than overrun.
    received = std::min(data.size(), buffer.size());
    std::copy_n(data.begin(), received, buffer.begin());
    return status;
}

UsbStatus SocketDevice::probe(uint32_t& ids) {
    return exchange(static_cast<uint8_t>(SocketOp::Probe), 0, 0, 0, {}, &ids, nullptr);
}

UsbStatus SocketDevice::clearHalt(uint8_t pipe) {
    return exchange(static_cast<uint8_t>(SocketOp::ClearHalt), pipe, 0, 0, {}, nullptr, nullptr);
}

UsbStatus SocketDevice::control(const std::string& command, std::string& reply) {
    const std::span<const uint8_t> text(reinterpret_cast<const uint8_t*>(command.data()), command.size());
    std::vector<uint8_t> answer;
    const UsbStatus status = exchange(static_cast<uint8_t>(SocketOp::Control), 0, 0,
                                      static_cast<uint32_t>(text.size()), text, nullptr, &answer);
    reply.assign(answer.begin(), answer.end());
    return status;
}

UsbStatus findSocketDevices(const char* socketPath, uint16_t vendorId, uint16_t productId, DeviceList& found,
                            std::string* problem) {
    found.clear();
    std::string refused;
    const int fd =
        connectOwnUnixSocket(socketPath == nullptr ? std::string() : std::string(socketPath), &refused);
    if (!refused.empty()) {
        if (problem)
            *problem = std::move(refused);
        return UsbStatus::AccessDenied;
    }
    if (fd < 0)
        return UsbStatus::Ok; // no emulator serving: no scanner, like an empty bus
    auto device = std::make_shared<SocketDevice>(fd, vendorId, productId);
    uint32_t ids = 0;
    const UsbStatus status = device->probe(ids);
    if (status == UsbStatus::Ok && ids == ((static_cast<uint32_t>(vendorId) << 16) | productId))
        found.push_back(std::move(device));
    return UsbStatus::Ok;
}

} // namespace k3100::usb
