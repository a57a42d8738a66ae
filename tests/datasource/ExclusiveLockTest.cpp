// The scanner lock across real processes: one holder at a time, a killed holder loses it at once, and
// a name planted in its folder can neither block, redirect nor damage anything.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "ChildProcess.h"
#include "ExclusiveLock.h"
#include "LockDir.h"
#include "OtherUser.h"

namespace {

constexpr char kName[] = "k_3100";

char HoldLock() {
    static std::unique_ptr<CExclusiveLockObject> held; // kept for the child's life
    held = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    return held && held->LockObject() ? 'L' : 'F';
}

} // namespace

class ExclusiveLock : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = mDir.Path() + "-runtime-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mRuntime = pattern;
        setenv("XDG_RUNTIME_DIR", mRuntime.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(mRuntime, ignored);
    }

    test::LockDir mDir;
    std::string mRuntime; // the user's private runtime folder
};

TEST_F(ExclusiveLock, OtherProcessIsRefusedUntilHolderIsKilled) {
    test::ChildProcess holder(HoldLock);
    ASSERT_TRUE(holder.Started());
    ASSERT_EQ(holder.Report(), 'L');

    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    ASSERT_NE(lock, nullptr);
    EXPECT_FALSE(lock->LockObject());
    // Unlocking without holding must not release the other process's lock.
    EXPECT_EQ(lock->UnlockObject(), 0);
    EXPECT_FALSE(lock->LockObject());

    holder.Kill();
    EXPECT_TRUE(lock->LockObject());
}

TEST_F(ExclusiveLock, ChildIsRefusedWhileParentHoldsAndNothingRemainsAfterUnlock) {
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    ASSERT_NE(lock, nullptr);
    ASSERT_TRUE(lock->LockObject());
    {
        test::ChildProcess contender(HoldLock, true);
        EXPECT_EQ(contender.Report(), 'F');
    }
    EXPECT_EQ(lock->UnlockObject(), 0);
    test::ChildProcess later(HoldLock, true);
    EXPECT_EQ(later.Report(), 'L');
}

TEST_F(ExclusiveLock, SecondObjectInSameProcessIsRefused) {
    auto first = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    auto second = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->LockObject());
    EXPECT_FALSE(second->LockObject());
    first.reset(); // destroying the holder releases the lock
    EXPECT_TRUE(second->LockObject());
}

TEST_F(ExclusiveLock, NewLockFileIsReadableByEveryUserWhateverTheUmask) {
    const mode_t previous = umask(077);
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    umask(previous);
    ASSERT_NE(lock, nullptr);
    struct stat info {};
    ASSERT_EQ(stat(lock->Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(lock->Path(), mDir.Path() + "/" + kName);
}

// What another user may leave under the lock's name in a shared folder (a link to a file of ours, a
// FIFO, a folder) neither keeps the scanner from us nor is followed: our own lock takes its place and
// still keeps our processes apart. An existing plain file serves as it stands.
TEST_F(ExclusiveLock, ANamePlantedInASharedFolderNeitherBlocksNorRedirectsTheLock) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_EQ(chmod(mDir.Path().c_str(), 01777), 0); // as /tmp is
    const std::string victim = mRuntime + "/victim";
    std::ofstream(victim) << "precious";
    const std::string path = mDir.Path() + "/" + kName;
    const std::pair<std::function<int()>, const char*> plants[] = {
        {[&] { return symlink(victim.c_str(), path.c_str()); }, "link"},
        {[&] { return mkfifo(path.c_str(), 0600); }, "FIFO"},
        {[&] { return mkdir(path.c_str(), 0700); }, "folder"},
    };
    for (const auto& [plant, kind] : plants) {
        ASSERT_TRUE(test::asOtherUser([&] { return plant() == 0; })) << kind;
        std::string problem;
        auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName, &problem);
        ASSERT_NE(lock, nullptr) << kind << ": " << problem;
        EXPECT_EQ(lock->Path(), mRuntime + "/" + kName) << kind;
        EXPECT_TRUE(lock->LockObject()) << kind;
        test::ChildProcess contender(HoldLock, true);
        EXPECT_EQ(contender.Report(), 'F') << kind;
        ASSERT_EQ(remove(path.c_str()), 0);
    }
    struct stat info {};
    ASSERT_EQ(stat(victim.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 8);

    std::ofstream(path) << "kept";
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->Path(), path);
    EXPECT_TRUE(lock->LockObject());
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 4);
}

// Only when neither the shared name nor a private runtime folder can serve is the lock refused, with a
// reason that names both.
TEST_F(ExclusiveLock, WithoutAnyUsableLockTheRefusalNamesBoth) {
    const std::string path = mDir.Path() + "/" + kName;
    ASSERT_EQ(symlink((mDir.Path() + "/elsewhere").c_str(), path.c_str()), 0);
    ASSERT_EQ(chmod(mRuntime.c_str(), 0755), 0);
    std::string problem;
    EXPECT_EQ(CExclusiveLockObject::CreateExclusiveLockObject(kName, &problem), nullptr);
    for (const std::string& part : {path, std::string("symbolic link"), mRuntime})
        EXPECT_NE(problem.find(part), std::string::npos) << problem;
}
