// User defaults: stored per bundle identifier under the configuration folder, written only by
// synchronize() (or on destruction), merged with what other writers put in the file meanwhile.
#include "UserDefaults.h"
#include "PreferencesFile.h"

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace fnd;

TEST(UserDefaults, SynchronizeWritesTheBundlesFileAndKeepsOtherWritersKeys) {
    TempFolder dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    const auto file = dir / "com.example.tollivar.plist";

    UserDefaults defaults("com.example.tollivar");
    EXPECT_EQ(defaults.path(), file);
    defaults.set("QS_AppSetting", Dictionary{{"ScanMode", 1}});
    defaults.set("FileVerKey", std::int32_t{3});
    EXPECT_FALSE(std::filesystem::exists(file)); // nothing written before synchronize

    // Another process adds a key and changes one of ours in the meantime.
    PreferencesFile other(file);
    other.set("PrefsSettingFilePathKey", "/home/u/backup.plist");
    other.set("FileVerKey", std::int32_t{2});
    ASSERT_TRUE(other.save());

    ASSERT_TRUE(defaults.synchronize());
    PreferencesFile stored(file);
    EXPECT_EQ(stored.get("FileVerKey").asInt32(), 3);
    EXPECT_EQ(*stored.get("PrefsSettingFilePathKey").asString(), "/home/u/backup.plist");
    EXPECT_EQ(stored.get("QS_AppSetting").asDictionary()->get("ScanMode").asInt32(), 1);
    EXPECT_EQ(defaults.string("PrefsSettingFilePathKey"), "/home/u/backup.plist");

    defaults.remove("FileVerKey");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_FALSE(PreferencesFile(file).values().contains("FileVerKey"));
}

TEST(UserDefaults, TypedReadsTreatOtherTypesAsMissing) {
    TempFolder dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    UserDefaults defaults("com.example.types");
    defaults.set("text", "1");
    defaults.set("number", 1);
    EXPECT_EQ(defaults.integer("text"), std::nullopt);
    EXPECT_EQ(defaults.string("number"), std::nullopt);
    EXPECT_EQ(defaults.data("number"), std::nullopt);
    EXPECT_EQ(defaults.boolean("number"), true);
    EXPECT_EQ(defaults.dictionary("missing"), std::nullopt);
}

TEST(UserDefaults, PendingChangesAreSavedOnDestructionAndReadByTheNextInstance) {
    TempFolder dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    {
        UserDefaults defaults("com.example.helper");
        defaults.set("MainJobJLMdlKey", Array{Dictionary{{"Name", "Job 1"}}});
    }
    UserDefaults again("com.example.helper");
    const std::optional<Array> jobs = again.array("MainJobJLMdlKey");
    ASSERT_TRUE(jobs);
    EXPECT_EQ(*(*jobs)[0].asDictionary()->get("Name").asString(), "Job 1");
}

TEST(UserDefaults, AFailedWriteKeepsTheChangesPending) {
    TempFolder dir;
    const auto blocker = dir / "not-a-folder";
    writeText(blocker, "x"); // the configuration "folder" is a file, so nothing can be written in it
    ScopedEnv config("XDG_CONFIG_HOME", blocker.c_str());
    UserDefaults defaults("com.example.blocked");
    defaults.set("k", 1);
    std::string error;
    EXPECT_FALSE(defaults.synchronize(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(defaults.integer("k"), 1);

    std::filesystem::remove(blocker);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(PreferencesFile(blocker / "com.example.blocked.plist").get("k").asInt32(), 1);
}

// A value set again as the file holds it costs no write (each write is flushed to disk); a changed one
// is written. The hard link keeps the first file's inode, so a rewrite shows as a different file.
TEST(UserDefaults, ValuesSetAsTheFileHoldsThemAreNotWrittenAgain) {
    TempFolder dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    UserDefaults defaults("com.example.record");
    defaults.set("QS_AppSetting", Data{1, 2, 3});
    defaults.set("Count", std::int32_t{4});
    ASSERT_TRUE(defaults.synchronize());
    const auto file = dir / "com.example.record.plist";
    const auto witness = dir / "witness";
    std::filesystem::create_hard_link(file, witness);

    for (int i = 0; i < 20; ++i) {
        defaults.set("QS_AppSetting", Data{1, 2, 3});
        defaults.set("Count", std::int64_t{4});
        ASSERT_TRUE(defaults.synchronize());
    }
    EXPECT_TRUE(std::filesystem::equivalent(file, witness));

    defaults.set("QS_AppSetting", Data{1, 2, 4});
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_FALSE(std::filesystem::equivalent(file, witness));
    EXPECT_EQ(*UserDefaults("com.example.record").data("QS_AppSetting"), (Data{1, 2, 4}));
}
