// Preferences with the settings backup, the About panel, the help and the menu's Close, driven by tag.
#include "ControllerTestSupport.h"
#include "PropertyList.h"
#include "QtTestApp.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvAboutCntlr.h"
#include "TlvMainCntlr.h"
#include "TlvMainTags.h"
#include "TlvMainWindow.h"
#include "TlvPrefsCntlr.h"
#include "TlvSettingsBackup.h"
#include "TlvUtilsMethod.h"
#include "UrlStandIn.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <fstream>

namespace {

using namespace tlv;
namespace fs = std::filesystem;
using Restore = TlvSettingsBackup::Restore;

class Prefs : public ::testing::Test {
protected:
    void SetUp() override {
        test::testDriver();
        VX_Message::setDontMessageFlag(true);
        cntlr = std::make_unique<TlvMainCntlr>(defaults);
        window = std::make_unique<TlvMainWindow>(*cntlr, [this] { ++quits; });
        cntlr->setMainView(window.get());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        cntlr->setMainView(nullptr);
        window.reset();
        cntlr.reset();
        VX_Message::setDontMessageFlag(false);
    }
    TlvPrefsCntlr& prefs() { return window->prefsCntlr(); }
    template <typename T> T* PanelItem(int tag) { return appkit::viewWithTag<T>(prefs().prefsPanel(), tag); }
    // Settings unlike the defaults in every part.
    void ChangeEverything() {
        cntlr->appSettingObj().setIsConfirmOutput(true);
        cntlr->appSettingObj().setIsValidContinueScanJOB(true);
        cntlr->prefsSettingObj().setMailAttachLimit(42);
        cntlr->prefsSettingObj().setIsShowIcnLogInPC(false);
        cntlr->setFuncTypeInFOAJLMdl(kFuncPrint);
        cntlr->jobLists().deleteJob(0);
    }
    struct Snapshot {
        TlvAppSettingMdl app;
        TlvPrefsSettingMdl prefs;
        std::optional<fnd::Data> foa, rows;
    };
    static void ExpectSame(const Snapshot& a, const Snapshot& b) {
        EXPECT_TRUE(a.app == b.app);
        EXPECT_TRUE(a.prefs == b.prefs);
        // The archives compared by what they hold (their bytes need not repeat).
        for (const auto& [x, y] : {std::pair{a.foa, b.foa}, std::pair{a.rows, b.rows}}) {
            ASSERT_TRUE(x && y);
            EXPECT_EQ(TlvUtilsMethod::decodeDataToDict(*x), TlvUtilsMethod::decodeDataToDict(*y));
        }
    }
    Snapshot Now() {
        return {cntlr->appSettingObj(), cntlr->prefsSettingObj(), cntlr->jobLists().foaJLMdlDictData(),
                cntlr->jobLists().jobJLMdlDictData()};
    }

    test::ScratchHome home;
    fnd::UserDefaults defaults{"com.orvikElectronics.tollivar.test"};
    std::unique_ptr<TlvMainCntlr> cntlr;
    std::unique_ptr<TlvMainWindow> window;
    int quits = 0;
};

TEST_F(Prefs, BackupThenRestoreGivesBackEverySettingAndWritesItAtOnce) {
    ChangeEverything();
    const Snapshot saved = Now();
    const fs::path file = home.dir() / "settings.plist";
    ASSERT_TRUE(prefs().backUpTo(file));

    cntlr->appSettingObj().setIsConfirmOutput(false);
    cntlr->prefsSettingObj().setMailAttachLimit(7);
    cntlr->setFuncTypeInFOAJLMdl(kFuncSave);
    cntlr->jobLists().deleteJob(3);
    ASSERT_FALSE(Now().app == saved.app);

    prefs().runModalPrefs();
    ASSERT_TRUE(prefs().restoreFrom(file));
    ExpectSame(Now(), saved);
    EXPECT_EQ(PanelItem<QLineEdit>(TlvPrefsCntlr::kMailLimitField)->text(), "42"); // the panel shows them
    // Written at once: a fresh read of the user defaults has them.
    fnd::UserDefaults reread{"com.orvikElectronics.tollivar.test"};
    EXPECT_EQ(TlvPrefsSettingMdl(reread).mailAttachLimit(), 42);
    EXPECT_TRUE(TlvAppSettingMdl(reread).isConfirmOutput());
    // Cancel keeps the restore, and the window shows it.
    prefs().closePrefs(TlvPrefsCntlr::kCancel);
    EXPECT_TRUE(appkit::viewWithTag<QCheckBox>(window.get(), tag::kConfirmOutput)->isChecked());
    // The next panel opens in the backup's folder.
    EXPECT_EQ(prefs().startFolder(), home.dir());
}

TEST_F(Prefs, ADamagedForeignOrOtherVersionBackupChangesNothing) {
    const fs::path good = home.dir() / "good.plist";
    ASSERT_TRUE(prefs().backUpTo(good));
    ChangeEverything();
    const Snapshot before = Now();
    TlvSettingsBackup backup = cntlr->settingsBackup();

    fnd::plist::FileContents contents = fnd::plist::readFile(good);
    ASSERT_TRUE(contents.ok());
    fnd::Dictionary damaged = *contents.value.asDictionary();
    damaged.set(TlvSettingsBackup::kJobRowsKey, fnd::Data{1, 2, 3}); // the last part does not decode
    ASSERT_TRUE(fnd::plist::writeFile(home.dir() / "damaged.plist", fnd::Value(damaged)));
    EXPECT_EQ(backup.restore(home.dir() / "damaged.plist"), Restore::Damaged);
    damaged.remove(TlvSettingsBackup::kJobRowsKey); // a missing part
    ASSERT_TRUE(fnd::plist::writeFile(home.dir() / "short.plist", fnd::Value(damaged)));
    EXPECT_EQ(backup.restore(home.dir() / "short.plist"), Restore::Damaged);
    fnd::Dictionary other = *contents.value.asDictionary();
    other.set("FileVerKey", fnd::Value(std::int64_t{0x00000001}));
    ASSERT_TRUE(fnd::plist::writeFile(home.dir() / "old.plist", fnd::Value(other)));
    EXPECT_EQ(backup.restore(home.dir() / "old.plist"), Restore::OtherVersion);
    std::ofstream(home.dir() / "notes.plist") << "not a property list";
    EXPECT_EQ(backup.restore(home.dir() / "notes.plist"), Restore::NotABackup);
    EXPECT_EQ(backup.restore(home.dir() / "missing.plist"), Restore::Unreadable);
    ExpectSame(Now(), before);
    EXPECT_FALSE(prefs().restoreFrom(home.dir() / "damaged.plist"));
    ExpectSame(Now(), before);
}

TEST_F(Prefs, AFailedBackupWriteLeavesNoFile) {
    const fs::path folder = home.dir() / "out";
    fs::create_directories(folder / "taken.plist"); // a folder where the file should go
    EXPECT_FALSE(prefs().backUpTo(folder / "taken.plist"));
    EXPECT_TRUE(fs::is_directory(folder / "taken.plist"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(Prefs, AGoneOrTemporaryRememberedFolderFallsBackToDocuments) {
    const fs::path documents =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    const auto startIn = [&](const fs::path& remembered) {
        defaults.set(TlvPrefsCntlr::kFolderKey, fnd::Value(remembered.string()));
        return TlvPrefsCntlr(nullptr, cntlr->prefsSettingObj(), cntlr->settingsBackup(), defaults, {})
            .startFolder();
    };
    EXPECT_EQ(startIn(home.dir() / "gone"), documents);
    const fs::path tmp = fs::temp_directory_path() / "kept";
    fs::create_directories(tmp);
    EXPECT_EQ(startIn(tmp), documents);
    EXPECT_EQ(startIn(home.dir()), home.dir());
}

TEST_F(Prefs, MailLimitIsClampedInFieldStepperAndModel) {
    prefs().runModalPrefs();
    auto* field = PanelItem<QLineEdit>(TlvPrefsCntlr::kMailLimitField);
    auto* stepper = PanelItem<QSpinBox>(TlvPrefsCntlr::kMailLimitStepper);
    field->selectAll();
    QTest::keyClicks(field, "0");
    EXPECT_EQ(field->text(), "0");
    EXPECT_TRUE(test::pumpUntil([&] { return field->text() == "1"; }, std::chrono::seconds(2)));
    EXPECT_EQ(stepper->value(), 1);
    field->selectAll();
    QTest::keyClicks(field, "150");
    EXPECT_EQ(field->text(), "15");
    field->selectAll();
    QTest::keyClicks(field, "x9");
    EXPECT_EQ(field->text(), "9");
    stepper->setValue(99);
    QTest::keyClick(stepper, Qt::Key_Up);
    EXPECT_EQ(stepper->value(), 99);
    EXPECT_EQ(field->text(), "99");
    field->clear(); // OK at once: an empty field is clamped, never stored raw
    prefs().closePrefs(TlvPrefsCntlr::kOk);
    EXPECT_EQ(cntlr->prefsSettingObj().mailAttachLimit(), 1);
}

TEST_F(Prefs, TabsChangeOnlyWhileThePanelIsTheActiveWindow) {
    prefs().runModalPrefs();
    QDialog* panel = prefs().prefsPanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    auto* tabs = panel->findChild<QTabWidget*>();
    QTabBar* bar = tabs->tabBar();
    QWidget other; // another program's window, say, in front
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(panel->isActiveWindow());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(tabs->currentIndex(), 0);
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(tabs->currentIndex(), 1);
    prefs().closePrefs(TlvPrefsCntlr::kCancel);
}

TEST_F(Prefs, PanelsInPictures) {
    prefs().runModalPrefs();
    QDialog* panel = prefs().prefsPanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    EXPECT_TRUE(window->isModalWindow());
    EXPECT_FALSE(window->validateMenuItem(TlvMainWindow::Command::Prefs));
    saveScreenshots(panel, "preferences-basic");
    panel->findChild<QTabWidget*>()->setCurrentIndex(1);
    saveScreenshots(panel, "preferences-mail");
    prefs().closePrefs(TlvPrefsCntlr::kCancel);
    window->showAbout();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->aboutCntlr().aboutPnl()));
    saveScreenshots(window->aboutCntlr().aboutPnl(), "about-panel");
}

TEST_F(Prefs, AboutTakesItsLinesFromTheInformationDictionary) {
    QWidget* about = window->aboutCntlr().aboutPnl();
    EXPECT_EQ(appkit::viewWithTag<QLabel>(about, TlvAboutCntlr::kName)->text(), "Tollivar");
    EXPECT_EQ(appkit::viewWithTag<QLabel>(about, TlvAboutCntlr::kVersion)->text(), "Version 1.0");
    EXPECT_FALSE(appkit::viewWithTag<QLabel>(about, TlvAboutCntlr::kIcon)->pixmap().isNull());

    const fs::path bin = home.dir() / "bin";
    fs::create_directories(bin / "other.resources");
    std::ofstream(bin / "other.resources" / "Info.plist")
        << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleName</key><string>Other</string>"
           "<key>CFBundleShortVersionString</key><string>2.0</string></dict></plist>";
    TlvAboutCntlr other(nullptr, fnd::Bundle(bin / "other"));
    EXPECT_EQ(appkit::viewWithTag<QLabel>(other.aboutPnl(), TlvAboutCntlr::kName)->text(), "Other");
    EXPECT_TRUE(appkit::viewWithTag<QLabel>(other.aboutPnl(), TlvAboutCntlr::kVersion)->text().isEmpty());
    EXPECT_TRUE(appkit::viewWithTag<QLabel>(other.aboutPnl(), TlvAboutCntlr::kCopyright)->text().isEmpty());

    // Shown twice it stays where the user moved it.
    window->showAbout();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    about->move(about->pos() + QPoint(40, 30));
    const QPoint moved = about->pos();
    window->showAbout();
    EXPECT_EQ(about->pos(), moved);
}

TEST_F(Prefs, HelpOpensItsPageAtTheAnchorAndDropsTheAutomaticQuit) {
    UrlStandIn browser;
    cntlr->setIsAutoCloseApp(true);
    appkit::viewWithTag<QAbstractButton>(window.get(), tag::kHelp)->click();
    ASSERT_EQ(browser.opened().size(), 1u);
    EXPECT_EQ(browser.opened()[0].fragment(), "001");
    EXPECT_TRUE(browser.opened()[0].toLocalFile().endsWith("help/index.html"));
    EXPECT_TRUE(fs::exists(browser.opened()[0].toLocalFile().toStdString()));
    EXPECT_FALSE(cntlr->isAutoCloseApp());
    // Nothing on the desktop opens the page: the user is told.
    const UrlStandIn failing(true);
    QSignalSpy failures(&cntlr->notifier(), &TlvCntlrNotifier::failureRaised);
    appkit::viewWithTag<QAbstractButton>(window.get(), tag::kHelp)->click();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0][0].toString(), "Err_NotOpenHelp");
}

TEST_F(Prefs, CloseQuitsAtTheTopAndNotWhileScanning) {
    cntlr->setAppState(AppStateScanning);
    window->performCloseTlv();
    EXPECT_EQ(quits, 0);
    cntlr->setAppState(AppStateMainTop);
    window->performCloseTlv();
    EXPECT_EQ(quits, 1);
}

TEST_F(Prefs, CheckBoxesOfTheTopScreensStoreTheirSettings) {
    auto* btn1 = appkit::viewWithTag<QCheckBox>(window.get(), tag::kBtn1FoaScan);
    btn1->setChecked(false);
    EXPECT_FALSE(cntlr->appSettingObj().isBtn1AllocFOAScan());
    EXPECT_EQ(cntlr->jobLists().foaJobListMdl()->jList_ScanBtnStatus(), -1);
    btn1->setChecked(true);
    EXPECT_EQ(cntlr->jobLists().foaJobListMdl()->jList_ScanBtnStatus(), 1);
    appkit::viewWithTag<QCheckBox>(window.get(), tag::kFoaContinueScan)->setChecked(true);
    EXPECT_TRUE(cntlr->appSettingObj().isValidContinueScanFOA());
    cntlr->appSettingObj().setIsValidContinueScanJOB(true);
    window->updateCntlrs();
    EXPECT_TRUE(appkit::viewWithTag<QCheckBox>(window.get(), tag::kJobContinueScan)->isChecked());
}

// The scanner's button always opens Tollivar: the preference that may open it as well is about the
// scanner being connected. The scan-first box takes the button from the job that holds it, and that
// job's assignment says so.
TEST_F(Prefs, ButtonSettingsSayWhatTheyDo) {
    prefs().runModalPrefs();
    const QString opens = PanelItem<QCheckBox>(TlvPrefsCntlr::kStartingAppPlugInScn)->text();
    prefs().closePrefs(TlvPrefsCntlr::kCancel);
    EXPECT_FALSE(opens.contains("button")) << opens.toStdString();
    EXPECT_TRUE(opens.contains("connected")) << opens.toStdString();
    const QString scansFirst = appkit::viewWithTag<QCheckBox>(window.get(), tag::kBtn1FoaScan)->text();
    EXPECT_TRUE(scansFirst.contains("job")) << scansFirst.toStdString();
    EXPECT_TRUE(appkit::localized("JobList_BtnAssignment_StartBtn").contains("scans first"));
}

} // namespace
