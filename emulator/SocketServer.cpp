// Socket server of the emulated scanner: requests are framed as in platform/usb/SocketProtocol.h and
// mapped one to one onto the calls of an in-process connection. A malformed frame ends that client's
// connection and nothing else.
#include "SocketServer.h"

#include "SocketProtocol.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace k3100::emu {
namespace {

constexpr int kPollMs = 200;

bool answer(int fd, usb::UsbDevice& device, Emulator& emulator, const usb::SocketRequest& request) {
    using usb::SocketOp;
    switch (request.op) {
    case SocketOp::Probe:
        return usb::sendReply(fd, usb::UsbStatus::Ok,
                              (static_cast<uint32_t>(device.vendorId()) << 16) | device.productId(), {});
    case SocketOp::Open: {
        const usb::UsbStatus status = device.open();
        return usb::sendReply(fd, status, device.locationId(), {});
    }
    case SocketOp::Close:
        device.close();
        return usb::sendReply(fd, usb::UsbStatus::Ok, 0, {});
    case SocketOp::BulkWrite:
        return usb::sendReply(fd, device.bulkWrite(request.pipe, request.payload, request.timeoutMs), 0, {});
    case SocketOp::BulkRead: {
        std::vector<uint8_t> buffer(request.length);
        size_t received = 0;
        const usb::UsbStatus status = device.bulkRead(request.pipe, buffer, received, request.timeoutMs);
        return usb::sendReply(fd, status, 0, std::span(buffer).first(received));
    }
    case SocketOp::ClearHalt:
        return usb::sendReply(fd, device.clearHalt(request.pipe), 0, {});
    case SocketOp::Control: {
        const std::string reply =
            emulator.control(std::string(request.payload.begin(), request.payload.end()));
        return usb::sendReply(fd, usb::UsbStatus::Ok, 0,
                              std::span(reinterpret_cast<const uint8_t*>(reply.data()), reply.size()));
    }
    }
    return false;
}

// The socket is born 0600, whatever the umask: whoever may connect may drive the scanner, and a chmod
// after the bind would leave a moment in which another user could. The umask is the process's; the
// server binds before any other thread of the emulator makes files.
bool bindForOwnerOnly(int fd, const sockaddr_un& address) {
    const mode_t previous = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const int saved = errno;
    ::umask(previous);
    errno = saved;
    return bound;
}

} // namespace

SocketServer::SocketServer(Emulator& emulator, std::string path)
    : emulator_(emulator), path_(std::move(path)) {}

SocketServer::~SocketServer() {
    {
        std::lock_guard lock(clientsMutex_);
        for (Client& c : clients_)
            ::shutdown(c.fd, SHUT_RDWR);
    }
    for (Client& c : clients_)
        c.thread.join();
    for (Client& c : clients_)
        ::close(c.fd);
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(path_.c_str());
    }
}

bool SocketServer::listen(std::string& error) {
    sockaddr_un address{};
    if (path_.empty() || path_.size() >= sizeof address.sun_path) {
        error = "socket path is empty or too long: " + path_;
        return false;
    }
    // Replace only a socket of this user's that nobody answers on; never another kind of file, nor
    // another user's socket, which that user may be about to serve again.
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0) {
        if (S_ISSOCK(st.st_mode) && st.st_uid != ::geteuid()) {
            error = path_ + " is another user's socket";
            return false;
        }
        const int probe = usb::connectUnixSocket(path_);
        if (!S_ISSOCK(st.st_mode) || probe >= 0) {
            if (probe >= 0)
                ::close(probe);
            error = path_ + " is in use";
            return false;
        }
        ::unlink(path_.c_str());
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 || !bindForOwnerOnly(listenFd_, address) || ::listen(listenFd_, 16) != 0) {
        error = path_ + ": " + std::strerror(errno);
        if (listenFd_ >= 0)
            ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    return true;
}

void SocketServer::run(const std::atomic<bool>& stop) {
    while (!stop) {
        pollfd p{listenFd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, kPollMs);
        reapFinished();
        if (ready <= 0 || (p.revents & POLLIN) == 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(clientsMutex_);
        Client& client = clients_.emplace_back();
        client.fd = fd;
        client.thread = std::thread([this, &client] { serve(client); });
    }
}

void SocketServer::serve(Client& client) {
    const auto device = emulator_.connect();
    usb::SocketRequest request;
    while (usb::receiveRequest(client.fd, request) && answer(client.fd, *device, emulator_, request)) {
    }
    device->close();
    client.done = true;
}

void SocketServer::reapFinished() {
    std::lock_guard lock(clientsMutex_);
    for (auto it = clients_.begin(); it != clients_.end();) {
        if (it->done) {
            it->thread.join();
            ::close(it->fd);
            it = clients_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace k3100::emu
