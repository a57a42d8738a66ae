// The controller's poll, launches and events, driven through scripted ports.
#include "FakePorts.h"
#include "QtTestApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tapwell::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

struct TapwellCntlrTest : WithTestApplication, testing::Test {
    Recorded r;
    std::optional<TapwellCntlr> controller;

    void start(std::vector<Read> reads = {{0, 0}}) {
        r.reads.assign(reads.begin(), reads.end());
        controller.emplace(fakePorts(r));
        controller->start();
    }
};

TEST_F(TapwellCntlrTest, PressWhileNotRunningLaunchesThenReportsThePressOnce) {
    start();
    controller->checkScannerAction(0, 1);
    EXPECT_EQ(r.opens, 1);
    EXPECT_FALSE(controller->isPolling());
    EXPECT_TRUE(controller->isWaitingForLaunch());
    EXPECT_THAT(r.events, IsEmpty());

    controller->didLaunchApp();
    EXPECT_THAT(r.events, ElementsAre("Cnct(0,1,0)", "OpCk(0)"));
    EXPECT_EQ(r.aboutOrderedOut, 1); // the application describes itself from now on
    EXPECT_TRUE(controller->isPolling());
    EXPECT_FALSE(controller->isWaitingForLaunch());

    // The first poll after the launch counts as a change even when it repeats the earlier result.
    controller->checkScannerAction(0, 0);
    EXPECT_EQ(r.events.back(), "Cnct(0,0,1)");
}

TEST_F(TapwellCntlrTest, WhileRunningOnlyChangesAreSentWithTheResultAsSixteenBits) {
    r.running = true;
    start();
    controller->checkScannerAction(0, 1);
    controller->checkScannerAction(0, 1);
    controller->checkScannerAction(0, 0);
    controller->checkScannerAction(-3, 0);
    EXPECT_THAT(r.events, ElementsAre("Cnct(0,1,1)", "Cnct(0,0,1)", "Cnct(-3,0,1)"));
    EXPECT_EQ(r.opens, 0);
}

TEST_F(TapwellCntlrTest, ScannerAppearingLaunchesOnlyWithStartOnPlugInAndOnlyFromNoScanner) {
    AppSetting plugIn;
    plugIn.startAppPlugInScn = true;
    r.setting = plugIn;
    start({{-2, 0}});
    controller->checkScannerAction(0, 0);
    EXPECT_EQ(r.opens, 0) << "-2 to 0 is no plug-in";
    controller->checkScannerAction(-1, 0);
    EXPECT_FALSE(r.connectedImage);
    controller->checkScannerAction(0, 0);
    EXPECT_EQ(r.opens, 1);
    EXPECT_TRUE(r.connectedImage);
}

TEST_F(TapwellCntlrTest, ScannerAppearingWithoutStartOnPlugInLaunchesNothing) {
    start({{-1, 0}});
    controller->checkScannerAction(0, 0);
    EXPECT_EQ(r.opens, 0);
}

TEST_F(TapwellCntlrTest, LatchedPressAtStartIsDrainedAndLaunchesNothing) {
    start({{0, 1}, {0, 1}, {0, 0}});
    EXPECT_EQ(r.readCount, 3);
    EXPECT_EQ(controller->buttonStatus(), 0u);
    controller->checkConnectStatus();
    EXPECT_EQ(r.opens, 0);
}

TEST_F(TapwellCntlrTest, DrainGivesUpAfterTwentyOneReads) {
    start({{0, 1}});
    EXPECT_EQ(r.readCount, TapwellCntlr::kDrainReads);
    EXPECT_EQ(controller->buttonStatus(), 0u);
}

TEST_F(TapwellCntlrTest, LaunchThatNeverAnnouncesItselfResumesPollingDropsThePressAndSaysSo) {
    start();
    controller->checkScannerAction(0, 1);
    controller->launchWaitExpired();
    EXPECT_TRUE(controller->isPolling());
    EXPECT_EQ(controller->buttonStatus(), 0u);
    EXPECT_THAT(r.alerts, ElementsAre("Err_LaunchTimeout"));
    // The next press launches again.
    controller->checkScannerAction(0, 1);
    EXPECT_EQ(r.opens, 2);
}

TEST_F(TapwellCntlrTest, LaunchFailureResumesPollingAndShowsTheError) {
    r.openSucceeds = false;
    start();
    controller->checkScannerAction(0, 1);
    EXPECT_TRUE(controller->isPolling());
    EXPECT_THAT(r.alerts, ElementsAre("Err_Message"));
}

// A press is kept outside the helper from its read until the launched application has it, or the
// launch has failed and the user was told.
TEST_F(TapwellCntlrTest, APressIsKeptUntilItIsHandedOverOrItsLaunchFailed) {
    start();
    controller->checkScannerAction(0, 1);
    EXPECT_EQ(r.keptPress, 1u);
    controller->didLaunchApp();
    EXPECT_EQ(r.keptPress, 0u);

    controller->didTerminateApp();
    controller->checkScannerAction(0, 2);
    EXPECT_EQ(r.keptPress, 2u);
    controller->launchWaitExpired();
    EXPECT_EQ(r.keptPress, 0u);
    r.openSucceeds = false;
    controller->checkScannerAction(0, 1);
    EXPECT_EQ(r.keptPress, 0u);
    EXPECT_THAT(r.alerts, ElementsAre("Err_LaunchTimeout", "Err_Message"));
}

// The helper before this one died between the read and the handover: the application it launched
// gets the press as from a launch, and with none running the press launches it.
TEST_F(TapwellCntlrTest, AStartingHelperHandsOverThePressTheOneBeforeItKept) {
    r.keptPress = 1;
    r.running = true;
    start();
    EXPECT_THAT(r.events, ElementsAre("Cnct(0,1,0)"));
    EXPECT_EQ(r.keptPress, 0u);
    controller->checkScannerAction(0, 0);
    EXPECT_EQ(r.events.back(), "Cnct(0,0,1)"); // and its release
    EXPECT_EQ(r.opens, 0);

    r = Recorded{};
    r.keptPress = 1;
    start();
    EXPECT_EQ(r.opens, 1);
    EXPECT_EQ(r.keptPress, 1u); // until the handover
    controller->didLaunchApp();
    EXPECT_THAT(r.events, ElementsAre("Cnct(0,1,0)", "OpCk(0)"));
    EXPECT_EQ(r.keptPress, 0u);
}

TEST_F(TapwellCntlrTest, MenuJobWaitsForTheLaunchAndAPendingPressGoesFirst) {
    start();
    controller->selectedAction(kTagJobBase + 3);
    controller->didLaunchApp();
    EXPECT_THAT(r.events, ElementsAre("Scan(3)", "OpCk(0)"));

    controller->didTerminateApp();
    r.events.clear();
    controller->selectedAction(kTagJobBase + 3);
    controller->checkScannerAction(0, 1);
    controller->didLaunchApp();
    EXPECT_THAT(r.events, ElementsAre("Cnct(0,1,0)", "OpCk(0)"));
}

TEST_F(TapwellCntlrTest, ConfirmOutputFlippedWhileNotRunningIsSentAfterTheLaunch) {
    start();
    controller->selectedAction(kTagOutputCheck);
    EXPECT_THAT(r.events, IsEmpty());
    controller->selectedAction(kTagShowApp);
    controller->didLaunchApp();
    EXPECT_THAT(r.events, ElementsAre("OpCk(1)"));
}

TEST_F(TapwellCntlrTest, MainApplicationNotFoundAlertsForEveryRowButQuit) {
    r.hasMainApp = false;
    start();
    for (int tag : {int(kTagAbout), int(kTagShowApp), int(kTagOutputCheck), kTagJobBase + 1})
        controller->selectedAction(tag);
    EXPECT_EQ(r.alerts.size(), 4u);
    controller->selectedAction(kTagQuit);
    EXPECT_EQ(r.quits, 1);
}

TEST_F(TapwellCntlrTest, InboundConnectIsPassedOnWhileRunning) {
    start();
    controller->handleButtonAction(1, 0);
    EXPECT_EQ(r.opens, 0) << "PmLa 0 without start-on-plug-in changes nothing";
    r.running = true;
    controller->didLaunchApp();
    r.events.clear();
    controller->handleButtonAction(2, 0);
    EXPECT_THAT(r.events, ElementsAre("Cnct(0,2,1)"));
}

TEST_F(TapwellCntlrTest, QuittingTellsTheRunningApplicationAndKeepsTheLoginItem) {
    r.running = true;
    start();
    r.loginEntries.clear();
    controller->applicationWillTerminate();
    EXPECT_THAT(r.events, ElementsAre("quit"));
    EXPECT_THAT(r.loginEntries, ElementsAre(true));
    EXPECT_FALSE(controller->isPolling());
}

TEST_F(TapwellCntlrTest, UnreadableRecordGivesBuiltInJobsAndKeepsTheLoginItem) {
    start();
    EXPECT_EQ(r.junkRemovals, 1);
    EXPECT_THAT(r.loginEntries, ElementsAre(true));
    const std::vector<MenuRow> rows = controller->menuNeedsUpdate();
    ASSERT_EQ(rows.size(), 6u + 4u + 1u);
    EXPECT_EQ(rows[6].tag, 999);
    EXPECT_TRUE(rows[7].separator);
    EXPECT_EQ(rows[10].tag, 1003);
    EXPECT_EQ(rows[6].badge, 1); // button 1 scans first, as out of the box

    // The application's setting gives button 1 to job 1 before it has ever run.
    r.buttonOneScansFirst = false;
    const std::vector<MenuRow> given = controller->menuNeedsUpdate();
    EXPECT_EQ(given[6].badge, -1);
    EXPECT_EQ(given[8].tag, 1001);
    EXPECT_EQ(given[8].badge, 1);
}

TEST_F(TapwellCntlrTest, RecordDrivesTheLoginItemAndAskedRunningApplicationFirst) {
    AppSetting setting;
    setting.showIcnLogInPC = false;
    setting.jobs = std::vector<JobMenuEntry>{{-1, 1, -1, "", ""}};
    r.setting = setting;
    r.running = true;
    start();
    EXPECT_THAT(r.loginEntries, ElementsAre(false));
    const std::vector<MenuRow> rows = controller->menuNeedsUpdate();
    EXPECT_THAT(r.events, ElementsAre("Data"));
    ASSERT_EQ(rows.size(), 7u) << "one job row and no separator after it";
    EXPECT_EQ(rows[6].tag, 999);
    EXPECT_THAT(r.loginEntries, ElementsAre(false)) << "unchanged setting, no second change";
}

} // namespace
} // namespace tapwell::test
