// The event link between the helper's sender and the application's receiver on a private session bus:
// each event with its parameters, lenient reading, the deferral out of the bus dispatch, the refusals,
// and the settings record as the helper reads it (a binary property list of plain values).
#include "ControllerTestSupport.h"
#include "EventNames.h"
#include "EventReceiver.h"
#include "EventSender.h"
#include "PropertyList.h"
#include "TapwellAppleEvent.h"
#include "TlvAppleEventLink.h"
#include "TlvMainCntlr.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace {

using namespace tlv;

// Test programs run side by side on one bus: each takes a name of its own.
const QString kId = QString("com.orvikElectronics.tollivar.linktest.p%1").arg(getpid());

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        test::testDriver();
        VX_Message::setDontMessageFlag(true);
        cntlr = std::make_unique<TlvMainCntlr>(defaults);
        cntlr->setMainView(&view);
        view.watch(*cntlr);
        link = std::make_unique<TlvAppleEventLink>(*cntlr, &view, defaults);
        receiver = std::make_unique<ae::EventReceiver>(kId);
        link->setAppleEvent(*receiver);
        ASSERT_EQ(receiver->claim(), ae::EventReceiver::Claim::Owned);
    }
    void TearDown() override {
        receiver.reset();
        link.reset();
        cntlr.reset();
        VX_Message::setDontMessageFlag(false);
    }
    // Posts an event, then a window event as a marker: once the marker's deferred step has run, so
    // has everything the first event deferred.
    void Deliver(const ae::Event& event) {
        ASSERT_EQ(ae::EventSender(kId).post(event), ae::SendStatus::Ok);
        const int before = view.activations;
        helper.transAppActiveWindowInfo();
        ASSERT_TRUE(test::pumpUntil([&] { return view.activations > before; }));
    }

    test::ScratchHome home;
    fnd::UserDefaults defaults{kId.toStdString()};
    test::FakeMainView view;
    std::unique_ptr<TlvMainCntlr> cntlr;
    std::unique_ptr<TlvAppleEventLink> link;
    std::unique_ptr<ae::EventReceiver> receiver;
    TapwellAppleEvent helper{kId};
};

TEST_F(Link, ConnectFollowsThePollResultAndPressesOnlyWhenReady) {
    helper.transConnectInfo(-1, 0, 1);
    test::pumpUntil([&] { return !view.scanButtons; }, std::chrono::seconds(10));
    EXPECT_FALSE(view.scanButtons);
    helper.transConnectInfo(0, 0, 1);
    test::pumpUntil([&] { return view.scanButtons; }, std::chrono::seconds(10));
    EXPECT_TRUE(view.scanButtons);
}

TEST_F(Link, ConnectForButtonOneRunsTheScanFirstJobWithoutArmingTheQuit) {
    cntlr->appSettingObj().setScanModeType(kScanModeJOB);
    cntlr->appSettingObj().setIsBtn1AllocFOAScan(true);
    helper.transConnectInfo(0, 1, 0);
    ASSERT_TRUE(
        test::pumpUntil([&] { return cntlr->curScanModeType() == kScanModeFOA; }, std::chrono::seconds(10)));
    cntlr->scanReadyByTwainCB();
    EXPECT_FALSE(cntlr->isAutoCloseApp());
}

TEST_F(Link, ConnectForAJobLaunchedForThePressArmsTheQuitWhenItsBatchStarts) {
    cntlr->appSettingObj().setIsBtn1AllocFOAScan(false);
    ASSERT_TRUE(cntlr->jobLists().assignScanButton(2, 2));
    helper.transConnectInfo(0, 2, 0);
    ASSERT_TRUE(
        test::pumpUntil([&] { return cntlr->curScanModeType() == kScanModeJOB; }, std::chrono::seconds(10)));
    EXPECT_EQ(cntlr->appSettingObj().forDisplayJobIndex(), 2);
    cntlr->scanReadyByTwainCB();
    EXPECT_TRUE(cntlr->isAutoCloseApp());
}

TEST_F(Link, ConnectIsIgnoredWhileAPanelIsOpen) {
    view.modal = true;
    cntlr->appSettingObj().setScanModeType(kScanModeJOB);
    Deliver([] {
        ae::Event e{ae::kClassQS, ae::kConnect, {}};
        e.parameters.setInt32(ae::kParamStatus, 1); // Parm and PmLa missing: both read 0
        return e;
    }());
    EXPECT_EQ(cntlr->curScanModeType(), kScanModeJOB);
}

// The scanner keeps a press made during a batch until it is read; the helper cannot read it while the
// batch holds the scanner (its poll answers -2) and reports it with the first poll after the batch.
// That press belongs to the busy time and starts nothing (the job would run again on an empty feeder);
// a press after the scanner was free again runs its job.
TEST_F(Link, APressMadeWhileTheScannerWasHeldStartsNothing) {
    cntlr->appSettingObj().setIsBtn1AllocFOAScan(false);
    ASSERT_TRUE(cntlr->jobLists().assignScanButton(2, 2));
    cntlr->appSettingObj().setScanModeType(kScanModeFOA);
    const auto connect = [](std::int32_t poll, std::int32_t status) {
        ae::Event e{ae::kClassQS, ae::kConnect, {}};
        e.parameters.setInt32(ae::kParam, poll);
        e.parameters.setInt32(ae::kParamStatus, status);
        e.parameters.setInt32(ae::kParamLaunched, 1);
        return e;
    };
    cntlr->setAppState(AppStateScanning); // a batch of ours holds the scanner
    Deliver(connect(-2, 0));
    cntlr->setAppState(AppStateMainTop);
    Deliver(connect(0, 2)); // the press kept during that batch
    EXPECT_EQ(cntlr->curScanModeType(), kScanModeFOA);
    EXPECT_TRUE(tlv::isMainTopState(cntlr->appState()));
    Deliver(connect(-2, 0)); // held by something else while nothing of ours runs
    Deliver(connect(0, 2));
    EXPECT_EQ(cntlr->curScanModeType(), kScanModeJOB);
}

TEST_F(Link, ScanIsRefusedWhileAPanelEditsTheJobsOrABatchRuns) {
    cntlr->appSettingObj().setScanModeType(kScanModeJOB);
    view.modal = true;
    ae::Event scanFirst{ae::kClassQS, ae::kScan, {}};
    scanFirst.parameters.setInt32(ae::kParam, -1);
    Deliver(scanFirst);
    EXPECT_EQ(cntlr->curScanModeType(), kScanModeJOB);
    view.modal = false;
    cntlr->scanReadyByTwainCB();
    Deliver(scanFirst);
    EXPECT_EQ(cntlr->curScanModeType(), kScanModeJOB);
    EXPECT_EQ(cntlr->appState(), AppStateScanReady);
}

TEST_F(Link, ScanRunsTheJobOfThatNumber) {
    const int number = cntlr->jobLists().jobListMdlAtIndex(1)->jList_Num();
    helper.transScanInfo(number);
    ASSERT_TRUE(
        test::pumpUntil([&] { return cntlr->curScanModeType() == kScanModeJOB; }, std::chrono::seconds(10)));
    EXPECT_EQ(cntlr->appSettingObj().forDisplayJobIndex(), 1);
    EXPECT_FALSE(cntlr->isAutoCloseApp());
}

TEST_F(Link, OutputCheckWindowAndAboutEvents) {
    helper.transOutputCheckInfo(true);
    ASSERT_TRUE(test::pumpUntil([&] { return cntlr->isCurConfirmOutput(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(view.confirmBox);
    // A 16-bit Parm is widened like any other; a missing one reads 0 and shows nothing.
    ae::Event about{ae::kClassQS, ae::kVersionPanel, {}};
    Deliver(about);
    EXPECT_EQ(view.abouts, 0);
    about.parameters.setInt16(ae::kParam, 1);
    Deliver(about);
    EXPECT_EQ(view.abouts, 1);
}

TEST_F(Link, DataWritesTheRecordBeforeItAnswers) {
    std::optional<std::int32_t> answer;
    std::thread asker([&] { answer = helper.transAppDataCheck(); });
    ASSERT_TRUE(test::pumpUntil([&] { return defaults.data(TlvAppleEventLink::kAppSettingKey).has_value(); },
                                std::chrono::seconds(10)));
    asker.join();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, 1);
    const auto bytes = defaults.data(TlvAppleEventLink::kAppSettingKey);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 6), "bplist");
    const std::optional<fnd::Value> record = fnd::plist::parse(*bytes);
    ASSERT_TRUE(record && record->asDictionary());
    const fnd::Dictionary& dict = *record->asDictionary();
    EXPECT_EQ(dict.get("QS_AppState").asInt32(), 0);
    const fnd::Array* jobs = dict.get("QS_JobMdlArray").asArray();
    ASSERT_TRUE(jobs && !jobs->empty());
    const fnd::Dictionary* foa = (*jobs)[0].asDictionary();
    ASSERT_TRUE(foa);
    EXPECT_EQ(foa->get("QSMenu_Num").asInt32(), -1);
    for (std::size_t i = 1; i < jobs->size(); ++i) // only titled jobs
        EXPECT_TRUE((*jobs)[i].asDictionary()->get("QSMenu_TitleStr").asString());
}

// The helper asks for the record on every poll: asked again with nothing changed, the file is left as
// it is (each rewrite flushed to disk once took seconds for a few thousand events), and the desktop is
// asked for its mail program once, not at every event (each question runs a tool). The hard link keeps
// the first file's inode, so a rewrite shows as a different file.
TEST_F(Link, RepeatedDataEventsRewriteNothingWhenNothingChanged) {
    const auto tools = home.dir() / "tools";
    const auto asked = home.dir() / "asked";
    std::filesystem::create_directories(tools);
    std::ofstream(tools / "xdg-mime") << "#!/bin/sh\necho >>'" << asked.string() << "'\n";
    std::filesystem::permissions(tools / "xdg-mime", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    setenv("PATH", (tools.string() + ":" + path).c_str(), 1);

    ae::Parameters reply;
    link->handleAppDataCheck(reply);
    ASSERT_EQ(reply.int32(ae::kReturn), 1);
    const auto witness = home.dir() / "witness";
    std::filesystem::create_hard_link(defaults.path(), witness);
    for (int i = 0; i < 200; ++i) {
        link->handleAppDataCheck(reply);
        ASSERT_EQ(reply.int32(ae::kReturn), 1);
    }
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(std::filesystem::equivalent(defaults.path(), witness));
    std::ifstream questions(asked);
    EXPECT_EQ(std::count(std::istreambuf_iterator<char>(questions), {}, '\n'), 1);
}

TEST_F(Link, QuitEventGoesThroughTheNormalQuit) {
    helper.transCloseAppInfo();
    ASSERT_TRUE(test::pumpUntil([&] { return view.terminations == 1; }, std::chrono::seconds(10)));
}

// The helper turns the check screen on while a job's pages are being written, and the mode changes in
// the settings meanwhile: the batch still writes every page, goes to its output without the check
// screen and ends in 306 with one file, as it started; the changes wait for the next batch.
TEST_F(Link, SettingsChangedDuringAJobLeaveItsBatchAsItStarted) {
    const std::filesystem::path out = home.dir() / "out";
    test::UseSaveJob(*cntlr, out);
    cntlr->appSettingObj().setIsConfirmOutput(false);
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateScanning);
    cntlr->addImgInfo(test::GreyPage(0), 0);
    helper.transOutputCheckInfo(true);
    ASSERT_TRUE(test::pumpUntil([&] { return cntlr->isCurConfirmOutput(); }, std::chrono::seconds(10)));
    cntlr->appSettingObj().setScanModeType(kScanModeFOA);
    cntlr->addImgInfo(test::GreyPage(1), 1);
    // The scan ends as the session tells it, whether the writer is done by then or not.
    cntlr->report(tlv::TlvOutcome::ScanEnded);
    ASSERT_TRUE(
        test::pumpUntil([&] { return cntlr->readImgFileForJobScnCount() == 0; }, std::chrono::seconds(30)));
    ASSERT_TRUE(
        test::pumpUntil([&] { return cntlr->appState() == AppStateScanFinish; }, std::chrono::seconds(10)));

    cntlr->setAppState(AppStateFuncStart);
    cntlr->executeFunction(); // a batch without the check screen goes straight on
    ASSERT_TRUE(
        test::pumpUntil([&] { return isFinishFixState(cntlr->appState()); }, std::chrono::seconds(30)));
    EXPECT_EQ(cntlr->appState(), AppStateFixDone);
    EXPECT_EQ(std::count(view.states.begin(), view.states.end(), AppStateFixRenameMove), 0);
    const auto files = cntlr->writer().writtenFiles().cpyWriteFilePathArray();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].parent_path(), out);
    // The next batch goes by the new settings.
    cntlr->switchScanMode(-1, false);
    cntlr->scanReadyByTwainCB();
    EXPECT_EQ(cntlr->batchKind().scanMode, kScanModeFOA);
    EXPECT_TRUE(cntlr->batchKind().confirmOutput);
}

TEST(LinkSender, WithoutATargetNothingIsSent) {
    const TapwellAppleEvent none(std::nullopt);
    EXPECT_FALSE(none.isTargetRunning());
    EXPECT_FALSE(none.transAppDataCheck());
}

} // namespace
