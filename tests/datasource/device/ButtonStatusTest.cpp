// GetQSButtonStatus as the menu-bar helper calls it: K3100.ds loaded at run time, the scanner served by
// the k3100-emulator program in another process, the scanner lock held (or not) by a third.
#include "ChildProcess.h"
#include "LockDir.h"
#include "OtherUser.h"

#include "EmulatorProcess.h"

#include "ExclusiveLock.h"

#include "CDocScanner.h"

#include "UsbDiscovery.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace k3100::test {
namespace {

using ButtonStatusFn = int (*)(uint32_t*, uint32_t*);

class ButtonStatus : public ::testing::Test {
protected:
    // Where another user can reach them: one test serves the scanner and plants names as that user.
    ::test::SharedFolder shared;
    ::test::LockDir lockDir{shared.path()};
    std::string build = std::getenv("K3100_BUILD_DIR") ? std::getenv("K3100_BUILD_DIR") : "";
    std::string socket = (shared / "k3100-button").string();
    void* module = nullptr;
    ButtonStatusFn getButtonStatus = nullptr;
    ::test::EmulatorProcess server{socket};

    void SetUp() override {
        ASSERT_FALSE(build.empty());
        module = dlopen((build + "/lib/K3100.ds").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        getButtonStatus = reinterpret_cast<ButtonStatusFn>(dlsym(module, "GetQSButtonStatus"));
        ASSERT_NE(getButtonStatus, nullptr);
    }
    void TearDown() override {
        unsetenv(usb::kEmulatorSocketEnv);
        server.Stop();
        if (module != nullptr)
            dlclose(module);
    }

    void serve(const std::vector<std::string>& options) {
        ASSERT_TRUE(server.Start(options));
        setenv(usb::kEmulatorSocketEnv, socket.c_str(), 1);
    }

    void control(const std::string& text) { EXPECT_EQ(server.Control(text), 0); }
};

TEST_F(ButtonStatus, ReadsTheKeysOfAScannerServedByAnotherProcess) {
    serve({"--press", "2"});
    uint32_t keys = 99, location = 0;
    ASSERT_EQ(getButtonStatus(&keys, &location), 0);
    EXPECT_EQ(keys, 0b010u);
    EXPECT_NE(location, 0u);
    // A press is reported once.
    ASSERT_EQ(getButtonStatus(&keys, &location), 0);
    EXPECT_EQ(keys, 0u);
    control("press 3");
    keys = 0;
    ASSERT_EQ(getButtonStatus(&keys, nullptr), 0);
    EXPECT_EQ(keys, 0b100u);
}

TEST_F(ButtonStatus, RefusesAtOnceWhileAnotherProcessHoldsTheScanner) {
    serve({"--press", "1"});
    ::test::ChildProcess holder([] {
        static auto lock = CExclusiveLockObject::CreateExclusiveLockObject("k_3100");
        return lock && lock->LockObject() ? 'L' : 'F';
    });
    ASSERT_EQ(holder.Report(), 'L');
    uint32_t keys = 77, location = 5;
    EXPECT_EQ(getButtonStatus(&keys, &location), -2);
    EXPECT_EQ(keys, 77u);
    EXPECT_EQ(location, 0u);
    holder.Kill();
    // The scanner was not touched: the press is still there to be read.
    ASSERT_EQ(getButtonStatus(&keys, &location), 0);
    EXPECT_EQ(keys, 0b001u);
}

// Another user's link, FIFO, folder, unreadable file, socket or file of its own under the lock's name
// in a shared lock folder does not stop the read (our own lock serves in its place).
TEST_F(ButtonStatus, ANamePlantedByAnotherUserDoesNotStopTheRead) {
    if (const std::string why = ::test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_EQ(chmod(lockDir.Path().c_str(), 01777), 0); // as /tmp is
    const ::test::ActingAs victim(::test::kVictimUid, ::test::kVictimGid);
    ASSERT_TRUE(victim.active());
    serve({});
    const std::string runtime = lockDir.Path() + "/own";
    ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string name = lockDir.Path() + "/k_3100";
    const std::pair<std::function<int()>, const char*> plants[] = {
        {[&] { return symlink("/dev/null", name.c_str()); }, "link"},
        {[&] { return mkfifo(name.c_str(), 0600); }, "FIFO"},
        {[&] { return mkdir(name.c_str(), 0700); }, "folder"},
        {[&] { return ::test::makeFile(name, 0600); }, "unreadable file"},
        {[&] { return ::test::bindSocket(name); }, "socket"},
        {[&] { return ::test::makeFile(name, 0644); }, "file of another user"},
    };
    for (const auto& [plant, kind] : plants) {
        ASSERT_TRUE(::test::asOtherUser([&] { return plant() == 0; })) << kind;
        control("press 1");
        uint32_t keys = 0;
        EXPECT_EQ(getButtonStatus(&keys, nullptr), 0) << kind;
        EXPECT_EQ(keys, 0b001u) << kind;
        ASSERT_TRUE(::test::asOtherUser([&] { return remove(name.c_str()) == 0; })) << kind;
    }
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(ButtonStatus, NoScannerAndMissingOutputAreReported) {
    uint32_t keys = 0, location = 9;
    EXPECT_EQ(getButtonStatus(&keys, &location), -1);
    EXPECT_EQ(location, 0u);
    EXPECT_EQ(getButtonStatus(nullptr, &location), -3);
}

TEST_F(ButtonStatus, UnreadableScannerGivesMinusThree) {
    serve({"--fault", "hardware-error@read:1"});
    uint32_t keys = 0;
    EXPECT_EQ(getButtonStatus(&keys, nullptr), -3);
}

} // namespace
} // namespace k3100::test
