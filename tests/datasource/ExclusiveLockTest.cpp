// The scanner lock across real processes: one holder at a time, a killed holder loses it at once, and
// a name planted in its folder can neither block, redirect nor damage anything.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "ExclusiveLock.h"
#include "LockDir.h"
#include "OtherUser.h"
#include "ScopedEnv.h"

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
        mVictim.reset();
        unsetenv("XDG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(mRuntime, ignored);
        for (const std::string& folder : mVictimFolders)
            std::filesystem::remove_all(folder, ignored);
    }

    // A folder of the victim's own (made as the victim), removed with the test.
    std::string VictimFolder(const std::string& name) {
        std::string pattern = mDir.Path() + "-" + name + "-XXXXXX";
        if (!mkdtemp(pattern.data()))
            return "";
        mVictimFolders.push_back(pattern);
        return pattern;
    }
    // The victim's runtime folder, named as the user's.
    std::string VictimRuntime() {
        const std::string runtime = VictimFolder("victim-runtime");
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        return runtime;
    }

    // The rest of the test runs as the victim, with the lock folder opened to others as mode says and
    // a runtime folder of the victim's own, whose path it answers ("" when that failed).
    std::string ActAsVictim(mode_t lockFolderMode) {
        if (chmod(mDir.Path().c_str(), lockFolderMode) != 0)
            return "";
        mVictim.emplace(test::kVictimUid, test::kVictimGid);
        return mVictim->active() ? VictimRuntime() : "";
    }

    test::SharedFolder mShared; // where other users reach the lock folder and the victim's own folders
    test::LockDir mDir{mShared.path()};
    std::optional<test::ActingAs> mVictim;
    std::string mRuntime; // the user's private runtime folder
    std::vector<std::string> mVictimFolders;
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
// FIFO, a folder, a file we may not read, a socket, a plain file of its own) neither keeps the scanner
// from us nor is followed or taken as the lock: our own lock takes its place and still keeps our
// processes apart. Our own plain file serves as it stands, with our own lock beside it.
TEST_F(ExclusiveLock, ANamePlantedInASharedFolderNeitherBlocksNorRedirectsTheLock) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    const std::string runtime = ActAsVictim(01777); // as /tmp is
    ASSERT_FALSE(runtime.empty());
    const std::string precious = runtime + "/precious";
    std::ofstream(precious) << "precious";
    const std::string path = mDir.Path() + "/" + kName;
    const std::pair<std::function<int()>, const char*> plants[] = {
        {[&] { return symlink(precious.c_str(), path.c_str()); }, "link"},
        {[&] { return mkfifo(path.c_str(), 0600); }, "FIFO"},
        {[&] { return mkdir(path.c_str(), 0700); }, "folder"},
        {[&] { return test::makeFile(path, 0600); }, "unreadable file"},
        {[&] { return test::bindSocket(path); }, "socket"},
        {[&] { return test::makeFile(path, 0644); }, "file of another user"},
    };
    for (const auto& [plant, kind] : plants) {
        ASSERT_TRUE(test::asOtherUser([&] { return plant() == 0; })) << kind;
        std::string problem;
        auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName, &problem);
        ASSERT_NE(lock, nullptr) << kind << ": " << problem;
        EXPECT_EQ(lock->Path().rfind(runtime + "/" + kName + "-", 0), 0u) << kind << ": " << lock->Path();
        EXPECT_TRUE(lock->LockObject()) << kind;
        test::ChildProcess contender(HoldLock, true);
        EXPECT_EQ(contender.Report(), 'F') << kind;
        ASSERT_TRUE(test::asOtherUser([&] { return remove(path.c_str()) == 0; })) << kind;
    }
    struct stat info {};
    ASSERT_EQ(stat(precious.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 8);

    std::ofstream(path) << "kept";
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->Path(), path);
    EXPECT_TRUE(lock->LockObject());
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 4);
}

// Another user's lock file in a shared folder, swapped for a new one while one of our processes holds
// it, would let the next of our processes take the scanner too: our own lock serves instead.
TEST_F(ExclusiveLock, AnotherUsersLockFileSwappedUnderUsKeepsOurProcessesApart) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_EQ(chmod(mDir.Path().c_str(), 01777), 0);
    const std::string path = mDir.Path() + "/" + kName;
    ASSERT_TRUE(test::asOtherUser([&] { return test::makeFile(path, 0644) == 0; }));
    const test::ActingAs victim(test::kVictimUid, test::kVictimGid);
    ASSERT_TRUE(victim.active());
    VictimRuntime();
    test::ChildProcess holder(HoldLock);
    ASSERT_EQ(holder.Report(), 'L');
    ASSERT_TRUE(
        test::asOtherUser([&] { return remove(path.c_str()) == 0 && test::makeFile(path, 0644) == 0; }));
    test::ChildProcess contender(HoldLock, true);
    EXPECT_EQ(contender.Report(), 'F');
}

// Another user plants the name in a shared folder before the user's first program takes the lock, and
// removes it before the second starts: the second still meets the first there, and is refused.
TEST_F(ExclusiveLock, AProgramStartedAfterAPlantWasRemovedMeetsTheFirst) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_FALSE(ActAsVictim(01777).empty());
    const std::string path = mDir.Path() + "/" + kName;
    const std::pair<std::function<int()>, const char*> plants[] = {
        {[&] { return test::makeFile(path, 0644); }, "file of another user"},
        {[&] { return mkfifo(path.c_str(), 0600); }, "FIFO"},
        {[&] { return symlink((path + "-gone").c_str(), path.c_str()); }, "dangling link"},
    };
    for (const auto& [plant, kind] : plants) {
        ASSERT_TRUE(test::asOtherUser([&] { return plant() == 0; })) << kind;
        test::ChildProcess first(HoldLock);
        ASSERT_EQ(first.Report(), 'L') << kind;
        ASSERT_TRUE(test::asOtherUser([&] { return remove(path.c_str()) == 0; })) << kind;
        test::ChildProcess second(HoldLock, true);
        EXPECT_EQ(second.Report(), 'F') << kind;
        first.Kill();
        remove(path.c_str()); // the file the second made, so that the next plant finds the name free
    }
}

// In a folder open to all without the sticky bit another user may move the user's lock file away
// while the first program holds it: the second, making the name anew, still meets the first.
TEST_F(ExclusiveLock, AProgramStartedAfterTheLockFileWasMovedAwayMeetsTheFirst) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_FALSE(ActAsVictim(0777).empty());
    const std::string path = mDir.Path() + "/" + kName;
    test::ChildProcess first(HoldLock);
    ASSERT_EQ(first.Report(), 'L');
    ASSERT_TRUE(test::asOtherUser([&] { return rename(path.c_str(), (path + "-moved").c_str()) == 0; }));
    test::ChildProcess second(HoldLock, true);
    EXPECT_EQ(second.Report(), 'F');
}

// The lock as the install makes it, root's in a folder only root may change, is the one lock of every
// user, and needs no lock of the user's own: without a runtime folder it still keeps two users apart.
TEST_F(ExclusiveLock, TheInstalledLockAloneKeepsEveryUserApart) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    if (!test::onlyRootCanChange(mShared.path()))
        GTEST_SKIP() << "needs a temporary folder that only root can change, or sticky; neither $TMPDIR nor "
                        "/tmp is";
    ASSERT_EQ(chmod(mDir.Path().c_str(), 0755), 0);
    const std::string path = mDir.Path() + "/" + kName;
    ASSERT_EQ(test::makeFile(path, 0644), 0);
    ASSERT_EQ(chmod(mRuntime.c_str(), 0755), 0); // no private runtime folder for anyone
    const test::ActingAs victim(test::kVictimUid, test::kVictimGid);
    ASSERT_TRUE(victim.active());
    std::string problem;
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName, &problem);
    ASSERT_NE(lock, nullptr) << problem;
    EXPECT_EQ(lock->Path(), path);
    ASSERT_TRUE(lock->LockObject());
    EXPECT_TRUE(test::asOtherUser([] {
        auto theirs = CExclusiveLockObject::CreateExclusiveLockObject(kName);
        return theirs && !theirs->LockObject();
    }));
}

// With no runtime folder named and no shared lock installed, a runtime folder that another user made in
// advance where the fallback used to lie (in /tmp) keeps nothing from us: the lock lies in our home.
TEST_F(ExclusiveLock, ARuntimeFolderAnotherUserMadeInAdvanceStopsNoScan) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv shared("K3100_LOCK_DIR", (mDir.Path() + "/not-installed").c_str());
    const ScopedEnv tmp("TMPDIR", mDir.Path().c_str());
    ASSERT_EQ(chmod(mDir.Path().c_str(), 01777), 0);
    const std::string premade = mDir.Path() + "/runtime-" + std::to_string(test::kVictimUid);
    ASSERT_TRUE(test::asOtherUser(
        [&] { return mkdir(premade.c_str(), 0700) == 0 && chmod(premade.c_str(), 0777) == 0; }));
    const test::ActingAs victim(test::kVictimUid, test::kVictimGid);
    ASSERT_TRUE(victim.active());
    const std::string home = VictimFolder("home");
    const ScopedEnv homeVariable("HOME", home.c_str());
    const ScopedEnv cache("XDG_CACHE_HOME", nullptr);
    std::string problem;
    auto lock = CExclusiveLockObject::CreateExclusiveLockObject(kName, &problem);
    ASSERT_NE(lock, nullptr) << problem;
    EXPECT_EQ(lock->Path().rfind(home + "/.cache/k3100-runtime/" + kName + "-", 0), 0u) << lock->Path();
    EXPECT_TRUE(lock->LockObject());
    test::ChildProcess contender(HoldLock, true);
    EXPECT_EQ(contender.Report(), 'F');
    EXPECT_TRUE(std::filesystem::is_empty(premade));
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
