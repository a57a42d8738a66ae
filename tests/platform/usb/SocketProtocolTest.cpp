// Frames between the socket backend and the emulator's server, over a socket pair: a request and its
// reply arrive whole, and malformed frames are refused instead of trusted.
#include "SocketProtocol.h"
#include "BigEndian.h"
#include "SocketDevice.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace k3100::usb {
namespace {

class SocketFrames : public ::testing::Test {
protected:
    int fds[2] = {-1, -1};
    void SetUp() override { ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0); }
    void TearDown() override {
        for (int fd : fds)
            if (fd >= 0)
                close(fd);
    }
    void sendRaw(std::initializer_list<uint8_t> bytes) {
        const std::vector<uint8_t> b(bytes);
        ASSERT_EQ(write(fds[0], b.data(), b.size()), ssize_t(b.size()));
    }
};

TEST_F(SocketFrames, WriteRequestAndReplyRoundTrip) {
    const uint8_t payload[] = {1, 2, 3};
    ASSERT_TRUE(sendRequest(fds[0], SocketOp::BulkWrite, 2, 90000, 3, payload));
    SocketRequest request;
    ASSERT_TRUE(receiveRequest(fds[1], request));
    EXPECT_EQ(request.op, SocketOp::BulkWrite);
    EXPECT_EQ(request.pipe, 2);
    EXPECT_EQ(request.timeoutMs, 90000u);
    EXPECT_EQ(request.payload, (std::vector<uint8_t>{1, 2, 3}));

    ASSERT_TRUE(sendReply(fds[1], UsbStatus::PipeStalled, 7, payload));
    SocketReply reply;
    ASSERT_TRUE(receiveReply(fds[0], reply));
    EXPECT_EQ(reply.status, UsbStatus::PipeStalled);
    EXPECT_EQ(reply.value, 7u);
    EXPECT_EQ(reply.payload.size(), 3u);
}

TEST_F(SocketFrames, ReadRequestCarriesNoPayload) {
    ASSERT_TRUE(sendRequest(fds[0], SocketOp::BulkRead, 1, 10, 2097152, {}));
    ASSERT_TRUE(sendRequest(fds[0], SocketOp::Probe, 0, 0, 0, {}));
    SocketRequest request;
    ASSERT_TRUE(receiveRequest(fds[1], request));
    EXPECT_EQ(request.length, 2097152u);
    EXPECT_TRUE(request.payload.empty());
    ASSERT_TRUE(receiveRequest(fds[1], request));
    EXPECT_EQ(request.op, SocketOp::Probe);
}

TEST_F(SocketFrames, MalformedFramesAreRefused) {
    SocketRequest request;
    sendRaw({99, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(receiveRequest(fds[1], request)) << "unknown operation";

    sendRaw({4, 2, 0, 0, 0, 0, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF});
    EXPECT_FALSE(receiveRequest(fds[1], request)) << "payload over the limit";

    sendRaw({0, 0, 0, 42, 0, 0, 0, 0, 0, 0, 0, 0});
    SocketReply reply;
    EXPECT_FALSE(receiveReply(fds[1], reply)) << "status outside the known results";

    sendRaw({4, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 1, 2});
    close(fds[0]);
    fds[0] = -1;
    EXPECT_FALSE(receiveRequest(fds[1], request)) << "peer left inside a frame";
}

TEST(SocketConnect, RefusesImpossiblePaths) {
    EXPECT_EQ(connectUnixSocket(""), -1);
    EXPECT_EQ(connectUnixSocket(std::string(200, 'x')), -1);
    EXPECT_EQ(connectUnixSocket("/nonexistent/socket"), -1);
}

} // namespace
} // namespace k3100::usb

namespace k3100::usb {
namespace {

// An emulator that stops answering: the read ends with a time-out as a USB transfer would, and the
// connection, whose next reply could no longer be told apart, is given up.
TEST(SocketDevice, ASilentPeerTimesOutAndIsThenGone) {
    int fds[2] = {-1, -1};
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    SocketDevice device(fds[0], 0x1234, 0x5678); // owns fds[0]; fds[1] never answers
    device.setReplyMargin(std::chrono::milliseconds(10));
    std::vector<uint8_t> buffer(16);
    size_t received = 99;
    EXPECT_EQ(device.bulkRead(0x81, buffer, received, 100), UsbStatus::Timeout);
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(device.bulkRead(0x81, buffer, received, 100), UsbStatus::NoDevice);
    close(fds[1]);
}

} // namespace
} // namespace k3100::usb
