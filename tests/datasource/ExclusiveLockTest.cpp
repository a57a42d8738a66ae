// The scanner lock across real processes: one holder at a time, a killed holder loses it at once, and
// the lock file can be neither redirected nor damaged.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "ChildProcess.h"
#include "ExclusiveLock.h"
#include "LockDir.h"

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
    test::LockDir mDir;
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

TEST_F(ExclusiveLock, SymbolicLinkIsNotFollowedAndExistingFileIsNotTruncated) {
    const std::string victim = mDir.Path() + "/victim";
    std::ofstream(victim) << "precious";
    ASSERT_EQ(symlink(victim.c_str(), (mDir.Path() + "/" + kName).c_str()), 0);
    EXPECT_EQ(CExclusiveLockObject::CreateExclusiveLockObject(kName), nullptr);

    const std::string existing = mDir.Path() + "/other";
    std::ofstream(existing) << "kept";
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject("other");
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(lock->LockObject());
    struct stat info {};
    ASSERT_EQ(stat(victim.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 8);
    ASSERT_EQ(stat(existing.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 4);
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

// A lock file that is no plain file is refused with a reason that names it.
TEST_F(ExclusiveLock, BlockedLockFileIsRefusedWithAReasonNamingIt) {
    const std::string path = mDir.Path() + "/" + kName;
    const std::pair<std::function<int()>, const char*> blockers[] = {
        {[&] { return symlink((mDir.Path() + "/elsewhere").c_str(), path.c_str()); }, "symbolic link"},
        {[&] { return mkfifo(path.c_str(), 0600); }, "not a plain file"},
        {[&] { return mkdir(path.c_str(), 0700); }, "not a plain file"},
    };
    for (const auto& [block, reason] : blockers) {
        ASSERT_EQ(block(), 0) << reason;
        std::string problem;
        EXPECT_EQ(CExclusiveLockObject::CreateExclusiveLockObject(kName, &problem), nullptr);
        EXPECT_NE(problem.find(path), std::string::npos) << problem;
        EXPECT_NE(problem.find(reason), std::string::npos) << problem;
        ASSERT_EQ(remove(path.c_str()), 0);
    }
}
