// The real main window driven by tag through whole batches against the data source and an emulated
// scanner: a scan-first job from the top screen to the saved file and back, and a batch that jams.
// Each state the window passes through is checked as it shows it.
#include "Bundle.h"
#include "ControllerTestSupport.h"
#include "EmulatorFixture.h"
#include "Tags.h"
#include "TlvDeviceCntlr.h"
#include "TlvMainCntlr.h"
#include "TlvMainTags.h"
#include "TlvMainWindow.h"
#include "TlvScanViewCntlr.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <map>

namespace {

using namespace tlv;
namespace fs = std::filesystem;

// What the window showed on entering a state.
struct Seen {
    QString status;     // 1201 or 500
    QString step;       // 107
    bool finishShown{}; // 1206
    bool scanEnabled{}; // 202
    bool quitEnabled{};
    std::vector<int> tabs;
};

class MainWindowScan : public test::EmulatorFixture {
protected:
    void SetUp() override {
        EmulatorFixture::SetUp();
        setenv("TMPDIR", mDir.c_str(), 1);
        test::testDriver();
        VX_Message::setDontMessageFlag(true); // alerts are not shown; their texts still reach the window
        defaults = std::make_unique<fnd::UserDefaults>("com.orvikElectronics.tollivar.test");
    }
    void TearDown() override {
        if (cntlr) {
            test::endBatch(*cntlr);
            cntlr->setScanCntlrs(nullptr, nullptr);
            cntlr->setMainView(nullptr);
        }
        window.reset();
        scanView.reset();
        device.reset();
        cntlr.reset();
        VX_Message::setDontMessageFlag(false);
        EmulatorFixture::TearDown();
        unsetenv("TMPDIR");
    }
    void Start(const std::vector<std::string>& loads, const std::vector<std::string>& faults = {}) {
        ASSERT_TRUE(StartEmulator(loads, faults));
        cntlr = std::make_unique<TlvMainCntlr>(*defaults);
        cntlr->appSettingObj().setScanModeType(kScanModeFOA);
        TlvScanSettingMdl grey = *cntlr->curScnMdlApp(); // small pages, quick under the sanitizers
        grey.setScnStColType(2);
        grey.setScnStResType(0);
        grey.setScnStReaderSideType(0);
        cntlr->setScnStngInFOAJLMdl(grey);
        window = std::make_unique<TlvMainWindow>(*cntlr, [] {});
        device = std::make_unique<TlvDeviceCntlr>(*cntlr, fnd::Bundle::main().info());
        scanView = std::make_unique<TlvScanViewCntlr>(*cntlr, device.get());
        cntlr->setScanCntlrs(scanView.get(), device.get());
        cntlr->setMainView(window.get());
        QObject::connect(
            &cntlr->notifier(), &TlvCntlrNotifier::appStateChanged, window.get(), [this](AppState state) {
                const int status = state >= AppStateFixStart ? tag::kFixStatus : tag::kScanStatus;
                seen[state] = {Tagged<QLabel>(status)->text(),
                               Tagged<QLabel>(tag::kStepInfo)->text(),
                               Tagged(tag::kScanFinish)->isVisible(),
                               Tagged(tag::kFoaScan)->isEnabled(),
                               window->validateMenuItem(TlvMainWindow::Command::Quit),
                               window->keyViewTags()};
            });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename T = QWidget> T* Tagged(int tag) { return appkit::viewWithTag<T>(window.get(), tag); }
    void Click(int tag) {
        auto* button = Tagged<QAbstractButton>(tag);
        ASSERT_TRUE(button && button->isVisible() && button->isEnabled()) << tag;
        button->click();
    }
    bool WaitState(AppState state, int seconds = 120) {
        return test::pumpUntil([&] { return cntlr->appState() == state; }, std::chrono::seconds(seconds));
    }

    std::unique_ptr<fnd::UserDefaults> defaults;
    std::unique_ptr<TlvMainCntlr> cntlr;
    std::unique_ptr<TlvDeviceCntlr> device;
    std::unique_ptr<TlvScanViewCntlr> scanView;
    std::unique_ptr<TlvMainWindow> window;
    std::map<AppState, Seen> seen;
};

TEST_F(MainWindowScan, ScanFirstJobFromTheTopScreenToTheSavedFileAndBack) {
    ASSERT_NO_FATAL_FAILURE(Start({"gen:ramp-a4 2"}));
    ASSERT_TRUE(test::pumpUntil([&] { return Tagged(tag::kFoaScan)->isEnabled(); }));
    Click(tag::kFoaScan);
    ASSERT_TRUE(WaitState(AppStateFuncSelect));
    EXPECT_EQ(cntlr->countOfImgInfoDict(), 2u);

    ASSERT_TRUE(seen.count(AppStateScanReady));
    EXPECT_EQ(seen[AppStateScanReady].status, "Ready to scan");
    EXPECT_FALSE(seen[AppStateScanReady].finishShown);
    EXPECT_FALSE(seen[AppStateScanReady].quitEnabled);
    EXPECT_EQ(seen[AppStateScanReady].step, "Scanning. The pages appear on the left as they arrive.");
    ASSERT_TRUE(seen.count(AppStateScanning));
    EXPECT_EQ(seen[AppStateScanning].status, "Scanning…");
    ASSERT_TRUE(seen.count(AppStateScanFinish));
    EXPECT_EQ(seen[AppStateScanFinish].status, "The batch has been scanned");
    EXPECT_FALSE(seen[AppStateScanFinish].finishShown); // without continue-scan the batch goes on by itself
    EXPECT_EQ(seen[AppStateFuncSelect].step, "Choose what to do with the scanned pages.");
    EXPECT_EQ(Tagged<QLabel>(tag::kScanNum)->text(), "Pages scanned: 2");

    Click(400);
    ASSERT_EQ(cntlr->appState(), AppStateFuncConfirm);
    EXPECT_EQ(seen[AppStateFuncConfirm].step, "Check the settings, then press the button to finish.");
    if (Tagged<QCheckBox>(TlvFunctionViewCntlr::kTagSavePicture)->isChecked())
        Click(TlvFunctionViewCntlr::kTagSavePicture);
    const fs::path out = mDir / "out";
    fs::create_directories(out);
    auto* folder = Tagged<QLineEdit>(TlvFunctionViewCntlr::kTagSavePath);
    folder->clear();
    QTest::keyClicks(folder, QString::fromStdString(out.string()));
    Click(tag::kFuncViewExecute);
    ASSERT_TRUE(WaitState(AppStateFixDone));
    EXPECT_EQ(seen[AppStateFixStart].status, "Saving the files…");
    EXPECT_FALSE(seen[AppStateFixStart].quitEnabled);
    EXPECT_TRUE(Tagged<QLabel>(tag::kFixStatus)->text().startsWith("The files have been saved in "));
    EXPECT_TRUE(window->validateMenuItem(TlvMainWindow::Command::Quit));
    EXPECT_EQ(seen[AppStateFixDone].tabs, (std::vector<int>{100, 101, 1100, 1101, 1109, 1102, 1103, 1104,
                                                            1105, 1106, 1107, 501, 502, 109, 110, 111}));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);

    Click(tag::kFixDone);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    EXPECT_TRUE(Tagged(tag::kFoaScan)->isVisible());
    EXPECT_EQ(Tagged<QLabel>(tag::kStepInfo)->text(),
              "Scan first, then choose whether to save, mail, print or open the pages.");
}

TEST_F(MainWindowScan, AJamStopsTheBatchWithItsMessageAndOffersTheScannedPages) {
    ASSERT_NO_FATAL_FAILURE(Start({"gen:ramp-a4 4"}, {"jam@read:30"}));
    ASSERT_TRUE(test::pumpUntil([&] { return Tagged(tag::kFoaScan)->isEnabled(); }));
    Click(tag::kFoaScan);
    ASSERT_TRUE(WaitState(AppStateScanErr));
    ASSERT_TRUE(test::pumpUntil(
        [&] { return Tagged<QLabel>(tag::kScanInfo)->text() == "Scanning stopped: the paper jammed."; },
        std::chrono::seconds(10)));
    EXPECT_EQ(Tagged<QLabel>(tag::kScanStatus)->text(), "Scanning stopped");
    EXPECT_EQ(Tagged<QAbstractButton>(tag::kScanCancelContinue)->text(), "Scan More");
    EXPECT_EQ(Tagged<QLabel>(tag::kStepInfo)->text(),
              "Add more pages and press Scan More, or press Finish Scanning.");
    ASSERT_GE(cntlr->countOfImgInfoDict(), 1u);
    EXPECT_TRUE(Tagged(tag::kScanFinish)->isEnabled());
    EXPECT_EQ(window->keyViewTags(), (std::vector<int>{100, 101, 1100, 1101, 1109, 1102, 1103, 1104, 1105,
                                                       1106, 1107, 1204, 1206, 1205, 109, 110, 111}));
    saveScreenshots(window.get(), "main-window-foa-jam");

    Click(tag::kScanFinish); // the pages scanned before the jam go on to the choice
    ASSERT_TRUE(WaitState(AppStateFuncSelect, 30));
    EXPECT_TRUE(Tagged(400)->isVisible());
}

} // namespace
