// Jobs: numbers, the stored dictionary, copies, and the built-in jobs for each language.
#include "TlvJobListSettingMdl.h"

#include "FixedLookup.h"

#include <gtest/gtest.h>

TEST(JobListSettingMdl, NumbersComeFromSlotIndexesOnly) {
    FixedLookup lookup;
    TlvJobListSettingMdl job;
    EXPECT_EQ(job.jList_Num(), -1);
    job.setJList_Num(10);
    job.setJList_Num(-1);
    EXPECT_EQ(job.jList_Num(), -1);
    job.setJList_Num(4);
    EXPECT_EQ(job.jList_Num(), 5);
    EXPECT_EQ(job.copyWithZone().jList_Num(), 5);
    EXPECT_EQ(TlvJobListSettingMdl().copyWithZone().jList_Num(), -1);
    EXPECT_FALSE(TlvJobListSettingMdl::initWithBlankJobMdlIndex(10));
    EXPECT_FALSE(TlvJobListSettingMdl::initWithJobIndex(-1));

    for (const auto& [stored, loaded] : {std::pair{11, -1}, {0, -1}, {10, 10}, {1, 1}}) {
        const fnd::Dictionary dict{{"JLMdlJList_NumKey", stored}};
        EXPECT_EQ(TlvJobListSettingMdl::initWithJobListMdlDict(&dict, false).jList_Num(), loaded) << stored;
    }
}

TEST(JobListSettingMdl, RoundTripThroughAPropertyListFileAndDeepCopies) {
    FixedLookup lookup;
    PrivateDefaults home;
    TlvJobListSettingMdl job = *TlvJobListSettingMdl::initWithBlankJobMdlIndex(3);
    job.setJList_Title("Receipts");
    job.setJList_FunctionType(2);
    job.setJList_ScanBtnStatus(4);
    job.jList_ScanSettingMdl()->setCCAP_OVKM_GAMMAMETHOD(0xFFFFFFFFu);
    job.jList_FuncSettingMdl()->setPartFileName("Receipt", 0);
    {
        auto defaults = home.open();
        defaults->set("Job", job.jobListMdlToDict());
        ASSERT_TRUE(defaults->synchronize());
    }
    const auto stored = home.open()->dictionary("Job");
    const TlvJobListSettingMdl back = TlvJobListSettingMdl::initWithJobListMdlDict(&*stored, false);
    EXPECT_EQ(back.jList_Num(), 4);
    EXPECT_EQ(back.jList_Title(), "Receipts");
    EXPECT_EQ(back.jList_FunctionType(), 2);
    EXPECT_EQ(back.jList_ScanBtnStatus(), 4);
    EXPECT_EQ(*back.jList_ScanSettingMdl(), *job.jList_ScanSettingMdl());
    EXPECT_EQ(back.jList_FuncSettingMdl()->partFileName(0), "Receipt");

    const TlvJobListSettingMdl copy = job.copyWithZone();
    EXPECT_NE(copy.jList_ScanSettingMdl(), job.jList_ScanSettingMdl());
    copy.jList_ScanSettingMdl()->setScnStColType(0);
    EXPECT_EQ(job.jList_ScanSettingMdl()->scnStColType(), 1);

    job.setJList_ScanSettingMdl(nullptr);
    job.setJList_Title(std::nullopt);
    const fnd::Dictionary withoutModel = job.jobListMdlToDict();
    EXPECT_FALSE(withoutModel.contains("JLMdlJList_ScanSettingMdlKey"));
    EXPECT_FALSE(withoutModel.contains("JLMdlJList_TitleKey"));
    EXPECT_EQ(withoutModel.size(), 4u);
}

TEST(JobListSettingMdl, StoredTypesAndButtonsOutsideTheirValuesKeepANewJobs) {
    FixedLookup lookup;
    const fnd::Dictionary hostile{{"JLMdlJList_NumKey", "3"},
                                  {"JLMdlJList_TitleKey", 5},
                                  {"JLMdlJList_FunctionTypeKey", 9},
                                  {"JLMdlJList_ScanBtnStatusKey", 3},
                                  {"JLMdlJList_FuncSettingMdlKey", fnd::Array{}},
                                  {"JLMdlJList_ScanSettingMdlKey", "scan"}};
    const TlvJobListSettingMdl job = TlvJobListSettingMdl::initWithJobListMdlDict(&hostile, false);
    EXPECT_EQ(job.jList_Num(), -1);
    EXPECT_EQ(job.jList_Title(), "");
    EXPECT_EQ(job.jList_FunctionType(), -1);
    EXPECT_EQ(job.jList_ScanBtnStatus(), -1);
    EXPECT_EQ(*job.jList_ScanSettingMdl(), TlvScanSettingMdl());
}

TEST(JobListSettingMdl, BuiltInJobsForEachLanguage) {
    FixedLookup lookup;
    lookup.strings = {{"JobList_Def01", "Scan to folder"}, {"JobList_Def03_02", "Scan in colour"}};
    for (const char* language : {"Japanese", "English", "zh_CN", "zh_TW", "Korean", "Spanish", "French",
                                 "German", "Italian", "Dutch"}) {
        SCOPED_TRACE(language);
        lookup.language = language;
        const auto first = TlvJobListSettingMdl::initWithJobIndex(0);
        EXPECT_EQ(first->jList_Title(), "Scan to folder");
        EXPECT_EQ(first->jList_ScanBtnStatus(), 1);
        EXPECT_EQ(first->jList_ScanSettingMdl()->scnStColType(), 2);
        EXPECT_EQ(first->jList_FuncSettingMdl()->dateTimeType(0), TlvFuncSettingMdl::defaultDateTimeType());
        EXPECT_EQ(first->jList_FuncSettingMdl()->ff_OCRLangType(0), TlvFuncSettingMdl::defaultOCRLangType());
        const auto mail = TlvJobListSettingMdl::initWithJobIndex(1);
        EXPECT_EQ(mail->jList_Title(), "JobList_Def02"); // no text: the key shows
        EXPECT_EQ(mail->jList_FunctionType(), 1);
        EXPECT_EQ(mail->jList_FuncSettingMdl()->fileFormatType(1), 0);
        const auto viewer = TlvJobListSettingMdl::initWithJobIndex(2);
        EXPECT_EQ(viewer->jList_Title(), "Scan in colour");
        EXPECT_EQ(viewer->jList_FunctionType(), 0);
        for (int slot = 3; slot < 10; ++slot) {
            const auto blank = TlvJobListSettingMdl::initWithJobIndex(slot);
            EXPECT_TRUE(blank->isBlank());
            EXPECT_EQ(blank->jList_Num(), slot + 1);
            EXPECT_EQ(blank->jList_FunctionType(), 0);
        }
    }
}

TEST(JobListSettingMdl, ImageViewerJobUsesTheDesktopsJpegHandler) {
    FixedLookup lookup;
    lookup.imageApplication = "/usr/share/applications/viewer.desktop";
    const auto viewer = TlvJobListSettingMdl::initWithJobIndex(2);
    EXPECT_EQ(viewer->jList_Title(), "JobList_Def03_01");
    EXPECT_EQ(viewer->jList_FunctionType(), 3);
    EXPECT_EQ(viewer->jList_FuncSettingMdl()->fileFormatType(2), 2);
    EXPECT_EQ(viewer->jList_FuncSettingMdl()->applicationName(), "/usr/share/applications/viewer.desktop");
    EXPECT_EQ(viewer->jList_FuncTypeDefaultImgName(true), "def_App_E_16");
    EXPECT_EQ(viewer->jList_ScanBtnImgName(false), "");
}
