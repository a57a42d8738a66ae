// The k3100-emulator program shared by several processes: what one process does to the scanner through
// the socket, another process sees.
#include "COrvkQSCommands.h"
#include "ScannerErrors.h"

#include "SocketProtocol.h"
#include "UsbDiscovery.h"

#include "EmulatorProcess.h"
#include "OtherUser.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace k3100::test {
namespace {

using ::test::exitStatus;

class TwoProcesses : public ::testing::Test {
protected:
    // Where the other users of some tests can serve and reach a scanner too.
    ::test::SharedFolder folder;
    std::string socket = (folder / "k3100-emu").string();
    ::test::EmulatorProcess server{socket};

    void SetUp() override {
        ASSERT_TRUE(std::getenv("K3100_BUILD_DIR"));
        ASSERT_TRUE(server.Start({"--load", "gen:blank 2", "--press", "2"}));
        setenv(usb::kEmulatorSocketEnv, socket.c_str(), 1);
    }
    void TearDown() override {
        unsetenv(usb::kEmulatorSocketEnv);
        EXPECT_EQ(server.Stop(), 0);
        EXPECT_FALSE(std::filesystem::exists(socket)) << "socket removed on exit";
    }

    std::unique_ptr<COrvkQSCommands> openScanner() {
        auto list = CDocScanner::CreateScannerList({kTransportUSB, kDefaultVendorId, kDefaultProductId, {}});
        EXPECT_EQ(list.size(), 1u);
        if (list.empty())
            return nullptr;
        auto scanner = std::make_unique<COrvkQSCommands>(list[0]);
        EXPECT_EQ(scanner->OpenSession(), 0);
        return scanner;
    }

    static uint8_t keys(COrvkQSCommands& scanner) {
        uint8_t block[8] = {};
        uint32_t length = sizeof block;
        EXPECT_EQ(scanner.ExecRead(length, block, DataKind::PanelKeys), kScanOk);
        return block[0];
    }
};

// Whoever may connect may drive the scanner: the socket is its owner's alone, whatever the umask.
TEST_F(TwoProcesses, TheSocketIsTheOwnersAloneWhateverTheUmask) {
    const bool twoUsers = ::test::withoutOtherUser().empty();
    server.Stop();                          // root's, which only root may stop
    std::optional<::test::ActingAs> victim; // the server's user, unless the test cannot switch users
    if (twoUsers)
        victim.emplace(::test::kVictimUid, ::test::kVictimGid);
    const mode_t previous = umask(0);
    const ::testing::AssertionResult serving = server.Start({});
    umask(previous);
    ASSERT_TRUE(serving);
    struct stat st {};
    ASSERT_EQ(stat(socket.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    if (twoUsers) {
        EXPECT_EQ(st.st_uid, ::test::kVictimUid);
        EXPECT_FALSE(::test::asOtherUser([this] { return usb::connectUnixSocket(socket) >= 0; }));
    }
}

// Whoever serves the scanner decides what a scan brings: the scanner of another user's emulator is
// refused with a reason, though its socket lets everyone in, by the data source and by the emulator's
// control; root's still serves.
TEST_F(TwoProcesses, AScannerServedByAnotherUserIsRefused) {
    if (const std::string why = ::test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_EQ(chmod(socket.c_str(), 0666), 0);
    const std::string theirs = socket + "-theirs";
    ::test::EmulatorProcess other{theirs};
    {
        const ::test::ActingAs them(::test::kOtherUid, ::test::kOtherGid);
        ASSERT_TRUE(them.active());
        ASSERT_TRUE(other.Start({"--load", "gen:blank 1"}));
        ASSERT_EQ(chmod(theirs.c_str(), 0666), 0);
    }
    const ::test::ActingAs victim(::test::kVictimUid, ::test::kVictimGid);
    ASSERT_TRUE(victim.active());
    const SScannerDesc scanner{kTransportUSB, kDefaultVendorId, kDefaultProductId, {}};
    EXPECT_EQ(CDocScanner::CreateScannerList(scanner).size(), 1u) << "root's";
    setenv(usb::kEmulatorSocketEnv, theirs.c_str(), 1);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(CDocScanner::CreateScannerList(scanner).empty());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(theirs + " is served by another user (uid 65534)"), std::string::npos) << said;
    EXPECT_EQ(other.Control("status"), 1);
}

// The socket of another user's emulator, shut to everyone else as it is made, is no empty bus: it is
// named, with its owner, as one served by another user is.
TEST_F(TwoProcesses, AnotherUsersSocketShutToUsIsNamedWithItsOwner) {
    if (const std::string why = ::test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    const std::string theirs = socket + "-shut";
    ::test::EmulatorProcess other{theirs};
    {
        const ::test::ActingAs them(::test::kOtherUid, ::test::kOtherGid);
        ASSERT_TRUE(them.active());
        ASSERT_TRUE(other.Start({"--load", "gen:blank 1"}));
    }
    const ::test::ActingAs victim(::test::kVictimUid, ::test::kVictimGid);
    ASSERT_TRUE(victim.active());
    setenv(usb::kEmulatorSocketEnv, theirs.c_str(), 1);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(
        CDocScanner::CreateScannerList({kTransportUSB, kDefaultVendorId, kDefaultProductId, {}}).empty());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(theirs + " belongs to another user (uid 65534) and cannot be opened"),
              std::string::npos)
        << said;
}

// The emulator replaces a dead socket of its own user only: in a folder open to all, another user's dead
// socket stays as it is, and the emulator does not start.
TEST_F(TwoProcesses, AnotherUsersDeadSocketIsLeftAlone) {
    if (const std::string why = ::test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    const TempFolder shared{folder.path()};
    ASSERT_EQ(chmod(shared.path().c_str(), 0777), 0);
    const std::string dead = (shared / "k3100.sock").string();
    ASSERT_TRUE(::test::asOtherUser([&] { return ::test::bindSocket(dead) == 0; }));
    const ::test::ActingAs victim(::test::kVictimUid, ::test::kVictimGid);
    ASSERT_TRUE(victim.active());
    ::test::EmulatorProcess mine{dead};
    EXPECT_FALSE(mine.Start({}));
    struct stat st {};
    ASSERT_EQ(lstat(dead.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_uid, ::test::kOtherUid);
}

TEST_F(TwoProcesses, AnotherProcessSeesTheSameScanner) {
    auto scanner = openScanner();
    ASSERT_TRUE(scanner);
    EXPECT_EQ(keys(*scanner), 0x40) << "key 2 pressed by the server's option";

    // A third process presses a key through the control channel.
    EXPECT_EQ(server.Control("press 1"), 0);
    EXPECT_EQ(keys(*scanner), 0x80);

    // This process writes the serial number; a child process reads it back through its own connection.
    std::array<uint8_t, 128> block{};
    uint32_t length = block.size();
    ASSERT_EQ(scanner->ExecRead(length, block.data(), DataKind::ServiceBlock), kScanOk);
    const std::string serial = "SHARED-STATE-001";
    std::copy(serial.begin(), serial.end(), block.begin() + 108);
    ASSERT_EQ(scanner->ExecSend(block, DataKind::ServiceBlock), kScanOk);

    const pid_t child = fork();
    if (child == 0) {
        auto list = CDocScanner::CreateScannerList({kTransportUSB, kDefaultVendorId, kDefaultProductId, {}});
        if (list.size() != 1)
            _exit(10);
        COrvkQSCommands other(list[0]);
        std::array<uint8_t, 128> seen{};
        uint32_t n = seen.size();
        if (other.OpenSession() != 0 || other.ExecRead(n, seen.data(), DataKind::ServiceBlock) != kScanOk)
            _exit(11);
        uint8_t ready = 0;
        n = 1;
        if (other.ExecRead(n, &ready, DataKind::DocumentReady) != kScanOk || ready != 1)
            _exit(12);
        _exit(std::string(seen.begin() + 108, seen.begin() + 124) == serial ? 0 : 13);
    }
    EXPECT_EQ(exitStatus(child), 0);
}

TEST_F(TwoProcesses, ControlChannelReportsAndRefuses) {
    EXPECT_EQ(server.Control("fault melt"), 1);
    EXPECT_EQ(server.Run({"--socket", socket + ".none", "--control", "status"}), 1);
    EXPECT_EQ(server.Run({"--bogus"}), 2);
    // A second server refuses a socket that is being served.
    EXPECT_EQ(server.Run({"--socket", socket}), 1);
}

TEST_F(TwoProcesses, FaultsInjectedOverTheSocketReachTheHost) {
    auto scanner = openScanner();
    ASSERT_TRUE(scanner);
    EXPECT_EQ(server.Control("fault stall@tur:1"), 0);
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanErrPipeStalled);
    EXPECT_EQ(scanner->ClearEndpoints(), kScanOk);
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanOk);
}

TEST_F(TwoProcesses, AGarbledClientDoesNotDisturbOthers) {
    const int fd = usb::connectUnixSocket(socket);
    ASSERT_GE(fd, 0);
    const uint8_t junk[] = {0xEE, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    ASSERT_EQ(write(fd, junk, sizeof junk), ssize_t(sizeof junk));
    uint8_t byte = 0;
    EXPECT_EQ(read(fd, &byte, 1), 0) << "the server hangs up on it";
    close(fd);
    auto scanner = openScanner();
    ASSERT_TRUE(scanner);
    EXPECT_EQ(scanner->ExecTestUnitReady(), kScanOk);
}

} // namespace
} // namespace k3100::test
