// The main controller without a window or a scanner: the state rules, the automatic quit and when it
// is armed, the page list and its release while the job-page writer runs, the once-per-scan return to
// the top, the mail-size check, and the output steps' threads outliving nothing.
#include "AlertAnswers.h"
#include "ControllerTestSupport.h"
#include "TlvJobPageQueue.h"
#include "TlvMainCntlr.h"
#include "TlvOutputFailure.h"
#include "TlvPageRecord.h"
#include "TlvUtilsMethod.h"
#include "TlvWorkers.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <optional>
#include <random>
#include <thread>

namespace {

using namespace tlv;

class Controller : public ::testing::Test {
protected:
    void SetUp() override {
        test::testDriver();
        VX_Message::setDontMessageFlag(true); // questions answer as refused, nothing is shown
        cntlr = std::make_unique<TlvMainCntlr>(defaults);
        cntlr->setMainView(&view);
        view.watch(*cntlr);
    }
    void TearDown() override {
        test::endBatch(*cntlr);
        cntlr.reset();
        VX_Message::setDontMessageFlag(false);
    }
    void UseSaveJob() {
        test::UseSaveJob(*cntlr, home.dir() / "out");
        cntlr->appSettingObj().setIsConfirmOutput(false);
    }
    // Scan first, mailing the pages; answers the size limit in bytes.
    std::uint64_t UseMail() {
        TlvJobListSettingMdl foa = cntlr->jobLists().foaJobListMdl()->copyWithZone();
        foa.setJList_FunctionType(kFuncMail);
        cntlr->jobLists().applyFoaJob(foa);
        return static_cast<std::uint64_t>(cntlr->prefsSettingObj().mailAttachLimit()) << 20;
    }
    // A new mail batch whose writer counts bytes and reports its pages written.
    void WriteMailBatch(std::uint64_t bytes) {
        cntlr->switchScanMode(-1, false);
        // As the scan view does, the next batch waits for the last one's release: a step's worker still
        // running holds it back, and the batch counters are cleared only then.
        ASSERT_TRUE(test::pumpUntilWritersEnd(*cntlr));
        cntlr->scanReadyByTwainCB();
        cntlr->setAppState(AppStateScanning);
        cntlr->setAppState(AppStateScanFinish);
        cntlr->setAppState(AppStateFixReadFiles);
        std::thread writer([&] { cntlr->setWritedFileSizeForPfm(0, bytes); });
        writer.join();
        cntlr->report(TlvOutcome::PagesWritten);
    }

    test::ScratchHome home;
    fnd::UserDefaults defaults{"com.orvikElectronics.tollivar.test"};
    test::FakeMainView view;
    std::unique_ptr<TlvMainCntlr> cntlr;
};

TEST_F(Controller, EndOfBatchReportsCountOnlyWhileABatchRuns) {
    cntlr->setAppState(AppStateScanFinish);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateScanning);
    const std::size_t refreshes = view.states.size();
    cntlr->setAppState(AppStateScanning); // the same state again: no refresh, no second step
    EXPECT_EQ(view.states.size(), refreshes);
    cntlr->setAppState(AppStateScanErr);
    EXPECT_EQ(cntlr->appState(), AppStateScanErr);
    cntlr->setAppState(AppStateFixDone);
    cntlr->setAppState(AppStateScanFinish);
    EXPECT_EQ(cntlr->appState(), AppStateFixDone);
}

TEST_F(Controller, PressedJobArmsTheQuitOnlyWhenItsBatchStarts) {
    cntlr->executeScanForPress(); // no scan session here: the batch's start is simulated below
    EXPECT_FALSE(cntlr->isAutoCloseApp());
    cntlr->scanReadyByTwainCB(); // the press's batch is ready
    EXPECT_TRUE(cntlr->isAutoCloseApp());

    // A jam mid-batch: the failure state clears it, and 306 later never quits.
    cntlr->setAppState(AppStateScanning);
    cntlr->setAppState(AppStateScanErr);
    EXPECT_FALSE(cntlr->isAutoCloseApp());
    cntlr->setAppState(AppStateFixDone);
    cntlr->terminateByAutoClose();
    EXPECT_EQ(view.terminations, 0);
}

TEST_F(Controller, StartThatNeverCameLeavesNoQuitForALaterManualScan) {
    cntlr->executeScanForPress(); // the press's start failed before the batch was ready
    cntlr->executeScan();         // the user's own scan later
    cntlr->scanReadyByTwainCB();
    EXPECT_FALSE(cntlr->isAutoCloseApp());
}

TEST_F(Controller, AutomaticQuitNeedsStateFlagAndNoPanel) {
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateFixDone);
    cntlr->setIsAutoCloseApp(true);
    view.modal = true;
    cntlr->terminateByAutoClose();
    EXPECT_EQ(view.terminations, 0);
    EXPECT_FALSE(cntlr->isAutoCloseApp()); // cleared in every case
    view.modal = false;
    cntlr->setIsAutoCloseApp(true);
    cntlr->terminateByAutoClose();
    EXPECT_EQ(view.terminations, 1);
}

TEST_F(Controller, QuitIsRefusedWhileABatchOrAnOutputRuns) {
    EXPECT_TRUE(cntlr->isValidAppTerminate());
    cntlr->scanReadyByTwainCB();
    EXPECT_FALSE(cntlr->isValidAppTerminate());
    cntlr->setAppState(AppStateFixDone);
    EXPECT_TRUE(cntlr->isValidAppTerminate());
    view.modal = true;
    EXPECT_FALSE(cntlr->isValidAppTerminate());
}

TEST_F(Controller, ReturnAfterACancelHappensOncePerScanWhateverTheThreads) {
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateScanWrite);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([this] { cntlr->switchScanModeForCancelOnMain(); });
    ASSERT_TRUE(test::pumpUntil([&] { return cntlr->appState() == AppStateMainTop; }));
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(view.topScreens.size(), 1u);
}

// Each batch and output step hands its workers a cancel of its own: a stop reaches the workers it was
// meant for, keeps them stopped after the next batch starts, and never reaches the next batch or step.
TEST_F(Controller, ACancelReachesOnlyTheWorkersOfItsBatchOrStep) {
    cntlr->scanReadyByTwainCB();
    const TlvBatchSnapshot first = cntlr->batchSnapshot(); // what a writer of the first batch holds
    cntlr->setAppState(AppStateScanning);
    cntlr->switchScanMode(-1, true); // the user's cancel
    EXPECT_TRUE(first.isCancelled());
    cntlr->scanReadyByTwainCB();
    EXPECT_FALSE(cntlr->batchSnapshot().isCancelled());
    EXPECT_TRUE(first.isCancelled()); // the first batch's writer still stops

    cntlr->setAppState(AppStateScanning);
    cntlr->setAppState(AppStateScanFinish);
    const TlvBatchSnapshot scanning = cntlr->batchSnapshot();
    cntlr->setAppState(AppStateFixRemakeRotated); // an output step that starts no worker here
    const TlvBatchSnapshot step = cntlr->batchSnapshot();
    scanning.requestCancel(); // a late failure of the scan's page writer
    EXPECT_FALSE(step.isCancelled());
    cntlr->cancelForForcedQuit([] {},
                               [] {}); // the quit stops the scanner only: what was read is still written
    EXPECT_FALSE(step.isCancelled());
}

// The writers only count; the question comes once the pages are written, so no writer waits for it.
TEST_F(Controller, MailQuestionOnlyAboveTheLimitAndOnceThePagesAreWritten) {
    const std::uint64_t limit = UseMail();
    WriteMailBatch(limit); // exactly the limit: no question, on to the hand-off
    EXPECT_FALSE(cntlr->isCheckedMailSize());
    EXPECT_EQ(cntlr->appState(), AppStateFixHandOff);

    WriteMailBatch(limit + 1);
    EXPECT_TRUE(cntlr->isCheckedMailSize());
    EXPECT_FALSE(cntlr->batchSnapshot().isCancelled()); // the writer was never stopped
    EXPECT_EQ(cntlr->appState(), AppStateFixWriteErr);  // the refused question: nothing is handed off
    // The first batch's hand-off of pages that were never written may report its own failure meanwhile.
    EXPECT_TRUE(test::pumpUntil(
        [&] {
            return std::find(view.errors.begin(), view.errors.end(), kFlgMailSizeOver) != view.errors.end();
        },
        std::chrono::seconds(10)));
}

// The size question comes once per batch, however often its pages are reported written, and again in
// the next batch. Cancel keeps the files back (the status line says so); OK lets them go.
TEST_F(Controller, MailQuestionOncePerBatchAndItsAnswerDecides) {
    const std::uint64_t limit = UseMail();
    const auto keptBack = [&] {
        QCoreApplication::processEvents(); // the view hears of failures through the queue
        return std::count(view.errors.begin(), view.errors.end(), kFlgMailSizeOver);
    };
    VX_Message::setDontMessageFlag(false);
    AlertAnswerer answers(1); // Cancel
    WriteMailBatch(limit + 1);
    cntlr->report(TlvOutcome::PagesWritten); // the same batch's pages again
    EXPECT_EQ(answers.answered, 1);
    EXPECT_EQ(keptBack(), 1);

    answers.button = 0; // OK
    WriteMailBatch(limit + 1);
    EXPECT_EQ(answers.answered, 2);
    EXPECT_EQ(keptBack(), 1);
}

// The user's steps go by the road too: one asked for where it does not lead from changes nothing, and a
// second start of the output starts no second writer.
TEST_F(Controller, UserStepsTakeOnlyTheirRoads) {
    cntlr->showSelectFunction();
    cntlr->fixFunction(TlvMainCntlr::kTagFuncSave);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    EXPECT_TRUE(view.states.empty());
    EXPECT_EQ(view.functionView, nullptr);

    UseSaveJob(); // a job without the check screen starts its output from the end of its scan
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateScanning);
    cntlr->setAppState(AppStateScanFinish);
    cntlr->showSelectFunction();
    EXPECT_EQ(cntlr->appState(), AppStateScanFinish);
    cntlr->executeFunction();
    cntlr->executeFunction();
    EXPECT_EQ(std::count(view.states.begin(), view.states.end(), AppStateFixStart), 1);
    EXPECT_EQ(std::count(view.states.begin(), view.states.end(), AppStateFixRemakeRotated), 1);
    EXPECT_EQ(cntlr->appState(), AppStateFixRemakeRotated);
}

// Reports go only where the road leads from the state they meet: an output step that ends after the user
// went back to the top leaves the top as it is, and a scan report cannot jump into the output.
TEST_F(Controller, ReportsFollowTheRoadFromTheStateTheyMeet) {
    cntlr->setAppStateNum(AppStateFixDone);
    cntlr->setAppStateNum(AppStateScanning);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);

    TlvJobListSettingMdl foa = cntlr->jobLists().foaJobListMdl()->copyWithZone();
    auto func = std::make_shared<TlvFuncSettingMdl>(*foa.jList_FuncSettingMdl());
    func->setIsPictureFolderSave(false, 0);
    func->setFileSavePath((home.dir()).string(), 0);
    func->setIsAddOCR(false, 0);
    foa.setJList_FuncSettingMdl(func);
    cntlr->jobLists().applyFoaJob(foa);
    cntlr->scanReadyByTwainCB();
    cntlr->setAppStateNum(AppStateScanning);
    cntlr->addImgInfo(test::GreyPage(0), 0);
    cntlr->setAppStateNum(AppStateFixDone); // not from scanning
    EXPECT_EQ(cntlr->appState(), AppStateScanning);
    cntlr->setAppStateNum(AppStateScanFinish);
    EXPECT_EQ(cntlr->appState(), AppStateScanFinish);

    // The writer starts; its report of the written file reaches the main thread only after the return.
    cntlr->setAppState(AppStateFixReadFiles);
    cntlr->switchScanMode(-1, false);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    EXPECT_EQ(cntlr->readImgFileForJobScnCount(), 0);
    EXPECT_EQ(std::count(view.states.begin(), view.states.end(), AppStateFixDone), 0);
}

// What a report leads to depends on the state it meets and on the batch: the controller decides, the
// workers only say what happened.
TEST(ControllerReports, TheStateAndTheBatchDecideWhereAReportLeads) {
    const TlvBatchKind foaSave{kScanModeFOA, kFuncSave, false};
    const TlvBatchKind foaMail{kScanModeFOA, kFuncMail, false};
    const TlvBatchKind jobSave{kScanModeJOB, kFuncSave, false};
    const TlvBatchKind jobConfirm{kScanModeJOB, kFuncMail, true};
    const TlvBatchKind jobPrint{kScanModeJOB, kFuncPrint, false};
    struct Case {
        TlvOutcome outcome;
        AppState state;
        TlvBatchKind batch;
        bool pagesWritten;
        std::optional<AppState> next;
    };
    const Case cases[] = {
        {TlvOutcome::PagesWritten, AppStateFixReadFiles, foaSave, false, AppStateFixDone},
        {TlvOutcome::PagesWritten, AppStateFixReadFiles, foaMail, false, AppStateFixHandOff},
        {TlvOutcome::PagesWritten, AppStateScanWrite, jobSave, false, AppStateScanFinish},
        {TlvOutcome::PagesWritten, AppStateScanErr, jobSave, false, std::nullopt}, // the failure stands
        {TlvOutcome::PagesWritten, AppStateFixRemakeRotated, jobConfirm, false, AppStateFixRenameMove},
        {TlvOutcome::PagesWritten, AppStateFixRemakeRotated, jobSave, false, AppStateFixDone},
        {TlvOutcome::WriteFailed, AppStateScanning, jobSave, false, AppStateScanErr},
        {TlvOutcome::WriteFailed, AppStateFixRemakeRotated, jobSave, false, AppStateFixWriteErr},
        {TlvOutcome::WriteFailed, AppStateFixReadFiles, foaSave, false, AppStateFixWriteErr},
        {TlvOutcome::StepDone, AppStateFixRenameMove, jobSave, false, AppStateFixDone},
        {TlvOutcome::StepDone, AppStateFixRenameMove, jobConfirm, false, AppStateFixHandOff},
        {TlvOutcome::StepDone, AppStateFixPrint, jobPrint, false, AppStateFixDone},
        {TlvOutcome::StepFailed, AppStateFixHandOff, jobConfirm, false, AppStateFixErr},
        {TlvOutcome::ScanEnded, AppStateScanning, jobSave, false, AppStateScanWrite},
        {TlvOutcome::ScanEnded, AppStateScanning, jobSave, true, AppStateScanFinish},
        {TlvOutcome::ScanEnded, AppStateScanning, jobPrint, false, AppStateScanFinish},
        {TlvOutcome::ScanEnded, AppStateScanning, foaSave, false, AppStateScanFinish},
        {TlvOutcome::BatchStarting, AppStateScanFinish, jobSave, false, AppStateScanReady}, // scans on
        {TlvOutcome::BatchStarting, AppStateScanWrite, jobSave, false, std::nullopt},
        {TlvOutcome::BatchStarting, AppStateMainTop, jobSave, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("outcome " + std::to_string(static_cast<int>(c.outcome)) + " in " +
                     std::to_string(appStateNumber(c.state)));
        EXPECT_EQ(TlvMainCntlr::nextStateOf(c.outcome, c.state, c.batch, c.pagesWritten), c.next);
    }
}

// A worker's report never waits for the main thread: it is decided there on a later turn, by the road
// from the state it meets.
TEST_F(Controller, AWorkersReportIsDecidedLaterOnTheMainThread) {
    UseSaveJob();
    cntlr->scanReadyByTwainCB();
    cntlr->setAppStateNum(AppStateScanning);
    std::thread worker([this] { cntlr->report(TlvOutcome::ScanFailed); });
    worker.join(); // returned while the main thread was busy here
    EXPECT_EQ(cntlr->appState(), AppStateScanning);
    ASSERT_TRUE(
        test::pumpUntil([&] { return cntlr->appState() == AppStateScanErr; }, std::chrono::seconds(10)));
}

// A failure a worker raises reaches the window on the main thread, after the event that is running.
TEST_F(Controller, FailuresOfWorkersReachTheViewOnTheMainThreadLater) {
    std::thread worker([this] { cntlr->showErrorPanel("Err_FileCreateFailed"); });
    worker.join();
    cntlr->showErrorPanel("Err_MemFullError");
    EXPECT_TRUE(view.errors.empty());
    ASSERT_TRUE(test::pumpUntil([&] { return view.errors.size() == 2; }, std::chrono::seconds(10)));
    EXPECT_EQ(view.errors[0], "Err_FileCreateFailed");
    EXPECT_EQ(view.errors[1], "Err_MemFullError");
}

// Job pages go to one writer thread, in arrival order, however busy the machine is.
TEST(JobPageQueue, TwentyPagesInOrderOnOneThreadUnderLoad) {
    std::atomic<bool> busy{true};
    std::vector<std::thread> load;
    for (int i = 0; i < 2; ++i) // two busy threads are load enough, and leave the machine's other tests alone
        load.emplace_back([&] {
            volatile unsigned x = 0;
            while (busy)
                x = x + 1;
        });
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::mt19937 random(7);
    std::atomic<int> idle{0};
    {
        tlv::TlvJobPageQueue queue(
            [&](const tlv::TlvBatchSnapshot&, const fnd::Dictionary&, int index) {
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 500));
                order.push_back(index);
                threads.push_back(std::this_thread::get_id());
            },
            [&] { ++idle; });
        for (int i = 0; i < 20; ++i) {
            queue.enqueue(std::make_shared<const tlv::TlvBatchSnapshot>(), {}, i);
            if (i % 3 == 0)
                std::this_thread::yield();
        }
        queue.drain();
        EXPECT_EQ(queue.pending(), 0);
        EXPECT_GE(idle.load(), 1); // told at least when the last page was written
    }
    busy = false;
    for (std::thread& t : load)
        t.join();
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_EQ(std::count(threads.begin(), threads.end(), threads.front()), 20);
}

// A return to the top while job pages are being written: the writer finishes with the list still
// there, then the list and the cancelled batch's files go; the main thread does not wait for it.
TEST_F(Controller, CancelWhilePagesAreWrittenReleasesAfterTheWriter) {
    UseSaveJob();
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateScanning);
    for (int i = 0; i < 20; ++i)
        cntlr->addImgInfo(test::GreyPage(i), i);
    cntlr->switchScanMode(kScanModeJOB, true);
    EXPECT_EQ(cntlr->appState(), AppStateMainTop);
    ASSERT_TRUE(test::pumpUntil([&] { return cntlr->readImgFileForJobScnCount() == 0; }));
    EXPECT_EQ(cntlr->countOfImgInfoDict(), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(home.dir() / "out"));
}

TEST_F(Controller, JobPagesAreWrittenIntoOneFileInOrder) {
    UseSaveJob();
    cntlr->scanReadyByTwainCB();
    cntlr->setAppState(AppStateScanning);
    for (int i = 0; i < 20; ++i)
        cntlr->addImgInfo(test::GreyPage(i), i);
    // Every page written (the writer may not have started when the batch ends) and the writer done.
    ASSERT_TRUE(test::pumpUntil(
        [&] { return cntlr->isFinScanAndWritedFile(true, -1) && cntlr->readImgFileForJobScnCount() == 0; }));
    const auto files = cntlr->writer().writtenFiles().cpyWriteFilePathArray();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].extension(), ".pdf");
}

} // namespace

TEST_F(Controller, APagesTurnIsStoredOnlyUnderItsKeyForAPageOfTheList) {
    cntlr->scanReadyByTwainCB();
    cntlr->setAppStateNum(AppStateScanning);
    TlvPageRecord page{test::GreyPage(0), {12, 16, 8, 12, std::vector<std::uint8_t>(12 * 16, 7)}, 0};
    cntlr->addImgInfo(std::move(page));
    ASSERT_EQ(cntlr->countOfImgInfoDict(), 1u);
    // The transfer's thumbnail stays with its page, for the preview.
    ASSERT_NE(cntlr->thumbnailAtIndex(0), nullptr);
    EXPECT_EQ(cntlr->thumbnailAtIndex(0)->width, 12);
    EXPECT_EQ(cntlr->thumbnailAtIndex(1), nullptr);

    const auto turns = [this] { return cntlr->imgInfoAtIndex(0)->get(ImgInfo_RotateKey).asInt32(); };
    EXPECT_TRUE(cntlr->replaceImgInfoByParam(0, ImgInfo_RotateKey, 3));
    EXPECT_EQ(turns(), 3);
    EXPECT_FALSE(cntlr->replaceImgInfoByParam(0, ImgInfo_WidthKey, 5));
    EXPECT_EQ(cntlr->imgInfoAtIndex(0)->get(ImgInfo_WidthKey).asInt32(), 120);
    EXPECT_FALSE(cntlr->replaceImgInfoByParam(1, ImgInfo_RotateKey, 1));
    // A count the writers would refuse never reaches the record.
    EXPECT_FALSE(cntlr->replaceImgInfoByParam(0, ImgInfo_RotateKey, 4));
    EXPECT_FALSE(cntlr->replaceImgInfoByParam(0, ImgInfo_RotateKey, -1));
    EXPECT_EQ(turns(), 3);
}

// A step still running when its workers go is waited for, with its last act, and never left to run
// on with what they owned.
TEST(ControllerWorkers, AStepStillRunningWhenTheWorkersGoIsJoined) {
    std::atomic<int> ended{0};
    std::atomic<bool> bodyDone{false};
    {
        TlvWorkers workers([&ended] { ++ended; });
        workers.start([&bodyDone] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            bodyDone = true;
        });
    }
    EXPECT_TRUE(bodyDone);
    EXPECT_EQ(ended, 1);
}
