// The application's main controller: the application state and the automatic step of each state, the
// page list of the batch with the counters its writers share, the current mode, job and settings, the
// actions of the main window that start, cancel and send on a batch, and the automatic quit after a
// job that the helper started. It is the host of the scan session and of the output road. The state and
// the screens belong to the main thread; worker threads report what happened (queued, never waiting)
// and the controller decides the state that follows.
// The window follows it through its notifier's signals.
#pragma once

#include "TlvAppSettingMdl.h"
#include "TlvAppState.h"
#include "TlvCntlrNotifier.h"
#include "TlvExePrintThread.h"
#include "TlvExeRenameMoveThread.h"
#include "TlvExeWriteThread.h"
#include "TlvFunctionViewCntlr.h"
#include "TlvImgInfoList.h"
#include "TlvJobListStorage.h"
#include "TlvJobPageQueue.h"
#include "TlvJobsHost.h"
#include "TlvMainFuncViewHost.h"
#include "TlvMainView.h"
#include "TlvOutputHost.h"
#include "TlvPrefsSettingMdl.h"
#include "TlvPreviewHost.h"
#include "TlvQSWindows.h"
#include "TlvReadFilesThread.h"
#include "TlvScanHost.h"
#include "TlvSettingsBackup.h"
#include "TlvWorkers.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

class TlvDeviceCntlr;
class TlvScanViewCntlr;
namespace tlv {
class TlvJobs;
}

class TlvMainCntlr final : public tlv::TlvScanHost,
                           public tlv::TlvOutputHost,
                           public tlv::TlvPreviewHost,
                           public tlv::TlvJobsHost {
public:
    // Tags of the function choice.
    static constexpr int kTagFuncSave = 400;
    static constexpr int kTagFuncApplication = 403;
    static constexpr int kTagFuncBack = 404;
    static constexpr int kKeepFunction = 999;
    // Delay of the automatic quit after a finished job (s).
    static constexpr double kAutoCloseDelay = 5.0;
    // How long the quit path waits for the output steps' threads before it saves and leaves, and how long
    // a quit that cannot be refused lets the scanner give the pages of the sheets it took, and a job's
    // pages wait for their recognised text.
    static constexpr std::chrono::seconds kWorkerJoinBound{10};

    // Reads the settings and the job lists from defaults, which must outlive the controller.
    explicit TlvMainCntlr(fnd::UserDefaults& defaults = fnd::UserDefaults::standard());
    ~TlvMainCntlr() override;
    TlvMainCntlr(const TlvMainCntlr&) = delete;
    TlvMainCntlr& operator=(const TlvMainCntlr&) = delete;

    // The window and the scan session; each may be null (tests, no scanner library). They outlive
    // the controller or are detached with null before they go.
    void setMainView(tlv::TlvMainView* view) { mView = view; }
    void setScanCntlrs(TlvScanViewCntlr* scanView, TlvDeviceCntlr* device);
    // The job table, editor and panes of the window; null detaches them.
    void setJobs(tlv::TlvJobs* jobs) { mJobs = jobs; }
    tlv::TlvJobs* jobs() const { return mJobs; }

    // ---- state ----
    tlv::AppState appState() const override { return mAppState; }
    // Main thread: the rules and the entry step of the new state, without the road (setAppStateNum
    // checks it first).
    void setAppState(tlv::AppState state);
    // Main thread: a state that a report or a user's step leads to, taken only where the road allows it
    // from the state of that moment.
    void setAppStateNum(tlv::AppState state);
    // The road: may a report or a user's step move the application from one state to the other?
    static bool isOnRoad(tlv::AppState from, tlv::AppState to);
    // Any thread, never waiting: what a worker or the scan session saw, decided on the main thread
    // (queued there from another thread).
    void report(tlv::TlvOutcome outcome) override;
    // The state a report leads to from state in batch; none where it changes nothing. pagesWritten:
    // every page of the batch is in its file (asked only at the end of a scan).
    static std::optional<tlv::AppState> nextStateOf(tlv::TlvOutcome outcome, tlv::AppState state,
                                                    const tlv::TlvBatchKind& batch, bool pagesWritten);
    bool isMainTopState() const override { return tlv::isMainTopState(mAppState); }
    bool isExecuteScnState() const override { return tlv::isExecuteScnState(mAppState); }
    // From the start of a batch to the end of its output.
    bool isBatchRunning() const override { return tlv::isExecuteScnFuncState(mAppState); }
    bool isValidSwitchState() const;
    bool isValidSyncDriver() const;
    // No batch, no output and no panel: a quit may go through.
    bool isValidAppTerminate() const;
    // Scanning has ended and the batch's pages wait for the user, who may still leave by discarding them.
    bool isPagesWaiting() const;
    bool isModalWindow() const;

    // ---- the quit ----
    bool isAutoCloseApp() const { return mBatchState.isAutoClose(); }
    // Tests shorten the wait before the automatic quit (s).
    void setAutoCloseDelay(double seconds) { mAutoCloseDelay = seconds; }
    void setIsAutoCloseApp(bool on) { mBatchState.setAutoClose(on); }
    // The delayed automatic quit: only in 306 with the quit armed and no panel open; disarms it.
    void terminateByAutoClose();
    // A quit that cannot be refused (signal, end of session); the shut-down saves follow it. A job that
    // writes its pages while it scans stops the scanner after the sheet under way and calls leave (which
    // ends the main loop) once the batch has ended, every page the scanner took handed to its writer.
    // A scanner that has not ended it within kWorkerJoinBound is given up on: which sheet to feed again
    // goes to standard error and giveUp ends the program, the data source untouched. Any other batch,
    // whose pages no quit keeps, is stopped at once and leave called. Recognised text is waited for
    // within the same bound.
    void cancelForForcedQuit(std::function<void()> leave, std::function<void()> giveUp);
    // The shut-down saves: the helper's record, the job lists, the settings; the batch's temporary files.
    void applicationWillTerminate();

    // ---- current job and settings ----
    // What the settings say now (the window's choices); a running batch goes by its snapshot.
    int curScanModeType() const { return mAppSettingObj.scanModeType(); }
    int curFuncTypeApp() const { return funcTypeOfMode(curScanModeType()); }
    // The function of the mode's job: the scan-first job or the selected one.
    int funcTypeOfMode(int mode) const;
    TlvScanSettingMdl* curScnMdlApp() override;
    TlvFuncSettingMdl* curFuncMdlApp();
    bool isCurConfirmOutput() const { return mAppSettingObj.isConfirmOutput(); }
    bool isCurValidContinueScan() const;
    // Main thread: the batch that runs or ran last, copied from the settings when it started (its
    // function and settings again when its output step starts).
    tlv::TlvBatchKind batchKind() const override { return *mBatch; }
    const tlv::TlvBatchSnapshot& batchSnapshot() const { return *mBatch; }
    // Main thread: the batch's stops, the scan session's marks, the quit and the release.
    tlv::TlvBatchState& batchState() override { return mBatchState; }
    TlvAppSettingMdl& appSettingObj() override { return mAppSettingObj; }
    const TlvPrefsSettingMdl& prefsSettingObj() const { return mPrefsSettingObj; }
    TlvPrefsSettingMdl& prefsSettingObj() { return mPrefsSettingObj; }
    fnd::UserDefaults& userDefaults() { return mDefaults; }
    // The backup of the settings in force.
    tlv::TlvSettingsBackup settingsBackup() {
        return {mAppSettingObj, mPrefsSettingObj, mJobLists, mDefaults};
    }
    TlvJobListStorage& jobLists() override { return mJobLists; }
    // The job of the selected row; null when none is selected or the row is an unused slot.
    TlvJobListSettingMdl* selJobListMdl() const;

    // ---- page list and batch counters (any thread unless noted) ----
    void initImgInfoArray();
    // Main thread: once the batch's writers have ended (at once when none runs, else when the last one
    // reports its end) ends the list, the counters and the written-file list (deleting the files when
    // asked) and removes the temporary folder when asked. The main thread never waits for them here.
    void releaseImgInfoArray(bool deleteFiles, bool removeTmpFolder = false);
    std::size_t countOfImgInfoDict() const override { return mImgInfo.count(); }
    std::optional<fnd::Dictionary> imgInfoAtIndex(std::size_t index) const override {
        return mImgInfo.at(index);
    }
    std::shared_ptr<const tlv::TlvThumbnail> thumbnailAtIndex(std::size_t index) const override {
        return mImgInfo.thumbnailAt(index);
    }
    bool replaceImgInfoByParam(std::size_t index, std::string_view key, int value) override;
    void addImgInfo(tlv::TlvPageRecord page) override;
    void addImgInfo(const fnd::Dictionary& record, int index,
                    std::shared_ptr<const tlv::TlvThumbnail> thumbnail = {});
    bool isFinScanAndWritedFile(bool scanEnded, int index) override;
    void clearIsFinScan() override;
    void upReadImgFileForJobScnCount() override { ++mReadImgFileForJobScnCount; }
    void downReadImgFileForJobScnCount() override { --mReadImgFileForJobScnCount; }
    int readImgFileForJobScnCount() const override;
    void setSizeOverIndex(int index) override { mSizeOverIndex = index; }
    int sizeOverIndex() const { return mSizeOverIndex; }
    void removeImgInfoByIndexOver(bool cancelled) override;
    bool isCheckedMailSize() const override;
    void resetWritedFileSize() override;
    // Any thread: bytes a writer added to a mail batch, counted against the limit in force when the
    // batch (or its output step) started.
    void setWritedFileSizeForPfm(int index, std::uint64_t bytes) override;

    // ---- cancel ----
    // Any thread: the cancel's return to the top happens on the main thread, once per scan.
    void switchScanModeForCancelOnMain() override;
    void cancelDriver(bool cancel) override;
    void waitToFinishScan() override;

    // ---- actions ----
    // Back to the top of mode (0/1), or of the current mode when mode is negative; force gives up a
    // running batch without a question (a question the user refuses leaves everything as it was).
    void switchScanMode(int mode, bool force);
    void switchScanMode(bool force) override { switchScanMode(-1, force); }
    // The user's scan: never followed by the automatic quit.
    void executeScan() override;
    // The scan of a helper's press that launched the application: the automatic quit is armed once
    // the batch is ready (which may happen before this returns) and dropped when it fails first.
    void executeScanForPress();
    bool scanReadyByTwainCB() override;
    void showSelectFunction() override;
    // The function choice: kTagFuncSave .. kTagFuncApplication choose the function of the scan-first
    // job, kTagFuncBack returns to the top, kKeepFunction keeps the current one; then the output-function
    // view is shown for checking (state 202).
    void fixFunction(int tag);
    void fixFunction() override { fixFunction(kKeepFunction); }
    // OK without a sender on the output-function view: on to the output states.
    void executeFunction() override;
    // The output-function view, made on first use (it needs the Qt application).
    tlv::TlvFunctionViewCntlr& functionViewCntlr();
    void setFuncTypeInFOAJLMdl(int type);
    // Where the last batch's files went: the picture folder or the function's save folder; none
    // without the function's settings.
    std::optional<std::filesystem::path> saveFolder() const;
    // The scanner's button 1 starts the scan-first job (its button status 1) or nothing (-1).
    void setIsBtn1AllocFOAScan(bool on);
    void setFuncStngInFOAJLMdl(const TlvFuncSettingMdl& model);
    bool checkClosePDF() override;
    void changeKeyView() override {}
    bool isCheckValidSyncDriver() override;
    bool isCheckValidSelectedJob();
    // False, with the reason shown, when the batch's first page could not be kept.
    bool isCheckValidOutput();

    // ---- host services ----
    void showErrorPanel(const std::string& key) override;
    void showErrorPanel(const std::string& key, const std::vector<std::string>& args) override;
    bool isQuitAppByUnmount() const override { return false; }
    bool isOpenQSWin() const override { return mQSWindows.isOpenQSWin(); }
    // An edit in the settings views that the job-list editor shows: its Apply button comes on.
    void settingDidChangeSendPerform() override;
    void setScnStngInFOAJLMdl(const TlvScanSettingMdl& model) override;
    void setJobInfo_Foa() override;
    QWidget* tlvMainWindow() override;
    void dispatchOneUserEvent(double seconds) override;
    void displayOfPreview(const fnd::Dictionary& record, int index) override;

    tlv::TlvExeWriteThread& writer() { return mWriter; }
    // The state, the page counter and the failures, as signals.
    tlv::TlvCntlrNotifier& notifier() { return mNotifier; }

private:
    std::uint64_t rawPageBytesEstimate();
    void shiftNextDisposeByAppState();
    // The job of a mode: the scan-first job or the selected one.
    TlvJobListSettingMdl* jobOfMode(int mode) const;
    // The settings as they are now, for a batch of mode.
    std::shared_ptr<tlv::TlvBatchSnapshot> snapshotOfSettings(int mode, const TlvLocalTime& nameTime) const;
    // The output step starts: the function and its settings as chosen now, the batch's mode and confirm
    // choice kept.
    void takeStepSnapshot();
    // Main thread: the names the check screen confirmed for the written files; the written names
    // where it did not list this batch's files.
    std::vector<std::string> confirmedFileNames();
    // Main thread, once the pages of a mail batch are written: above the limit the user decides, once
    // per batch, whether they are attached anyway.
    bool isMailSizeAccepted();
    void takeMailLimit();
    bool askCancel(bool fromModeButton) const;
    void clearBatchCounters();
    // The quit only, once the main loop has ended: closes the scan session, so that no writer waits for
    // the batch's end any more, has the job page writer write every page it was given (their text waits
    // are bounded, see cancelForForcedQuit) and waits at most bound for the output steps; true when they
    // have all ended.
    bool drainWriters(std::chrono::milliseconds bound);
    // The quit's wait for the scanner is over: the batch has ended, or it is given up on.
    void leaveForQuit();
    void giveUpScannerForQuit(const std::function<void()>& giveUp);
    bool isWritersRunning() const;
    void finishRelease();
    // Main thread, queued from a writer's end: a release or a scan waiting for the writers goes on.
    void writersMayHaveEnded();
    void armPendingAutoClose(tlv::AppState state);
    // The scan-first job with one change.
    void changeFoaJob(const std::function<void(TlvJobListSettingMdl&)>& change);

    fnd::UserDefaults& mDefaults;
    tlv::TlvCntlrNotifier mNotifier;
    tlv::TlvMainView* mView = nullptr;
    TlvScanViewCntlr* mScanView = nullptr;
    TlvDeviceCntlr* mDevice = nullptr;

    std::atomic<tlv::AppState> mAppState{tlv::AppStateMainTop};
    // Main thread; the workers get their own reference to the snapshot they were started with.
    std::shared_ptr<const tlv::TlvBatchSnapshot> mBatch;
    TlvAppSettingMdl mAppSettingObj;
    TlvPrefsSettingMdl mPrefsSettingObj;
    TlvJobListStorage mJobLists;

    // Main thread; the workers get the cancel of their step with the snapshot.
    tlv::TlvBatchState mBatchState;
    // Main thread: a forced quit runs; from then on the state stays as it is and failures go to standard
    // error. leave is kept while the quit waits for the scanner.
    bool mForcedQuit = false;
    std::function<void()> mLeaveForQuit;
    tlv::TlvImgInfoList mImgInfo;
    double mAutoCloseDelay = kAutoCloseDelay;
    // The mail size the writers count (any thread, under its lock).
    mutable std::mutex mMailSizeLck;
    std::uint64_t mWritedFileSize = 0;
    std::uint64_t mMailLimitBytes = 0; // 0: no question
    bool mIsCheckedMailSize = false;   // the batch went over the limit
    std::atomic<int> mSizeOverIndex{-2};
    std::atomic<int> mReadImgFileForJobScnCount{0};
    std::mutex mFinScanAndWritedFileLck; // taken before the page list's lock
    bool mIsFinScanLastIndex = false;
    int mCountWritedFile = 0;

    tlv::TlvExeWriteThread mWriter;
    tlv::TlvReadFilesThread mReader;
    tlv::TlvExeRenameMoveThread mRenameMove;
    tlv::TlvExePrintThread mPrint;
    tlv::TlvWorkers mWorkers;
    tlv::TlvMainFuncViewHost mFuncViewHost{*this};
    std::unique_ptr<tlv::TlvFunctionViewCntlr> mFuncView;
    TlvQSWindows mQSWindows;
    tlv::TlvJobs* mJobs = nullptr;
    // Declared last: its thread writes through the members above and is drained first.
    tlv::TlvJobPageQueue mJobPages;
};
