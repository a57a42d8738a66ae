// The shared settings record read from another program's preferences: typed keys, entries that carry
// their own job numbers, and damaged or hostile records that give nothing instead of a crash.
#include "AppSettingRecord.h"

#include "PropertyList.h"
#include "Value.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tapwell {
namespace {

fnd::Dictionary job(fnd::Dictionary entry) {
    return entry;
}

std::vector<std::uint8_t> binary(const fnd::Value& value) {
    return fnd::plist::toBinary(value).value();
}

fnd::Dictionary sampleRecord() {
    return {{"QS_IsModal", false},
            {"QS_AppState", std::int32_t{306}},
            {"QS_ConfirmOutput", true},
            {"QS_StartAppPlugInScn", false},
            {"QS_ShowIcnLogInPC", true},
            {"QS_JobMdlArray", fnd::Array{job({{"QSMenu_BtnState", std::int32_t{1}},
                                               {"QSMenu_FuncType", std::int32_t{0}},
                                               {"QSMenu_FuncIcnsPath", std::int32_t{0}},
                                               {"QSMenu_TitleStr", std::int32_t{0}},
                                               {"QSMenu_Num", std::int32_t{-1}}}),
                                          job({{"QSMenu_BtnState", std::int32_t{2}},
                                               {"QSMenu_FuncType", std::int32_t{3}},
                                               {"QSMenu_FuncIcnsPath", "/usr/bin/viewer"},
                                               {"QSMenu_TitleStr", "Receipts"},
                                               {"QSMenu_Num", std::int32_t{4}}})}}};
}

TEST(AppSettingRecord, ReadsEveryKeyWithItsType) {
    const std::optional<AppSetting> setting = decodeAppSetting(binary(sampleRecord()));
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->isModal, false);
    EXPECT_EQ(setting->appState, 306);
    EXPECT_EQ(setting->confirmOutput, true);
    EXPECT_EQ(setting->showIcnLogInPC, true);
    ASSERT_TRUE(setting->jobs);
    ASSERT_EQ(setting->jobs->size(), 2u);
    const JobMenuEntry& second = (*setting->jobs)[1];
    EXPECT_EQ(second.num, 4);
    EXPECT_EQ(second.btnState, 2);
    EXPECT_EQ(second.funcType, 3);
    EXPECT_EQ(second.iconPath, "/usr/bin/viewer");
    EXPECT_EQ(second.title, "Receipts");
    EXPECT_EQ((*setting->jobs)[0].title, "") << "a title stored as the number 0 is empty";
}

TEST(AppSettingRecord, EntriesNeverInheritTheirNeighboursValues) {
    fnd::Dictionary record = sampleRecord();
    record.set("QS_JobMdlArray",
               fnd::Array{job({{"QSMenu_BtnState", std::int32_t{1}},
                               {"QSMenu_FuncType", std::int32_t{2}},
                               {"QSMenu_Num", std::int32_t{7}}}),
                          job({{"QSMenu_TitleStr", "no number"}}), job({{"QSMenu_Num", std::int32_t{11}}}),
                          job({{"QSMenu_Num", "3"}}), job({{"QSMenu_Num", std::int32_t{2}}}),
                          fnd::Value("not a dictionary")});
    const std::optional<AppSetting> setting = decodeAppSetting(binary(record));
    ASSERT_TRUE(setting && setting->jobs);
    ASSERT_EQ(setting->jobs->size(), 2u);
    const JobMenuEntry& last = (*setting->jobs)[1];
    EXPECT_EQ(last.num, 2);
    EXPECT_EQ(last.btnState, -1);
    EXPECT_EQ(last.funcType, -1);
}

TEST(AppSettingRecord, KeysOfTheWrongTypeStayUnset) {
    const fnd::Dictionary record{{"QS_IsModal", "yes"},
                                 {"QS_AppState", 1.5},
                                 {"QS_ConfirmOutput", fnd::Array{}},
                                 {"QS_ShowIcnLogInPC", fnd::Data{1}},
                                 {"QS_JobMdlArray", fnd::Dictionary{}}};
    const std::optional<AppSetting> setting = decodeAppSetting(binary(record));
    ASSERT_TRUE(setting);
    EXPECT_FALSE(setting->isModal);
    EXPECT_FALSE(setting->appState);
    EXPECT_FALSE(setting->confirmOutput);
    EXPECT_FALSE(setting->showIcnLogInPC);
    EXPECT_FALSE(setting->jobs);
}

TEST(AppSettingRecord, TooManyEntriesAreCut) {
    fnd::Array many;
    for (int i = 0; i < 5000; ++i)
        many.push_back(job({{"QSMenu_Num", std::int32_t{1 + i % 10}}}));
    fnd::Dictionary record{{"QS_JobMdlArray", many}};
    const std::optional<AppSetting> setting = decodeAppSetting(binary(record));
    ASSERT_TRUE(setting && setting->jobs);
    EXPECT_EQ(setting->jobs->size(), kMaxJobEntries);
}

TEST(AppSettingRecord, DamagedRecordsGiveNothing) {
    std::vector<std::uint8_t> truncated = binary(sampleRecord());
    truncated.resize(truncated.size() / 2);
    std::vector<std::uint8_t> scribbled = binary(sampleRecord());
    for (std::size_t i = 8; i < scribbled.size(); i += 3)
        scribbled[i] ^= 0x5a;
    const std::string text = "bplist00 garbage";
    for (const std::vector<std::uint8_t>& bytes :
         {std::vector<std::uint8_t>{}, truncated, scribbled,
          std::vector<std::uint8_t>(text.begin(), text.end()), binary(fnd::Array{1, 2})}) {
        // A scribble may still leave a dictionary: then only checked keys survive.
        const std::optional<AppSetting> setting = decodeAppSetting(bytes);
        if (setting) {
            EXPECT_LE(setting->jobs.value_or(std::vector<JobMenuEntry>{}).size(), kMaxJobEntries);
        }
    }
    EXPECT_FALSE(decodeAppSetting(truncated));
    EXPECT_FALSE(decodeAppSetting(binary(fnd::Array{1, 2})));
}

TEST(AppSettingRecord, ReadsTheRecordFromThePreferencesFile) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tapwell-record-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "prefs.plist";
    EXPECT_FALSE(readAppSetting(file)) << "missing file";

    ASSERT_TRUE(fnd::plist::writeFile(file, fnd::Dictionary{{"QS_AppSetting", "not data"}}));
    EXPECT_FALSE(readAppSetting(file));

    ASSERT_TRUE(
        fnd::plist::writeFile(file, fnd::Dictionary{{"QS_AppSetting", fnd::Data(binary(sampleRecord()))}}));
    const std::optional<AppSetting> setting = readAppSetting(file);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->appState, 306);

    std::ofstream(file) << "<plist><dict><key>QS_AppSetting</key><data>";
    EXPECT_FALSE(readAppSetting(file));
    std::filesystem::remove_all(folder);
}

// Before the main application has written a record, its own setting says what button 1 starts.
TEST(AppSettingRecord, ButtonOneScansFirstUnlessTheApplicationsSettingSaysOtherwise) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tapwell-button-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "prefs.plist";
    EXPECT_TRUE(readButtonOneScansFirst(file)) << "missing file";
    ASSERT_TRUE(fnd::plist::writeFile(file, fnd::Dictionary{{"AppBtn1AllocFOAScanKey", false}}));
    EXPECT_FALSE(readButtonOneScansFirst(file));
    ASSERT_TRUE(fnd::plist::writeFile(file, fnd::Dictionary{{"AppBtn1AllocFOAScanKey", "no"}}));
    EXPECT_TRUE(readButtonOneScansFirst(file)) << "a value of the wrong type";
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tapwell
