// The job lists in the user-defaults file: first launch, edits written when made, the stored order,
// lists of other versions, and stored lists that are damaged.
#include "TlvJobListStorage.h"

#include "FixedLookup.h"
#include "PreferencesFile.h"
#include "TlvUtilsMethod.h"

#include <gtest/gtest.h>

namespace {

fnd::Data archive(const fnd::Dictionary& dict) {
    return *TlvUtilsMethod::encodeDictToData(dict);
}

fnd::Dictionary storedJob(int number, const std::string& title, int button = -1) {
    TlvJobListSettingMdl job = *TlvJobListSettingMdl::initWithBlankJobMdlIndex(number - 1);
    job.setJList_Title(title);
    job.setJList_ScanBtnStatus(button);
    return job.jobListMdlToDict();
}

void store(const PrivateDefaults& home, const fnd::Dictionary& values) {
    auto defaults = home.open();
    for (const auto& [key, value] : values)
        defaults->set(key, value);
    ASSERT_TRUE(defaults->synchronize());
}

std::vector<int> numbers(const TlvJobListStorage& storage) {
    std::vector<int> out;
    for (const auto& row : storage.jobListMdlArray())
        out.push_back(row->jList_Num());
    return out;
}

const std::vector<int> kOneToTen{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

} // namespace

TEST(JobListStorage, FirstLaunchBuildsTheBuiltInJobs) {
    FixedLookup lookup;
    PrivateDefaults home;
    auto defaults = home.open();
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(false);
    EXPECT_EQ(storage.foaJobListMdl()->jList_Num(), -1);
    EXPECT_EQ(storage.foaJobListMdl()->jList_ScanBtnStatus(), -1);
    EXPECT_EQ(numbers(storage), kOneToTen);
    EXPECT_EQ(storage.jobListMdlAtIndex(0)->jList_Title(), "JobList_Def01");
    EXPECT_FALSE(storage.isStoredJobListKept());
    EXPECT_EQ(storage.jobListMdlAtIndex(10), nullptr);
    storage.loadJobListMdlFromFile(true);
    EXPECT_EQ(storage.foaJobListMdl()->jList_ScanBtnStatus(), 1);
}

TEST(JobListStorage, EditsAreOnDiskAsSoonAsTheyAreMadeAndComeBackInTheirOrder) {
    FixedLookup lookup;
    PrivateDefaults home;
    auto defaults = home.open();
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(true);

    TlvJobListSettingMdl job = *TlvJobListSettingMdl::initWithBlankJobMdlIndex(0); // number ignored
    job.setJList_Title("Archive");
    job.setJList_ScanBtnStatus(1);
    ASSERT_TRUE(storage.applyJob(6, job));
    EXPECT_EQ(storage.jobListMdlAtIndex(6)->jList_Num(), 7);
    EXPECT_EQ(storage.jobListMdlAtIndex(0)->jList_ScanBtnStatus(), -1); // the button moved
    ASSERT_TRUE(storage.assignScanButton(3, 2));
    ASSERT_TRUE(storage.deleteJob(1));
    ASSERT_TRUE(storage.sortRows([](const TlvJobListSettingMdl& a, const TlvJobListSettingMdl& b) {
        return a.jList_Title().value_or("") > b.jList_Title().value_or("");
    }));
    EXPECT_FALSE(storage.assignScanButton(3, 3));
    EXPECT_FALSE(storage.deleteJob(-1));

    // Another process reads the file now, without a save at quit.
    auto reader = home.open();
    EXPECT_EQ(TlvJobListStorage::loadFileVersionFromFile(*reader), 0x00010001u);
    TlvJobListStorage reloaded(*reader);
    reloaded.loadJobListMdlFromFile(true);
    EXPECT_EQ(numbers(reloaded), numbers(storage));
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(reloaded.jobListMdlAtIndex(row)->jobListMdlToDict(),
                  storage.jobListMdlAtIndex(row)->jobListMdlToDict())
            << row;
    }
    EXPECT_EQ(reloaded.jobListMdlAtIndex(0)->jList_Title(), "JobList_Def03_02");
}

TEST(JobListStorage, OlderKnownVersionIsCarriedOver) {
    FixedLookup lookup;
    PrivateDefaults home;
    store(home, {{"FileVerKey", 1},
                 {"MainFoaJLMdlKey", archive(storedJob(1, "ignored number"))},
                 {"MainJobJLMdlKey", archive({{"0", storedJob(3, "Old three")}})}});
    auto defaults = home.open();
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(true);
    EXPECT_FALSE(storage.isStoredJobListKept());
    EXPECT_EQ(storage.jobListMdlAtIndex(0)->jList_Title(), "Old three");
    EXPECT_EQ(storage.foaJobListMdl()->jList_Title(), "ignored number");
    ASSERT_TRUE(storage.saveJobListMdlToFile());
    EXPECT_EQ(TlvJobListStorage::loadFileVersionFromFile(*home.open()),
              TlvJobListStorage::currentFileVersion());
}

TEST(JobListStorage, UnknownOrNewerVersionStaysOnDiskUntouched) {
    FixedLookup lookup;
    for (const std::optional<int> version : {std::optional<int>(0x00020000), std::optional<int>()}) {
        PrivateDefaults home;
        fnd::Dictionary values{{"MainJobJLMdlKey", archive({{"0", storedJob(1, "From the future")}})},
                               {"MainFoaJLMdlKey", fnd::Data{1, 2, 3}}};
        if (version)
            values.set("FileVerKey", *version);
        store(home, values);
        const fnd::Dictionary before = fnd::PreferencesFile(home.file()).values();

        auto defaults = home.open();
        TlvJobListStorage storage(*defaults);
        storage.loadJobListMdlFromFile(true);
        EXPECT_TRUE(storage.isStoredJobListKept());
        EXPECT_EQ(storage.keptFileVersion(), static_cast<std::uint32_t>(version.value_or(0)));
        EXPECT_EQ(storage.jobListMdlAtIndex(0)->jList_Title(), "JobList_Def01");
        EXPECT_TRUE(storage.deleteJob(0)); // edits work in memory
        EXPECT_FALSE(storage.saveJobListMdlToFile());
        EXPECT_EQ(fnd::PreferencesFile(home.file()).values(), before);
    }
}

TEST(JobListStorage, CurrentFoaWithoutRowsRestoresTheFoaJobOnly) {
    FixedLookup lookup;
    PrivateDefaults home;
    TlvJobListSettingMdl foa;
    foa.setJList_Title("Mine");
    foa.setJList_FunctionType(1);
    store(home, {{"FileVerKey", 0x00010001}, {"MainFoaJLMdlKey", archive(foa.jobListMdlToDict())}});
    auto defaults = home.open();
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(true);
    EXPECT_EQ(storage.foaJobListMdl()->jList_Title(), "Mine");
    EXPECT_EQ(storage.foaJobListMdl()->jList_FunctionType(), 1);
    EXPECT_EQ(storage.jobListMdlAtIndex(1)->jList_Title(), "JobList_Def02");
}

TEST(JobListStorage, DamagedRowsStillGiveTenRowsWithOneOfEachNumberAndButton) {
    FixedLookup lookup;
    PrivateDefaults home;
    const fnd::Dictionary positions{
        {"0", storedJob(4, "Four", 1)},
        {"1", storedJob(2, "Two", 1)},      // button 1 taken above
        {"3", storedJob(4, "Second four")}, // number taken: dropped
        {"4", fnd::Array{}},                // not a job
        {"5", storedJob(7, std::string(5000, 't'), 2)},
        {"6", fnd::Dictionary{{"JLMdlJList_NumKey", 0}}},
        {"12", storedJob(9, "Beyond")},
    };
    store(home, {{"FileVerKey", 0x00010001}, {"MainJobJLMdlKey", archive(positions)}});
    auto defaults = home.open();
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(true);
    EXPECT_EQ(numbers(storage), (std::vector<int>{4, 2, 1, 3, 5, 7, 6, 8, 9, 10}));
    EXPECT_EQ(storage.jobListMdlAtIndex(0)->jList_ScanBtnStatus(), 1);
    EXPECT_EQ(storage.jobListMdlAtIndex(1)->jList_ScanBtnStatus(), -1);
    EXPECT_EQ(storage.jobListMdlAtIndex(5)->jList_ScanBtnStatus(), 2);
    EXPECT_TRUE(storage.jobListMdlAtIndex(2)->isBlank());
}

TEST(JobListStorage, DataThatDoesNotDecodeFallsBackToTheBuiltInJobs) {
    FixedLookup lookup;
    PrivateDefaults home;
    store(home, {{"FileVerKey", 0x00010001},
                 {"MainJobJLMdlKey", fnd::Data{'b', 'p', 'l', 'i', 's', 't', '0', '0', 0xFF}},
                 {"MainFoaJLMdlKey", "not data"}});
    auto defaults = home.open();
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(false);
    EXPECT_EQ(numbers(storage), kOneToTen);
    EXPECT_EQ(storage.foaJobListMdl()->jList_ScanBtnStatus(), -1);
    EXPECT_FALSE(storage.loadJobJLMdlFromData(nullptr));
}

TEST(JobListStorage, RestoringApplicationSettingsKeepsTheModeInForce) {
    PrivateDefaults home;
    auto defaults = home.open();
    TlvAppSettingMdl backup(*defaults);
    backup.setIsConfirmOutput(true);
    const auto data = TlvJobListStorage::appStngMdlDictData(backup);
    ASSERT_TRUE(data);
    const auto restored = TlvJobListStorage::loadAppStngMdlFromData(&*data, 1, *defaults);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->scanModeType(), 1);
    EXPECT_TRUE(restored->isConfirmOutput());
    const fnd::Data junk{1, 2, 3};
    EXPECT_FALSE(TlvJobListStorage::loadAppStngMdlFromData(&junk, 0, *defaults));
}
