// The scanning view's controller without a data source: waiting for earlier threads until they report
// their end, the end of a batch by mode, and the view's button.
#include <gtest/gtest.h>

#include "AlertAnswers.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TestScanHost.h"
#include "TlvScanViewCntlr.h"

#include <QPushButton>

namespace {

class ScanView : public testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        cntlr = std::make_unique<TlvScanViewCntlr>(host, nullptr);
        appkit::setTag(&finishControl, TlvScanViewCntlr::kFinishScanSenderTag);
    }
    void AddPage() { host.addImgInfo(tlv::TlvPageRecord{}); }
    QPushButton* Button() {
        return appkit::viewWithTag<QPushButton>(cntlr->scanningView(), TlvScanViewCntlr::kScanButtonTag);
    }

    test::TestScanHost host;
    QWidget finishControl;
    std::unique_ptr<TlvScanViewCntlr> cntlr;
};

} // namespace

TEST_F(ScanView, AScanWaitsForThePreviousBatchsWritersWithOneRequest) {
    host.writers = 1;
    host.batch.cancelOnMain();
    host.batch.cancelOutput();
    EXPECT_FALSE(cntlr->executeScanByCntlr());
    EXPECT_FALSE(cntlr->executeScanByCntlr());
    cntlr->workersMayHaveEnded();                // one of two
    EXPECT_TRUE(host.batch.isCancelledOnMain()); // still waiting: nothing was reset
    host.writers = 0;
    cntlr->workersMayHaveEnded();
    EXPECT_FALSE(host.batch.isCancelledOnMain());
    EXPECT_FALSE(
        host.batch.cancelSource().stop_requested()); // the new batch is not stopped by the last one's cancel
    EXPECT_EQ(cntlr->curDSStateOnCntlr(), kVXStateDSMClosed); // no session: no scan starts
    EXPECT_FALSE(cntlr->isReadyScan());
}

TEST_F(ScanView, TheEndOfABatchGoesWhereTheModeSays) {
    cntlr->finishScan(&finishControl); // no pages: back to the top screen
    EXPECT_EQ(host.topScreens, 1);
    AddPage();
    cntlr->finishScan(&finishControl);
    EXPECT_EQ(host.states, (std::vector<int>{0, 200, 201}));
    EXPECT_EQ(host.functionChoices, 1);

    host.scanMode = 1;
    host.confirmOutput = true;
    host.states.clear();
    cntlr->finishScan(&finishControl);
    EXPECT_EQ(host.states, (std::vector<int>{200, 202}));
    EXPECT_EQ(host.confirmations, 1);
    host.confirmOutput = false;
    cntlr->finishScan(&finishControl);
    EXPECT_EQ(host.outputs, 1);
    cntlr->finishScan(nullptr); // any other sender: no output
    EXPECT_EQ(host.outputs, 1);
    EXPECT_EQ(host.topScreens, 2);
}

TEST_F(ScanView, AJobWhoseFileCannotBeKeptGoesNoFurther) {
    AddPage();
    host.scanMode = 1;
    host.fileKept = false;
    cntlr->finishScan(&finishControl);
    EXPECT_EQ(host.outputs, 0);
    EXPECT_EQ(host.confirmations, 0);
    EXPECT_EQ(host.states, std::vector<int>{});
}

TEST_F(ScanView, TheButtonCancelsAScheduledEndOnceAndContinuesWhenAsked) {
    AddPage();
    host.writers = 1;
    cntlr->finishScan(&finishControl); // waits for the writer
    cntlr->setIsPerformedFinishScan(true);
    for (int i = 0; i < 3; ++i) {
        whenAlertShows([](appkit::Alert& alert) { click(alert, 0); }); // the page may go
        Button()->click();
    }
    host.writers = 0;
    cntlr->workersMayHaveEnded();
    EXPECT_EQ(host.functionChoices, 0); // the scheduled end was cancelled
    EXPECT_EQ(host.topScreens, 1);
    EXPECT_TRUE(host.batch.isCancelledOnMain());

    cntlr->setIsPerformedFinishScan(false);
    cntlr->setIsContinueScanState(true);
    Button()->click();
    EXPECT_EQ(host.continuedScans, 1);
}

// The question's buttons say what they do; Return keeps scanning.
TEST_F(ScanView, ACancelThatWouldDiscardPagesAsksAndADeclineLetsTheBatchGoOn) {
    host.setAppStateNum(tlv::appStateNumber(tlv::AppStateScanning));
    AddPage();
    QString asked;
    std::vector<QString> buttons;
    whenAlertShows([&](appkit::Alert& alert) {
        asked = textOf(alert, appkit::Alert::kInformativeTag);
        for (int i = 0; i < 2; ++i)
            if (auto* button = appkit::viewWithTag<QPushButton>(&alert, appkit::Alert::kFirstButtonTag + i))
                buttons.push_back(button->text());
        saveScreenshots(&alert, "alert-stop-and-discard");
        QTest::keyClick(&alert, Qt::Key_Return);
    });
    Button()->click();
    EXPECT_EQ(asked, appkit::localized("Cnfm_ScanCancelYesOrNo"));
    EXPECT_EQ(buttons, (std::vector<QString>{"Stop and Discard", "Keep Scanning"}));
    EXPECT_FALSE(host.batch.isCancelledOnMain());
    whenAlertShows([](appkit::Alert& alert) { click(alert, 0); });
    Button()->click();
    EXPECT_TRUE(host.batch.isCancelledOnMain());
}

TEST_F(ScanView, TheScanningViewIsPictured) {
    cntlr->scanningView()->resize(320, 200);
    saveScreenshots(cntlr->scanningView(), "ScanningView");
}
