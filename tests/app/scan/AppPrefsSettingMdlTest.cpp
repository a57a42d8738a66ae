// The application and preferences settings through the user-defaults file and the backup
// dictionary, with stored values of the wrong type or range.
#include "TlvAppSettingMdl.h"
#include "TlvPrefsSettingMdl.h"

#include "FixedLookup.h"

#include <gtest/gtest.h>

TEST(AppSettingMdl, EmptyDefaultsGiveTheDefaultsAndAFileKeepsEveryField) {
    PrivateDefaults home;
    const TlvAppSettingMdl fresh(*home.open());
    EXPECT_EQ(fresh.scanModeType(), 0);
    EXPECT_FALSE(fresh.isValidContinueScanFOA());
    EXPECT_FALSE(fresh.isValidContinueScanJOB());
    EXPECT_TRUE(fresh.isBtn1AllocFOAScan());
    EXPECT_FALSE(fresh.isConfirmOutput());
    EXPECT_EQ(fresh.selJobIndex(), 0);
    EXPECT_EQ(fresh.forDisplayJobIndex(), 0);
    EXPECT_FALSE(fresh.isExpJobInfo());

    TlvAppSettingMdl changed = fresh;
    changed.setScanModeType(1);
    changed.setIsValidContinueScanJOB(true);
    changed.setIsBtn1AllocFOAScan(false);
    changed.setSelJobIndex(-1);
    changed.setForDisplayJobIndex(9);
    changed.setIsExpJobInfo(true);
    {
        auto defaults = home.open();
        changed.saveAppSttingToFile(*defaults);
        ASSERT_TRUE(defaults->synchronize());
    }
    EXPECT_EQ(TlvAppSettingMdl(*home.open()), changed);
}

TEST(AppSettingMdl, BackupDictionaryNeverCarriesTheScanMode) {
    PrivateDefaults home;
    TlvAppSettingMdl model(*home.open());
    model.setScanModeType(1);
    model.setIsConfirmOutput(true);
    const fnd::Dictionary dict = model.appSttingToDict();
    EXPECT_EQ(dict.size(), 7u);
    EXPECT_FALSE(dict.contains("AppScanModeTypeKey"));

    const fnd::Dictionary partial{{"AppScanModeTypeKey", 1}, {"AppConfirmOutputKey", true}};
    const TlvAppSettingMdl restored = TlvAppSettingMdl::initWithAppSttingDict(&partial, *home.open());
    EXPECT_EQ(restored.scanModeType(), 0);
    EXPECT_TRUE(restored.isConfirmOutput());
    EXPECT_TRUE(restored.isBtn1AllocFOAScan());
}

TEST(AppSettingMdl, StoredValuesOfWrongTypeOrRangeKeepDefaults) {
    PrivateDefaults home;
    {
        auto defaults = home.open();
        defaults->set("AppScanModeTypeKey", 7);
        defaults->set("AppBtn1AllocFOAScanKey", "NO");
        defaults->set("AppSelJobIndexKey", 10);
        defaults->set("AppForDisplayJobIndexKey", std::int64_t{1} << 40);
        defaults->set("AppExpJobInfoKey", 1); // any number is a boolean
        ASSERT_TRUE(defaults->synchronize());
    }
    const TlvAppSettingMdl model(*home.open());
    EXPECT_EQ(model.scanModeType(), 0);
    EXPECT_TRUE(model.isBtn1AllocFOAScan());
    EXPECT_EQ(model.selJobIndex(), 0);
    EXPECT_EQ(model.forDisplayJobIndex(), 0);
    EXPECT_TRUE(model.isExpJobInfo());
}

TEST(PrefsSettingMdl, LimitIsAlwaysWithinOneToNinetyNine) {
    PrivateDefaults home;
    TlvPrefsSettingMdl model(*home.open());
    EXPECT_FALSE(model.isStartingAppPlugInScn());
    EXPECT_TRUE(model.isShowIcnLogInPC());
    EXPECT_EQ(model.mailAttachLimit(), 5);
    EXPECT_TRUE(model.isShowMsgLimitOver());
    for (const auto& [given, kept] : {std::pair{0, 1}, {-7, 1}, {99, 99}, {100, 99}, {250, 99}, {42, 42}}) {
        model.setMailAttachLimit(given);
        EXPECT_EQ(model.mailAttachLimit(), kept) << given;
    }
    {
        auto defaults = home.open();
        defaults->set("PrefsMailAttachLimitKey", 0);
        defaults->set("PrefsIsShowIcnLogInPCKey", fnd::Data{0});
        ASSERT_TRUE(defaults->synchronize());
    }
    const TlvPrefsSettingMdl stored(*home.open());
    EXPECT_EQ(stored.mailAttachLimit(), 1);
    EXPECT_TRUE(stored.isShowIcnLogInPC());

    const fnd::Dictionary backup{{"PrefsMailAttachLimitKey", 500}, {"PrefsIsStartingAppPlugInScnKey", true}};
    const TlvPrefsSettingMdl restored = TlvPrefsSettingMdl::initWithPrefsSttingDict(&backup, *home.open());
    EXPECT_EQ(restored.mailAttachLimit(), 99);
    EXPECT_TRUE(restored.isStartingAppPlugInScn());

    TlvPrefsSettingMdl written = restored;
    written.setIsShowMsgLimitOver(false);
    {
        auto defaults = home.open();
        written.savePrefsSttingToFile(*defaults);
        ASSERT_TRUE(defaults->synchronize());
    }
    EXPECT_EQ(TlvPrefsSettingMdl(*home.open()), written);
    EXPECT_EQ(TlvPrefsSettingMdl::initWithPrefsSttingDict(nullptr, *home.open()), written);
}
