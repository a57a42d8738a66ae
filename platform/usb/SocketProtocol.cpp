// Blocking framed I/O over a Unix stream socket; partial reads and writes and EINTR are retried, and
// frames over the size limit are refused so a confused peer cannot make us allocate without bound.
#include "SocketProtocol.h"

#include "BigEndian.h"
#include "WholeTransfer.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace k3100::usb {
namespace {

constexpr size_t kRequestHeader = 12;
constexpr size_t kReplyHeader = 12;

bool writeAll(int fd, const uint8_t* data, size_t size) {
    return fnd::transferAll(data, size,
                            [fd](const uint8_t* d, size_t n) { return ::send(fd, d, n, MSG_NOSIGNAL); });
}

bool readAll(int fd, uint8_t* data, size_t size) {
    return fnd::transferAll(data, size, [fd](uint8_t* d, size_t n) { return ::recv(fd, d, n, 0); });
}

bool validStatus(int32_t value) {
    return value >= static_cast<int32_t>(UsbStatus::Ok) && value <= static_cast<int32_t>(UsbStatus::Other);
}

} // namespace

bool sendRequest(int fd, SocketOp op, uint8_t pipe, uint32_t timeoutMs, uint32_t length,
                 std::span<const uint8_t> payload) {
    std::array<uint8_t, kRequestHeader> h{};
    h[0] = static_cast<uint8_t>(op);
    h[1] = pipe;
    putBE32(&h[4], timeoutMs);
    putBE32(&h[8], length);
    return writeAll(fd, h.data(), h.size()) && writeAll(fd, payload.data(), payload.size());
}

bool receiveRequest(int fd, SocketRequest& request) {
    std::array<uint8_t, kRequestHeader> h{};
    if (!readAll(fd, h.data(), h.size()))
        return false;
    if (h[0] < static_cast<uint8_t>(SocketOp::Probe) || h[0] > static_cast<uint8_t>(SocketOp::Control))
        return false;
    request.op = static_cast<SocketOp>(h[0]);
    request.pipe = h[1];
    request.timeoutMs = getBE32(&h[4]);
    request.length = getBE32(&h[8]);
    request.payload.clear();
    if (request.length > kMaxSocketPayload)
        return false;
    if (request.op == SocketOp::BulkWrite || request.op == SocketOp::Control) {
        request.payload.resize(request.length);
        return readAll(fd, request.payload.data(), request.payload.size());
    }
    return true;
}

bool sendReply(int fd, UsbStatus status, uint32_t value, std::span<const uint8_t> payload) {
    std::array<uint8_t, kReplyHeader> h{};
    putBE32(&h[0], static_cast<uint32_t>(status));
    putBE32(&h[4], value);
    putBE32(&h[8], static_cast<uint32_t>(payload.size()));
    return writeAll(fd, h.data(), h.size()) && writeAll(fd, payload.data(), payload.size());
}

bool receiveReply(int fd, SocketReply& reply) {
    std::array<uint8_t, kReplyHeader> h{};
    if (!readAll(fd, h.data(), h.size()))
        return false;
    const auto status = static_cast<int32_t>(getBE32(&h[0]));
    const uint32_t length = getBE32(&h[8]);
    if (!validStatus(status) || length > kMaxSocketPayload)
        return false;
    reply.status = static_cast<UsbStatus>(status);
    reply.value = getBE32(&h[4]);
    reply.payload.resize(length);
    return readAll(fd, reply.payload.data(), length);
}

int connectUnixSocket(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

int connectOwnUnixSocket(const std::string& path, std::string* refused) {
    const int fd = connectUnixSocket(path);
    // A socket shut to us is no empty bus: said, with whose it is, as one served by another user is.
    if (fd < 0 && (errno == EACCES || errno == EPERM) && refused) {
        const int error = errno;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && st.st_uid != ::geteuid())
            *refused = path + " belongs to another user (uid " + std::to_string(st.st_uid) +
                       ") and cannot be opened";
        else
            *refused = path + " cannot be opened: " + std::strerror(error);
    }
    if (fd < 0)
        return -1;
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool known = ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
    if (known && (peer.uid == ::geteuid() || peer.uid == 0))
        return fd;
    ::close(fd);
    if (refused)
        *refused =
            path + " is served by " +
            (known ? "another user (uid " + std::to_string(peer.uid) + ")" : "a user that cannot be told");
    return -1;
}

} // namespace k3100::usb
