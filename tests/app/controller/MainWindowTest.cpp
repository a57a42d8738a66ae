// The plain main window driven by tag after a scan-first batch: the function choice, the output-function
// view it shows for checking, and from there on to the output, back to the choice, or out of the program.
#include "AlertAnswers.h"
#include "ControllerTestSupport.h"
#include "FixedLookup.h"
#include "Tags.h"
#include "TlvMainCntlr.h"
#include "TlvMainTags.h"
#include "TlvMainWindow.h"
#include "UrlStandIn.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <set>

namespace {

using namespace tlv;
namespace fs = std::filesystem;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test::testDriver();
        VX_Message::setDontMessageFlag(true); // questions answer as refused, nothing is shown
        cntlr = std::make_unique<TlvMainCntlr>(defaults);
        window = std::make_unique<TlvMainWindow>(*cntlr, [this] { ++quits; });
        cntlr->setMainView(window.get());
        cntlr->appSettingObj().setScanModeType(kScanModeFOA);
        window->showTopScreen(kScanModeFOA);
        window->show();
    }
    void TearDown() override {
        test::endBatch(*cntlr);
        cntlr->setMainView(nullptr);
        window.reset();
        cntlr.reset();
        VX_Message::setDontMessageFlag(false);
    }
    // A scan-first batch of pages (one unless asked) has ended: the function choice is shown.
    void FinishedBatch(int pages = 1) {
        TlvUtilsMethod::createTmpFolder();
        cntlr->initImgInfoArray();
        cntlr->setAppState(AppStateScanReady);
        for (int i = 0; i < pages; ++i)
            cntlr->addImgInfo(test::GreyPage(i), i);
        cntlr->setAppState(AppStateFuncStart);
        cntlr->showSelectFunction();
    }
    template <typename T = QWidget> T* Tagged(int tag) { return appkit::viewWithTag<T>(window.get(), tag); }
    bool Shown(int tag) {
        QWidget* widget = Tagged(tag);
        return widget && widget->isVisible();
    }
    // A job batch of one page, scanned and written, its file still open.
    void ScanOneJobPage() {
        window->showTopScreen(kScanModeJOB);
        cntlr->scanReadyByTwainCB();
        cntlr->setAppState(AppStateScanning);
        cntlr->addImgInfo(test::GreyPage(0), 0);
        ASSERT_TRUE(test::pumpUntil([&] {
            return cntlr->isFinScanAndWritedFile(true, -1) && cntlr->readImgFileForJobScnCount() == 0;
        }));
    }
    void Click(int tag) {
        auto* button = Tagged<QAbstractButton>(tag);
        ASSERT_TRUE(button) << tag;
        button->click();
    }
    // On the check screen: the files go into out (made here), named by the naming rule, with no copy in
    // the pictures folder.
    void SaveByTheRuleInto(const fs::path& out) {
        auto* pictures = Tagged<QCheckBox>(TlvFunctionViewCntlr::kTagSavePicture);
        ASSERT_TRUE(pictures);
        if (pictures->isChecked())
            Click(TlvFunctionViewCntlr::kTagSavePicture);
        fs::create_directories(out);
        auto* folder = Tagged<QLineEdit>(TlvFunctionViewCntlr::kTagSavePath);
        folder->clear();
        QTest::keyClicks(folder, QString::fromStdString(out.string()));
        auto* rule = Tagged<QCheckBox>(TlvFunctionViewCntlr::kTagUseFNSetting);
        if (!rule->isChecked())
            Click(TlvFunctionViewCntlr::kTagUseFNSetting);
    }

    test::ScratchHome home;
    fnd::UserDefaults defaults{"com.orvikElectronics.tollivar.test"};
    std::unique_ptr<TlvMainCntlr> cntlr;
    std::unique_ptr<TlvMainWindow> window;
    int quits = 0;
};

// A clock that moves on a second each time it is read, as if every step of the batch took that long.
struct SlowClock : FixedLookup {
    TlvLocalTime localNow() const override {
        TlvLocalTime t = now;
        t.second = ticks++ % 60;
        return t;
    }
    mutable int ticks = 0;
};

TEST_F(MainWindow, ChosenFunctionIsCheckedInItsViewAndOkWritesTheFile) {
    FinishedBatch();
    EXPECT_TRUE(Shown(400));
    EXPECT_FALSE(Shown(tag::kFuncViewExecute));
    EXPECT_TRUE(saveScreenshot(window.get(), "main-window-function-choice"));

    Click(400);
    EXPECT_EQ(cntlr->appState(), AppStateFuncConfirm);
    EXPECT_FALSE(Shown(400));
    ASSERT_TRUE(Shown(tag::kFuncViewExecute));
    EXPECT_EQ(Tagged<QPushButton>(tag::kFuncViewExecute)->text(), "Save");
    EXPECT_EQ(Tagged<QPushButton>(tag::kFuncViewBack)->text(), "Back");
    EXPECT_EQ(cntlr->curFuncTypeApp(), kFuncSave);

    // Into a folder of the test's own, named by the naming rule.
    const fs::path out = home.dir() / "out";
    ASSERT_NO_FATAL_FAILURE(SaveByTheRuleInto(out));
    EXPECT_TRUE(saveScreenshot(window.get(), "main-window-function-check"));

    Click(tag::kFuncViewExecute);
    EXPECT_TRUE(
        test::pumpUntil([&] { return isFinishFixState(cntlr->appState()); }, std::chrono::seconds(90)));
    EXPECT_EQ(cntlr->appState(), AppStateFixDone);
    EXPECT_FALSE(Shown(tag::kFuncViewExecute));
    const TlvFuncSettingMdl* settings = cntlr->jobLists().foaJobListMdl()->jList_FuncSettingMdl().get();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->fileSavePath(0), out.string()); // the checked settings became the job's
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);

    // The finish screen says where the files went and opens that folder.
    EXPECT_TRUE(Tagged<QLabel>(tag::kFixStatus)->text().contains(QString::fromStdString(out.string())));
    EXPECT_TRUE(saveScreenshot(window.get(), "main-window-finish"));
    UrlStandIn browser;
    ASSERT_TRUE(Shown(tag::kFixOpenFolder));
    Click(tag::kFixOpenFolder);
    ASSERT_EQ(browser.opened().size(), 1u);
    EXPECT_EQ(browser.opened()[0].toLocalFile().toStdString(), out.string());
    {
        // Nothing on the desktop shows the folder: the user is told, with the folder.
        const UrlStandIn failing(true);
        QSignalSpy failures(&cntlr->notifier(), &TlvCntlrNotifier::failureRaised);
        Click(tag::kFixOpenFolder);
        ASSERT_EQ(failures.size(), 1);
        EXPECT_EQ(failures[0][0].toString(), "Err_NotOpenFolder");
        EXPECT_EQ(failures[0][1].toStringList(), QStringList{QString::fromStdString(out.string())});
    }
    fs::remove_all(out); // a folder that is gone is not opened
    Click(tag::kFixOpenFolder);
    EXPECT_EQ(browser.opened().size(), 1u);
    Click(tag::kFixDone);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    EXPECT_TRUE(Shown(tag::kFoaScan));
}

TEST_F(MainWindow, PrintChoiceShowsThePrinterAndBackReturnsToTheChoice) {
    FinishedBatch();
    Click(402);
    EXPECT_EQ(cntlr->curFuncTypeApp(), kFuncPrint);
    EXPECT_EQ(Tagged<QPushButton>(tag::kFuncViewExecute)->text(), "Print");
    EXPECT_TRUE(Shown(TlvFunctionViewCntlr::kTagPrinterName));
    EXPECT_FALSE(Shown(TlvFunctionViewCntlr::kTagSavePath));
    EXPECT_TRUE(saveScreenshot(window.get(), "main-window-function-print"));

    Click(tag::kFuncViewBack);
    EXPECT_EQ(cntlr->appState(), AppStateFuncSelect);
    EXPECT_TRUE(Shown(402));
    EXPECT_FALSE(Shown(tag::kFuncViewExecute));

    Click(404); // back to the top gives up the page: the refused question keeps it
    EXPECT_EQ(cntlr->appState(), AppStateFuncSelect);
    EXPECT_EQ(cntlr->countOfImgInfoDict(), 1u);
}

TEST_F(MainWindow, JobCheckScreenSavesTheFileUnderTheConfirmedName) {
    const fs::path out = home.dir() / "out";
    test::UseSaveJob(*cntlr, out);
    cntlr->appSettingObj().setIsConfirmOutput(true);
    window->setConfirmOutputBox(true);
    ASSERT_NO_FATAL_FAILURE(ScanOneJobPage());
    cntlr->checkClosePDF(); // the end of the batch
    cntlr->setAppState(AppStateFuncStart);
    cntlr->fixFunction();
    ASSERT_TRUE(Shown(TlvFunctionViewCntlr::kTagFileNames));

    auto* names = Tagged<QComboBox>(TlvFunctionViewCntlr::kTagFileNames);
    names->lineEdit()->selectAll();
    QTest::keyClicks(names->lineEdit(), "Checked");
    EXPECT_TRUE(saveScreenshot(window.get(), "main-window-job-check"));
    Click(tag::kFuncViewExecute);
    EXPECT_TRUE(
        test::pumpUntil([&] { return isFinishFixState(cntlr->appState()); }, std::chrono::seconds(30)));
    EXPECT_EQ(cntlr->appState(), AppStateFixDone);
    EXPECT_TRUE(fs::exists(out / "Checked.pdf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

// The job's file could not be given its name at the end of the scan (its folder went): the batch fails.
TEST_F(MainWindow, AJobFileThatCannotBeKeptFailsTheBatch) {
    const fs::path out = home.dir() / "out";
    test::UseSaveJob(*cntlr, out);
    ASSERT_NO_FATAL_FAILURE(ScanOneJobPage());
    fs::rename(out, home.dir() / "gone");
    EXPECT_FALSE(cntlr->checkClosePDF());
    EXPECT_EQ(cntlr->appState(), AppStateScanErr);
    EXPECT_TRUE(fs::is_empty(home.dir() / "gone"));
}

// Pages wait on the function choice: the user can still leave, once agreed to discard them.
TEST_F(MainWindow, ClosingFromTheFunctionChoiceAsksThenDiscardsThePages) {
    FinishedBatch();
    EXPECT_TRUE(window->validateMenuItem(TlvMainWindow::Command::Quit));
    VX_Message::setDontMessageFlag(false);
    QString asked;
    whenAlertShows([&](appkit::Alert& alert) {
        asked = textOf(alert, appkit::Alert::kInformativeTag);
        click(alert, 1); // Cancel
    });
    window->close();
    EXPECT_EQ(asked, appkit::localized("Cnfm_QuitDiscardYesOrNo"));
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(cntlr->appState(), AppStateFuncSelect);
    EXPECT_EQ(cntlr->countOfImgInfoDict(), 1u);

    // Back to the start speaks of the scanned pages, not of a scan that has ended.
    whenAlertShows([&](appkit::Alert& alert) {
        asked = textOf(alert, appkit::Alert::kInformativeTag);
        click(alert, 1);
    });
    Click(404);
    EXPECT_EQ(asked, appkit::localized("Cnfm_ReturnMainTopYesOrNo"));

    whenAlertShows([](appkit::Alert& alert) { click(alert, 0); }); // OK
    window->close();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    EXPECT_EQ(cntlr->countOfImgInfoDict(), 0u);
}

// However long the writing takes, every file of a batch carries the date and time of the name shown.
TEST_F(MainWindow, EveryFileOfABatchHasTheNameTheCheckScreenShowed) {
    SlowClock clock;
    FinishedBatch(3);
    Click(400);
    const fs::path out = home.dir() / "out";
    ASSERT_NO_FATAL_FAILURE(SaveByTheRuleInto(out));
    Tagged<QComboBox>(TlvFunctionViewCntlr::kTagFileFormat)->setCurrentIndex(kFormatJPEG);
    const std::string shown = Tagged<QLineEdit>(TlvFunctionViewCntlr::kTagFileName)->text().toStdString();
    ASSERT_FALSE(shown.empty());

    Click(tag::kFuncViewExecute);
    ASSERT_TRUE(
        test::pumpUntil([&] { return isFinishFixState(cntlr->appState()); }, std::chrono::seconds(90)));
    EXPECT_EQ(cntlr->appState(), AppStateFixDone);
    std::set<std::string> names;
    for (const fs::directory_entry& file : fs::directory_iterator(out))
        names.insert(file.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{shown + ".jpg", shown + "_001.jpg", shown + "_002.jpg"}));
}

} // namespace
