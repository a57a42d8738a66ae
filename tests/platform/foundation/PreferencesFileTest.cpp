// Preferences files: missing and damaged files read as empty, damaged ones survive until a save, a
// failed write keeps the old file, and other keys in the file are kept across a save.
#include "PreferencesFile.h"
#include "PropertyList.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>

using namespace fnd;

TEST(PreferencesFile, MissingFileReadsEmptyAndSaveCreatesItsFolder) {
    TempFolder dir;
    const auto file = dir / "sub/folder/prefs.plist";
    PreferencesFile prefs(file);
    EXPECT_EQ(prefs.state(), PreferencesFile::State::Missing);
    EXPECT_TRUE(prefs.values().empty());

    prefs.set("CapDataVersion", "1");
    prefs.set("CapData", Data{9, 8, 7});
    ASSERT_TRUE(prefs.save());

    PreferencesFile again(file);
    EXPECT_EQ(again.state(), PreferencesFile::State::Loaded);
    EXPECT_EQ(*again.get("CapData").asData(), (Data{9, 8, 7}));
}

TEST(PreferencesFile, DamagedFileWarnsOnceReadsEmptyAndIsKeptUntilSaved) {
    TempFolder dir;
    const auto file = dir / "prefs.plist";
    const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>CapData</key><da";
    writeText(file, damaged);

    testing::internal::CaptureStderr();
    PreferencesFile prefs(file);
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(prefs.state(), PreferencesFile::State::Damaged);
    EXPECT_TRUE(prefs.values().empty());
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_NE(warning.find(file.string()), std::string::npos);
    EXPECT_EQ(readText(file), damaged);

    prefs.set("SettingMode", std::int32_t{1});
    ASSERT_TRUE(prefs.save());
    EXPECT_EQ(PreferencesFile(file).get("SettingMode").asInt32(), 1);
}

TEST(PreferencesFile, NonDictionaryRootCountsAsDamaged) {
    TempFolder dir;
    const auto file = dir / "prefs.plist";
    ASSERT_TRUE(plist::writeFile(file, Value(Array{1, 2})));
    testing::internal::CaptureStderr();
    PreferencesFile prefs(file);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(prefs.state(), PreferencesFile::State::Damaged);
    EXPECT_TRUE(prefs.values().empty());
}

TEST(PreferencesFile, WrongTypedValueReadsAsMissingAndOtherKeysSurviveASave) {
    TempFolder dir;
    const auto file = dir / "prefs.plist";
    ASSERT_TRUE(plist::writeFile(file, Value(Dictionary{{"CapDataVersion", std::int32_t{1}},
                                                        {"WindowFrame", "{{10, 20}, {300, 200}}"}})));
    PreferencesFile prefs(file);
    EXPECT_EQ(prefs.get("CapDataVersion").asString(), nullptr);
    EXPECT_EQ(prefs.get("WindowFrame").asData(), nullptr);

    prefs.set("CapDataVersion", "1");
    ASSERT_TRUE(prefs.save());
    PreferencesFile again(file);
    EXPECT_EQ(*again.get("CapDataVersion").asString(), "1");
    EXPECT_EQ(*again.get("WindowFrame").asString(), "{{10, 20}, {300, 200}}");
}

TEST(PreferencesFile, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TempFolder dir;
    const auto file = dir / "prefs.plist";
    PreferencesFile prefs(file);
    prefs.set("CapData", Data{1});
    ASSERT_TRUE(prefs.save());
    const std::string before = readText(file);

    // A file-size limit below the new file's size makes the write itself fail half way.
    prefs.set("CapData", Data(100000, 0x55));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = before.size() + 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool saved_ok = prefs.save(&error);
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readText(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PreferencesFile, PathFollowsTheConfigFolderAndRefusesEscapingIdentifiers) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(PreferencesFile::pathForBundle("com.orvikElectronics.k3100"),
              "/tmp/cfg/com.orvikElectronics.k3100.plist");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(PreferencesFile::pathForBundle("a.b"), "/home/someone/.config/a.b.plist");
    EXPECT_TRUE(PreferencesFile::pathForBundle("../evil").empty());
    EXPECT_TRUE(PreferencesFile::pathForBundle("").empty());
    EXPECT_TRUE(PreferencesFile::pathForBundle("..").empty());
    if (old)
        ::setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PreferencesFile, WithoutAPathNothingIsSaved) {
    PreferencesFile prefs{std::filesystem::path()};
    prefs.set("a", 1);
    std::string error;
    EXPECT_FALSE(prefs.save(&error));
    EXPECT_FALSE(error.empty());
}

// The next save keeps a damaged file's bytes as "<name>.damaged" (and says so) before it writes anew.
TEST(PreferencesFile, DamagedFileIsMovedAsideBeforeTheSaveReplacesIt) {
    TempFolder dir;
    const auto file = dir / "prefs.plist";
    const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>FavoriteSettings</key><arr";
    for (int round = 1; round <= 2; ++round) {
        writeText(file, damaged);
        testing::internal::CaptureStderr();
        PreferencesFile prefs(file);
        prefs.set("SettingMode", std::int32_t{round});
        ASSERT_TRUE(prefs.save());
        const std::string said = testing::internal::GetCapturedStderr();
        const auto aside = dir / (round == 1 ? "prefs.plist.damaged" : "prefs.plist.damaged-2");
        EXPECT_EQ(readText(aside), damaged) << round;
        EXPECT_NE(said.find(aside.string()), std::string::npos) << said;
        EXPECT_EQ(PreferencesFile(file).get("SettingMode").asInt32(), round);
    }
}

// A preferences file that is a symbolic link stays one: the save goes to the file it leads to.
TEST(PreferencesFile, SymbolicLinkIsWrittenThroughToItsTarget) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "synced");
    const auto target = dir / "synced/prefs.plist";
    const auto link = dir / "prefs.plist";
    ASSERT_TRUE(plist::writeFile(target, Value(Dictionary{{"Kept", "yes"}})));
    std::filesystem::create_symlink("synced/prefs.plist", link);
    PreferencesFile prefs(link);
    prefs.set("SettingMode", std::int32_t{2});
    ASSERT_TRUE(prefs.save());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    const PreferencesFile again(target);
    EXPECT_EQ(again.get("SettingMode").asInt32(), 2);
    EXPECT_EQ(*again.get("Kept").asString(), "yes");
}

namespace {

// What would change if the entry were replaced, renamed or written to.
std::tuple<ino_t, mode_t, uid_t, dev_t, off_t> identityOf(const std::filesystem::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return {st.st_ino, st.st_mode, st.st_uid, st.st_rdev, st.st_size};
}

// Things a preferences link may lead to that are no settings file of this user. Made where this user
// can make them: a device node and another user's file need root, else the system's own stand in.
std::vector<std::filesystem::path> hostileTargets(const TempFolder& dir) {
    const auto fifo = dir / "fifo";
    EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::filesystem::path> targets{fifo, dir / "loop-a"};
    std::filesystem::create_symlink("loop-b", dir / "loop-a");
    std::filesystem::create_symlink("loop-a", dir / "loop-b");
    if (::geteuid() != 0) {
        targets.insert(targets.end(), {"/dev/null", "/etc/passwd"});
        return targets;
    }
    const auto device = dir / "null-device";
    const auto foreign = dir / "someone-else.plist";
    EXPECT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    EXPECT_TRUE(plist::writeFile(foreign, Value(Dictionary{{"Theirs", "yes"}})));
    EXPECT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    targets.push_back(device);
    targets.push_back(foreign);
    return targets;
}

} // namespace

// A save through a link never harms what the link leads to unless that is a regular file of this user
// (a device node was once renamed aside and replaced): the link itself gives way to the new file.
TEST(PreferencesFile, LinkToWhatIsNoSettingsFileOfThisUserIsReplacedNotFollowed) {
    TempFolder dir;
    const auto link = dir / "prefs.plist";
    for (const std::filesystem::path& target : hostileTargets(dir)) {
        const auto before = identityOf(target);
        std::filesystem::remove(link);
        std::filesystem::create_symlink(target, link);
        PreferencesFile prefs(link);
        prefs.set("SettingMode", std::int32_t{3});
        testing::internal::CaptureStderr();
        const bool saved = prefs.save();
        testing::internal::GetCapturedStderr();
        ASSERT_TRUE(saved) << target;
        EXPECT_EQ(identityOf(target), before) << target;
        EXPECT_FALSE(std::filesystem::is_symlink(link)) << target;
        EXPECT_EQ(PreferencesFile(link).get("SettingMode").asInt32(), 3) << target;
    }
}
