// The main window by state, driven through the controller's states: which controls show and take
// input, the status lines, the step bar, the Tab order and the menu's enabling; and a picture of each
// state in both modes.
#include "ControllerTestSupport.h"
#include "NwAnimationImageView.h"
#include "QtTestApp.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvJobInfoCntlr.h"
#include "TlvJobs.h"
#include "TlvMainCntlr.h"
#include "TlvMainTags.h"
#include "TlvMainWindow.h"
#include "UButton.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QTest>

#include <algorithm>

namespace {

using namespace tlv;
using Command = TlvMainWindow::Command;

constexpr int kPreviewControls[] = {tag::kPreviewFirst,   tag::kPreviewPrev,       tag::kPreviewPageNumber,
                                    tag::kPreviewNext,    tag::kPreviewLast,       tag::kPreviewZoomIn,
                                    tag::kPreviewZoomOut, tag::kPreviewRotateDown, tag::kPreviewRotateUp};

class MainWindowState : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        test::testDriver();
        VX_Message::setDontMessageFlag(true);
        cntlr = std::make_unique<TlvMainCntlr>(defaults);
        cntlr->appSettingObj().setScanModeType(GetParam());
        cntlr->appSettingObj().setSelJobIndex(0);
        window = std::make_unique<TlvMainWindow>(*cntlr, [] {});
        jobs = std::make_unique<TlvJobs>(*cntlr, cntlr->functionViewCntlr(), nullptr);
        window->attachJobs(*jobs);
        cntlr->setMainView(window.get());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        test::endBatch(*cntlr);
        cntlr->setMainView(nullptr);
        jobs.reset(); // before the window, which owns the panes it took
        window.reset();
        cntlr.reset();
        VX_Message::setDontMessageFlag(false);
    }
    bool foa() const { return GetParam() == kScanModeFOA; }
    std::string mode() const { return foa() ? "foa" : "job"; }
    template <typename T = QWidget> T* Tagged(int tag) { return appkit::viewWithTag<T>(window.get(), tag); }
    bool Shown(int tag) {
        QWidget* widget = Tagged(tag);
        return widget && widget->isVisible();
    }
    bool Enabled(int tag) {
        QWidget* widget = Tagged(tag);
        return widget && widget->isEnabled();
    }
    QString Text(int tag) {
        if (auto* label = Tagged<QLabel>(tag))
            return label->text();
        auto* button = Tagged<QAbstractButton>(tag);
        return button ? button->text() : QString("<no %1>").arg(tag);
    }
    // The tags of the Tab order the window really has: its controls in the focus chain from 100 on.
    std::vector<int> FocusChain() {
        const std::vector<int> wanted = window->keyViewTags();
        std::vector<int> chain;
        QWidget* start = Tagged(tag::kModeFoa);
        QWidget* w = start;
        do {
            const std::optional<int> t = appkit::tagOf(w);
            if (t && std::find(wanted.begin(), wanted.end(), *t) != wanted.end() && w->isVisible() &&
                (w->focusPolicy() & Qt::TabFocus) && std::find(chain.begin(), chain.end(), *t) == chain.end())
                chain.push_back(*t);
            w = w->nextInFocusChain();
        } while (w && w != start);
        return chain;
    }
    // The Tab order's tags that the window shows now.
    std::vector<int> ShownKeyViews() {
        std::vector<int> shown;
        for (const int t : window->keyViewTags())
            if (QWidget* w = Tagged(t); w && w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                shown.push_back(t);
        return shown;
    }
    // A batch of pages, each shown once written (a job's writer writes them as they come).
    void Batch(int pages) {
        TlvUtilsMethod::createTmpFolder();
        cntlr->initImgInfoArray();
        cntlr->setAppState(AppStateScanReady);
        for (int k = 0; k < pages; ++k)
            cntlr->addImgInfo(test::GreyPage(k), k);
        ASSERT_TRUE(test::pumpUntilWritersEnd(*cntlr));
    }
    void Picture(int state) {
        QTest::qWait(20);
        saveScreenshots(window.get(), "main-window-" + mode() + "-" + std::to_string(state));
    }

    test::ScratchHome home;
    fnd::UserDefaults defaults{"com.orvikElectronics.tollivar.test"};
    std::unique_ptr<TlvMainCntlr> cntlr;
    std::unique_ptr<TlvMainWindow> window;
    std::unique_ptr<TlvJobs> jobs;
};

TEST_P(MainWindowState, TopScreenOfTheModeWithItsTabOrderAndMenus) {
    EXPECT_EQ(Shown(tag::kFoaScan), foa());
    EXPECT_EQ(Shown(tag::kJobScan), !foa());
    EXPECT_EQ(Shown(tag::kConfirmOutput), !foa());
    EXPECT_EQ(Shown(tag::kStepJobSel), !foa());
    EXPECT_TRUE(Tagged<QAbstractButton>(foa() ? tag::kModeFoa : tag::kModeJob)->isChecked());
    EXPECT_FALSE(Tagged<QAbstractButton>(foa() ? tag::kModeJob : tag::kModeFoa)->isChecked());
    EXPECT_EQ(Text(tag::kStepInfo),
              foa() ? "Scan first, then choose whether to save, mail, print or open the pages."
                    : "Choose a job and press Scan for the Job: the pages go where the job says.");
    const std::vector<int> order =
        foa() ? std::vector<int>{100, 101, 1009, 201, 202, 109, 110, 111}
              : std::vector<int>{100, 101, 1700, 1701, 1702, 1030, 302, 303, 304, 109, 110, 111};
    EXPECT_EQ(window->keyViewTags(), order);
    EXPECT_EQ(FocusChain(), ShownKeyViews());
    EXPECT_TRUE(Enabled(tag::kPrefs));
    EXPECT_TRUE(Enabled(tag::kBtn1FoaScan));
    int scanSettings = 0; // the scan-settings panel needs the scan session; a stand-in counts
    window->setScanSettingsOpener([&scanSettings] { ++scanSettings; });
    if (foa()) {
        Tagged<QAbstractButton>(tag::kFoaScanSettings)->click();
        EXPECT_EQ(scanSettings, 1);
    }
    for (const Command c : {Command::Quit, Command::Close, Command::Prefs, Command::About, Command::Help})
        EXPECT_TRUE(window->validateMenuItem(c)) << static_cast<int>(c);
    Picture(0);
}

// Under a dark scheme the content turns dark like every other window, and the words on the strips and
// the step bar stay readable on what is drawn behind them.
TEST_P(MainWindowState, ContentFollowsADarkPalette) {
    window->setPalette(darkPalette());
    const QImage shot = window->grab().toImage();
    const auto ground = [&](QWidget* on) {
        const QPoint corner = on->mapTo(window.get(), QPoint(on->width() - 3, on->height() - 3));
        return shot.pixelColor(corner * shot.devicePixelRatio()).lightness();
    };
    auto* info = Tagged<QLabel>(tag::kStepInfo);
    EXPECT_LT(ground(info->parentWidget()), 100);
    EXPECT_GT(info->palette().color(QPalette::WindowText).lightness(), 150);
    auto* finish = Tagged<QLabel>(tag::kStepFinish);
    const int contrast = finish->palette().color(QPalette::WindowText).lightness() - ground(finish);
    EXPECT_GT(contrast, 60) << "the step to come on its arrow";
    EXPECT_LT(ground(Tagged(tag::kStepScan)->parentWidget()->parentWidget()), 100) << "the step bar";
    // The picture between the mode buttons stands out from the ground it is drawn on.
    auto* swap = Tagged<QLabel>(tag::kModeChangeImage);
    const QRect drawn(swap->mapTo(window.get(), QPoint()) * shot.devicePixelRatio(),
                      swap->size() * shot.devicePixelRatio());
    int lightest = 0;
    for (int y = drawn.top(); y <= drawn.bottom(); ++y)
        for (int x = drawn.left(); x <= drawn.right(); ++x)
            lightest = std::max(lightest, shot.pixelColor(x, y).lightness());
    EXPECT_GT(lightest - ground(swap), 100) << "the mode picture";
}

// Whatever the font, each image button's title lies on its face, which grows with it.
TEST_P(MainWindowState, ImageButtonTitlesLieOnTheirFaces) {
    for (const UButton* button : window->findChildren<UButton*>()) {
        if (button->text().isEmpty() || !button->isVisible())
            continue;
        EXPECT_TRUE(QRectF(button->faceRect()).contains(button->titleRect()))
            << button->text().toStdString() << ": face " << button->faceRect().height() << " high";
    }
}

TEST_P(MainWindowState, ScanningScreenFollowsTheBatch) {
    Batch(0);
    EXPECT_TRUE(Shown(tag::kScanCancelContinue));
    EXPECT_EQ(Text(tag::kScanCancelContinue), "Cancel");
    EXPECT_EQ(Text(tag::kScanStatus), "Ready to scan");
    EXPECT_FALSE(Shown(tag::kScanFinish));
    EXPECT_FALSE(Shown(tag::kScanSettings));
    EXPECT_TRUE(Tagged<NwAnimationImageView>(tag::kScanAnimation)->isAnimating());
    EXPECT_FALSE(Enabled(tag::kPrefs));
    EXPECT_FALSE(Enabled(tag::kBtn1FoaScan));
    EXPECT_FALSE(window->validateMenuItem(Command::Quit));
    EXPECT_FALSE(window->validateMenuItem(Command::Prefs));
    EXPECT_FALSE(window->validateMenuItem(Command::Close));
    EXPECT_TRUE(window->validateMenuItem(Command::About));
    EXPECT_TRUE(window->validateMenuItem(Command::Help));
    EXPECT_EQ(window->keyViewTags(), (std::vector<int>{100, 101, 1100, 1101, 1109, 1102, 1103, 1104, 1105,
                                                       1106, 1107, 1204, 1206, 1205, 109, 110, 111}));
    EXPECT_EQ(FocusChain(), ShownKeyViews());
    Picture(101);
    cntlr->setAppState(AppStateScanning);
    cntlr->addImgInfo(test::GreyPage(0), 0);
    cntlr->displayOfPreview({}, 1); // the second page arrives: the counter follows the controller
    EXPECT_EQ(Text(tag::kScanStatus), "Scanning…");
    EXPECT_EQ(Text(tag::kScanNum), "Pages scanned: 2");
    Picture(102);
    // The other mode's button asks to cancel; refused, the scan goes on and the buttons spring back.
    Tagged<QAbstractButton>(foa() ? tag::kModeJob : tag::kModeFoa)->click();
    EXPECT_EQ(cntlr->appState(), AppStateScanning);
    EXPECT_TRUE(Tagged<QAbstractButton>(foa() ? tag::kModeFoa : tag::kModeJob)->isChecked());
    EXPECT_FALSE(Tagged<QAbstractButton>(foa() ? tag::kModeJob : tag::kModeFoa)->isChecked());

    // With continue-scan on, the end of a batch offers more pages and the finish.
    cntlr->appSettingObj().setIsValidContinueScanFOA(true);
    cntlr->appSettingObj().setIsValidContinueScanJOB(true);
    cntlr->setAppState(AppStateScanFinish);
    EXPECT_EQ(Text(tag::kScanCancelContinue), "Scan More");
    EXPECT_EQ(Text(tag::kScanNum), "Pages scanned: 1");
    EXPECT_TRUE(Shown(tag::kScanFinish));
    EXPECT_TRUE(Enabled(tag::kScanFinish));
    EXPECT_TRUE(Shown(tag::kScanSettings));
    EXPECT_FALSE(Tagged<NwAnimationImageView>(tag::kScanAnimation)->isAnimating());
    EXPECT_EQ(Text(tag::kStepInfo), "Add more pages and press Scan More, or press Finish Scanning.");
    Picture(104);
}

TEST_P(MainWindowState, FailureMessageSurvivesTheErrorStateAndIsIgnoredWhileChecking) {
    Batch(1);
    cntlr->setAppState(AppStateScanning);
    window->setStateInfoStrForMainUI("The paper jammed.");
    EXPECT_EQ(Text(tag::kScanStatus), "Scanning stopped");
    cntlr->setAppState(AppStateScanErr);
    EXPECT_EQ(Text(tag::kScanInfo), "The paper jammed.");
    EXPECT_EQ(Text(tag::kScanCancelContinue), "Scan More");
    EXPECT_TRUE(Shown(tag::kScanFinish));
    Picture(105);

    // Back to 104 without manual feed and without continue-scan: the message goes, the buttons stay.
    cntlr->setAppState(AppStateScanFinish);
    EXPECT_TRUE(Text(tag::kScanInfo).isEmpty());
}

TEST_P(MainWindowState, CheckAndFinishScreens) {
    Batch(1);
    cntlr->setAppState(AppStateScanFinish);
    cntlr->setAppState(AppStateFuncStart);
    if (foa()) {
        cntlr->showSelectFunction();
        EXPECT_EQ(window->keyViewTags(),
                  (std::vector<int>{100, 101, 1100, 1101, 1109, 1102, 1103, 1104, 1105, 1106, 1107, 400, 401,
                                    402, 403, 404, 109, 110, 111}));
        cntlr->fixFunction(401);
    } else {
        cntlr->fixFunction();
    }
    ASSERT_EQ(cntlr->appState(), AppStateFuncConfirm);
    EXPECT_TRUE(Shown(tag::kFuncViewExecute));
    window->setStateInfoStrForMainUI("ignored");
    EXPECT_NE(Text(tag::kFixSubStatus), "ignored");
    EXPECT_NE(Text(tag::kScanInfo), "ignored");
    if (foa()) { // a mail of the scan-first job: its name and format fields, then the buttons
        EXPECT_EQ(window->keyViewTags(),
                  (std::vector<int>{100,  101,  1100, 1101, 1109, 1102, 1103, 1104, 1105, 1106, 1107,
                                    1405, 1407, 1408, 1410, 1411, 1300, 1301, 109,  110,  111}));
    }
    Picture(202);

    cntlr->setAppState(AppStateFixStart);
    EXPECT_TRUE(Shown(tag::kFixAnimation));
    EXPECT_FALSE(Enabled(tag::kFixDone));
    EXPECT_FALSE(window->validateMenuItem(Command::Quit));
    Picture(300);
    cntlr->setAppState(AppStateFixDone);
    EXPECT_TRUE(Enabled(tag::kFixDone));
    EXPECT_FALSE(Shown(tag::kFixAnimation));
    EXPECT_TRUE(window->validateMenuItem(Command::Quit));
    EXPECT_EQ(Text(tag::kStepInfo), appkit::localized("Info_Finish_FJ"));
    Picture(306);
    window->setStateInfoStrForMainUI("The folder is full.");
    EXPECT_EQ(Text(tag::kFixSubStatus), "The folder is full.");
    EXPECT_TRUE(Text(tag::kFixStatus).isEmpty());
    cntlr->setAppState(AppStateFixWriteErr);
    Picture(307);

    Tagged<QAbstractButton>(tag::kFixDone)->click();
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    EXPECT_TRUE(Shown(foa() ? tag::kFoaScan : tag::kJobScan));
}

TEST_P(MainWindowState, JobPaneLinesAreFoundFromTheWindowAndEachPaneSitsInItsPlace) {
    // The pane's output lines share no number with a place of the window.
    for (const int line : {int{TlvJobInfoCntlr::kJobOutputFirst}, TlvJobInfoCntlr::kJobOutputFirst + 1}) {
        auto* found = Tagged<QLabel>(line);
        ASSERT_NE(found, nullptr) << line;
        EXPECT_TRUE(jobs->info().jobInfoForJOBView()->isAncestorOf(found)) << line;
    }
    EXPECT_TRUE(Tagged(tag::kFoaJobInfoPlace)->isAncestorOf(jobs->info().jobInfoForFOAView()));
    EXPECT_TRUE(Tagged(tag::kJobJobInfoPlace)->isAncestorOf(jobs->info().jobInfoForJOBView()));
    EXPECT_TRUE(Tagged(tag::kScanJobInfoPlace)->isAncestorOf(jobs->info().jobInfoForScngView()));
}

TEST_P(MainWindowState, PreviewTakesInputOnlyWhenNoPagesAreReadOrWritten) {
    const auto anyOn = [this] {
        return std::any_of(std::begin(kPreviewControls), std::end(kPreviewControls),
                           [this](int t) { return Enabled(t); });
    };
    Batch(2);
    EXPECT_FALSE(anyOn());
    cntlr->setAppState(AppStateScanning);
    cntlr->addImgInfo(test::GreyPage(2), 2);
    ASSERT_TRUE(test::pumpUntilWritersEnd(*cntlr)); // a job's writer shows its pages once written
    EXPECT_FALSE(anyOn()) << "a page arriving while the batch runs";
    cntlr->setAppState(AppStateScanFinish);
    ASSERT_EQ(cntlr->countOfImgInfoDict(), 3u);
    for (const int t :
         {tag::kPreviewFirst, tag::kPreviewPageNumber, tag::kPreviewZoomIn, tag::kPreviewRotateUp})
        EXPECT_TRUE(Enabled(t)) << t;
    Tagged<QAbstractButton>(tag::kPreviewZoomIn)->click();
    cntlr->setAppState(AppStateFuncStart);
    EXPECT_TRUE(Enabled(tag::kPreviewZoomOut)) << "the output choice keeps the preview as it was";
    cntlr->setAppState(AppStateFixStart);
    EXPECT_FALSE(anyOn());
    EXPECT_EQ(window->previewCntlr().cache().scale(), 0) << "the whole page while the output runs";
    cntlr->setAppState(AppStateFixDone);
    EXPECT_TRUE(Enabled(tag::kPreviewPrev));
    EXPECT_TRUE(Enabled(tag::kPreviewZoomIn));
    EXPECT_FALSE(Enabled(tag::kPreviewRotateDown)) << "the files are written: no more turns";
}

TEST_P(MainWindowState, FinishTellsOfTheAutomaticCloseOnlyForAJobWithoutCheck) {
    const QString closes = appkit::localized("FixState_Fix_AutoClose");
    cntlr->setAutoCloseDelay(3600); // the quit itself is tested with the controller
    const auto finish = [this](bool confirm, bool autoClose) {
        cntlr->appSettingObj().setIsConfirmOutput(confirm);
        cntlr->setIsAutoCloseApp(autoClose);
        cntlr->setAppState(AppStateFixStart);
        cntlr->setAppState(AppStateFixDone);
        return Text(tag::kFixSubStatus);
    };
    Batch(1);
    cntlr->setAppState(AppStateScanFinish);
    EXPECT_EQ(finish(false, true) == closes, !foa());
    EXPECT_NE(finish(true, true), closes);
    EXPECT_NE(finish(false, false), closes);
    cntlr->setIsAutoCloseApp(false);
}

TEST_P(MainWindowState, ControlsTheWindowLacksAreSkipped) {
    for (const int t :
         {tag::kScanStatus, tag::kScanInfo, tag::kScanFinish, tag::kScanCancelContinue, tag::kStepInfo,
          tag::kFixStatus, tag::kFixSubStatus, tag::kFixDone, tag::kBtn1FoaScan, tag::kPreviewNext})
        delete Tagged(t);
    Batch(1);
    window->setStateInfoStrForMainUI("The paper jammed.");
    cntlr->appSettingObj().setIsValidContinueScanFOA(true);
    cntlr->appSettingObj().setIsValidContinueScanJOB(true);
    for (const AppState state :
         {AppStateScanning, AppStateScanFinish, AppStateScanErr, AppStateFixStart, AppStateFixDone}) {
        cntlr->setAppState(state);
        window->updateScanNum(-1);
        window->setStateInfoStrForMainUI("The folder is full.");
        EXPECT_EQ(FocusChain(), ShownKeyViews()) << appStateNumber(state);
    }
    EXPECT_EQ(Text(tag::kScanNum), "Pages scanned: 1");
    EXPECT_EQ(window->finishScanSender(), nullptr);
}

TEST(MainWindowLooks, StandardButtonsShowAnImageWhereTheDesktopHasNoIconTheme) {
    test::testDriver();
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("k3100-no-such-theme"));
    test::ScratchHome home;
    fnd::UserDefaults defaults{"com.orvikElectronics.tollivar.test"};
    TlvMainCntlr cntlr(defaults);
    TlvMainWindow window(cntlr, [] {});
    QIcon::setThemeName(theme);
    // Our line images read on a dark ground too: their lines take the palette's light text colour.
    window.setPalette(darkPalette());
    for (const int t : {tag::kFoaScanSettings, tag::kJobEdit, tag::kJobNew, tag::kScanSettings,
                        tag::kScanFinish, tag::kFuncBack, tag::kFixOpenFolder, tag::kFixDone}) {
        auto* button = appkit::viewWithTag<QAbstractButton>(&window, t);
        ASSERT_NE(button, nullptr) << t;
        const QImage icon = button->icon().pixmap(button->iconSize()).toImage();
        ASSERT_FALSE(icon.isNull()) << t;
        int lightest = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                if (icon.pixelColor(x, y).alpha() > 128)
                    lightest = std::max(lightest, icon.pixelColor(x, y).lightness());
        EXPECT_GT(lightest, 150) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, MainWindowState, ::testing::Values(kScanModeFOA, kScanModeJOB),
                         [](const auto& info) { return info.param == kScanModeFOA ? "Foa" : "Job"; });

} // namespace
