// The job information panes: the summary lines of simple and detailed settings, empty lines for
// stored values outside their tables, the scan-first picture, the selected job's output lines, and
// the pane collapsed and expanded.
#include "JobsTestHost.h"

#include "TlvJobIcons.h"
#include "TlvJobInfoCntlr.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace {

using Info = tlv::TlvJobInfoCntlr;
using test::job;

QString text(const char* key) {
    return appkit::localized(key);
}

TlvScanSettingMdl driverSettings() {
    TlvScanSettingMdl s;
    s.setIsUseDriverSetting(true);
    s.setCCAP_OVK_DETECTPAGETYPE(0);
    s.setCCAP_OVK_DETECTPAGESIZE(0);
    return s;
}

TEST(JobInfoLines, SimpleSettingsAndValuesOutsideTheirTables) {
    testApplication();
    TlvScanSettingMdl s;
    s.setScnStColType(1);
    s.setScnStPapSizeType(7);
    s.setScnStResType(2);
    s.setScnStReaderSideType(2);
    EXPECT_EQ(Info::getModeJobInfo(s), text("Color_Color"));
    EXPECT_EQ(Info::getPaperSizeJobInfo(s), text("PaperSize_Letter"));
    EXPECT_EQ(Info::getResolutionJobInfo(s), text("Resolution_300"));
    EXPECT_EQ(Info::getReadPageJobInfo(s), text("ReadPage_Skip"));
    // Worded as the scan settings offer it.
    EXPECT_EQ(text("ReadPage_Skip"), text("ScanSetting_DuplexSkipBlank"));
    EXPECT_EQ(Info::foaIconName(s), "TOP_F_B4_J_E");
    for (const int bad : {-1, 8, 1000000}) {
        s.setScnStColType(bad);
        s.setScnStPapSizeType(bad);
        s.setScnStResType(bad);
        s.setScnStReaderSideType(bad);
        EXPECT_EQ(Info::getModeJobInfo(s), QString()) << bad;
        EXPECT_EQ(Info::getPaperSizeJobInfo(s), QString()) << bad;
        EXPECT_EQ(Info::getResolutionJobInfo(s), QString()) << bad;
        EXPECT_EQ(Info::getReadPageJobInfo(s), QString()) << bad;
    }
}

TEST(JobInfoLines, DetailedSettingsOfTheDataSource) {
    testApplication();
    TlvScanSettingMdl s = driverSettings();
    s.setICAP_PIXELTYPE(0);
    s.setICAP_HALFTONES(fnd::Data{'E', 'r', 'r', 'o', 'r', ' ', 'D', 'i', 'f', 'f', 'u', 's', 'i', 'o', 'n'});
    s.setICAP_XRESOLUTION(600.0f);
    EXPECT_EQ(Info::getModeJobInfo(s), text("DriversColor_HalfTone"));
    EXPECT_EQ(Info::getResolutionJobInfo(s), text("DriversResolution_600"));
    EXPECT_EQ(Info::foaIconName(s), "TOP_F_A6_J_E");
    s.setICAP_XRESOLUTION(250.0f);
    EXPECT_EQ(Info::getResolutionJobInfo(s), text("Resolution_200"));
    s.setICAP_XRESOLUTION(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(Info::getResolutionJobInfo(s), text("Resolution_200"));
    s.setCCAP_OVKM_PAPERSIZE(-2);
    s.setCCAP_OVKM_CUSTOMPAGESIZENAME("JobList_Def01"); // a name, never looked up as a key
    EXPECT_EQ(Info::getPaperSizeJobInfo(s), "JobList_Def01");
    s.setCCAP_OVKM_PAPERSIZE(9);
    EXPECT_EQ(Info::getPaperSizeJobInfo(s), text("PaperSize_Letter"));
    // Values the data source or a stored file could hold that no table row has.
    s.setICAP_PIXELTYPE(9);
    s.setCCAP_OVKM_PAPERSIZE(12);
    s.setCAP_DUPLEXENABLED(7);
    s.setICAP_HALFTONES(std::nullopt);
    EXPECT_EQ(Info::getModeJobInfo(s), QString());
    EXPECT_EQ(Info::getPaperSizeJobInfo(s), QString());
    EXPECT_EQ(Info::getReadPageJobInfo(s), QString());
    s.setCCAP_OVK_FOLDLARGESIZE(1);
    EXPECT_EQ(Info::getReadPageJobInfo(s), text("DriversReadPage_Half"));
}

class JobInfoPane : public test::JobsFixture {
protected:
    QString line(int tag) {
        auto* label = appkit::viewWithTag<QLabel>(jobs().info().jobInfoForJOBView(), tag);
        return label ? label->text() : QString("<none>");
    }
    bool iconShown(int tag) {
        auto* label = appkit::viewWithTag<QLabel>(jobs().info().jobInfoForJOBView(), tag);
        return label && !label->pixmap().isNull();
    }
    bool visible(int tag) {
        QWidget* item = appkit::viewWithTag(jobs().info().jobInfoForJOBView(), tag);
        return item && item->isVisibleTo(jobs().info().jobInfoForJOBView());
    }
};

TEST_F(JobInfoPane, ShowsTheSelectedJobAndClearsWhenNoneIs) {
    TlvJobListSettingMdl mail = job(2, "Mail it", tlv::kFuncMail);
    mail.jList_FuncSettingMdl()->setImgFileName("Scan", 1);
    mail.jList_FuncSettingMdl()->setFileFormatType(1, 1);
    mail.jList_ScanSettingMdl()->setScnStColType(99); // from a damaged file
    storeJobs({job(1, "Save it", tlv::kFuncSave), mail});
    host->settings.setSelJobIndex(1);
    make();
    QTest::qWait(20);
    EXPECT_TRUE(iconShown(Info::kJobIcon));
    EXPECT_EQ(line(1022), QString());
    EXPECT_EQ(line(1031), text("JobInfo_FncFName"));
    EXPECT_EQ(line(1034), text("FileFormat_TIFF"));
    EXPECT_EQ(line(1035), QString()); // no folder for mail
    EXPECT_EQ(line(1036), QString());

    jobs().table().selectRow(0);
    QTest::qWait(20);
    EXPECT_EQ(line(1035), text("JobInfo_FncFSave"));
    EXPECT_EQ(line(1024), text("PaperSize_Auto"));

    jobs().table().selectRow(-1);
    QTest::qWait(20);
    EXPECT_FALSE(iconShown(Info::kJobIcon));
    for (const int tag : {1022, 1024, 1026, 1028, 1031, 1032, 1033, 1034, 1035, 1036})
        EXPECT_EQ(line(tag), QString()) << tag;
}

// A job that opens its pages in an application names it as the desktop does, not by its file.
TEST_F(JobInfoPane, AnApplicationIsNamedByItsEntry) {
    QTemporaryDir share;
    const std::filesystem::path apps = share.filePath("applications").toStdString();
    std::filesystem::create_directories(apps);
    std::ofstream(apps / "lens.desktop") << "[Desktop Entry]\nName=Lens\nMimeType=image/tiff;\n";
    std::ofstream(apps / "easel.desktop") << "[Desktop Entry]\nName=Easel\nMimeType=image/tiff;\n";
    TlvJobListSettingMdl open = job(1, "Open it", tlv::kFuncApplication);
    open.jList_FuncSettingMdl()->setApplicationName((apps / "easel.desktop").string());
    storeJobs({open});
    make();
    QTest::qWait(20);
    EXPECT_EQ(line(1035), text("JobInfo_FncAppName"));
    EXPECT_EQ(line(1036), "Easel");
}

TEST_F(JobInfoPane, ExpandsAndCollapsesAndRemembersItForTheNextStart) {
    storeJobs({job(1, "Save it", tlv::kFuncSave)});
    host->settings.setIsExpJobInfo(true);
    make();
    EXPECT_TRUE(jobs().info().jobInfoForJOBView()->isExpansion());
    EXPECT_TRUE(visible(Info::kJobCollapse));
    EXPECT_FALSE(visible(Info::kJobExpand));
    click(appkit::viewWithTag(jobs().info().jobInfoForJOBView(), Info::kJobCollapse));
    EXPECT_FALSE(jobs().info().jobInfoForJOBView()->isExpansion());
    EXPECT_FALSE(jobs().info().jobInfoJ_Str2View()->isVisibleTo(jobs().info().jobInfoForJOBView()));
    EXPECT_TRUE(visible(Info::kJobExpand));
    EXPECT_EQ(jobs().info().jobInfoForJOBView()->height(), TlvJobInfoView::kCollapsedHeight);
    jobs().table().saveJobSelIndexAndIsExp();
    EXPECT_FALSE(host->settings.isExpJobInfo());
    EXPECT_EQ(host->settings.selJobIndex(), 0);
}

TEST_F(JobInfoPane, Screenshots) {
    TlvJobListSettingMdl saving = job(1, "Scan to folder", tlv::kFuncSave, 1);
    saving.jList_FuncSettingMdl()->setImgFileName("Scanned page", 0);
    storeJobs({saving});
    host->settings.setSelJobIndex(0);
    make();
    QTest::qWait(20);
    QWidget* pane = jobs().info().jobInfoForJOBView();
    saveScreenshots(pane, "tollivar-job-info-collapsed");
    click(appkit::viewWithTag(pane, Info::kJobExpand));
    QTest::qWait(20);
    saveScreenshots(pane, "tollivar-job-info-expanded");
    jobs().info().setJobInfo_Foa();
    QWidget* foa = jobs().info().jobInfoForFOAView();
    foa->resize(foa->sizeHint().expandedTo(QSize(260, 0)));
    saveScreenshots(foa, "tollivar-job-info-scan-first");
}

// A desktop theme that draws the mail icon only at 16 points: the table shows it as large as ours.
TEST(JobIcons, AThemeIconDrawnOnlySmallIsGrownToTheSizeOfOurs) {
    testApplication();
    QTemporaryDir root;
    QDir(root.path()).mkpath("small/16x16/actions");
    QFile index(root.filePath("small/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=small\nDirectories=16x16/actions\n\n"
                "[16x16/actions]\nSize=16\nType=Fixed\n");
    index.close();
    QImage stamp(16, 16, QImage::Format_ARGB32);
    stamp.fill(Qt::red);
    ASSERT_TRUE(stamp.save(root.filePath("small/16x16/actions/mail-send.png")));
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({root.path()});
    QIcon::setThemeName("small");
    const QIcon icon = tlv::jobFuncTypeIcon(job(2, "Mail", tlv::kFuncMail));
    const QSize size(tlv::kJobIconSize, tlv::kJobIconSize);
    EXPECT_EQ(icon.actualSize(size), size);
    EXPECT_EQ(icon.pixmap(size).toImage().pixelColor(size.width() / 2, size.height() / 2), QColor(Qt::red))
        << "the theme's icon, not ours";
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(theme);
}

} // namespace
