// The main controller's life, its settings and the quit.
#include "TlvMainCntlr.h"

#include "RunLoop.h"
#include "TlvCreatePDF.h"
#include "TlvDeviceCntlr.h"
#include "TlvJobs.h"
#include "TlvScanMessages.h"
#include "TlvScanViewCntlr.h"
#include "TlvUtilsMethod.h"
#include "VX_Func.h"
#include "VX_Message.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <utility>

TlvMainCntlr::TlvMainCntlr(fnd::UserDefaults& defaults)
    : mDefaults(defaults), mAppSettingObj(defaults), mPrefsSettingObj(defaults), mJobLists(defaults),
      mWriter(*this), mReader(*this, mWriter), mRenameMove(*this, mWriter, mReader), mPrint(*this, mReader),
      mWorkers([this] {
          QMetaObject::invokeMethod(
              &mNotifier, [this] { writersMayHaveEnded(); }, Qt::QueuedConnection);
      }),
      // The data source's windows go over the panel in front (scan settings, job editor), else the main
      // window.
      mQSWindows([this] {
          QWidget* modal = QApplication::activeModalWidget();
          return modal ? modal : tlvMainWindow();
      }),
      mJobPages([this](const tlv::TlvBatchSnapshot& batch, const fnd::Dictionary& record,
                       int index) { mReader.readImgFileForJobScn(batch, record, index); },
                // A release, a scan or a finish waiting for the batch's writer goes on.
                [this] {
                    QMetaObject::invokeMethod(
                        &mNotifier, [this] { writersMayHaveEnded(); }, Qt::QueuedConnection);
                }) {
    mJobLists.loadJobListMdlFromFile(mAppSettingObj.isBtn1AllocFOAScan());
    mBatch = snapshotOfSettings(curScanModeType(), TlvPlatformLookup::shared().localNow());
}

TlvMainCntlr::~TlvMainCntlr() {
    mBatchState.cancelOutput();
    drainWriters(kWorkerJoinBound);
}

void TlvMainCntlr::setScanCntlrs(TlvScanViewCntlr* scanView, TlvDeviceCntlr* device) {
    mScanView = scanView;
    mDevice = device;
}

bool TlvMainCntlr::isModalWindow() const {
    return (mView && mView->isModalWindow()) || (mJobs && mJobs->editor().isJobListPanelVisible());
}

void TlvMainCntlr::settingDidChangeSendPerform() {
    if (!mJobs || !mJobs->editor().isJobListPanelVisible())
        return;
    // After the control's own handling of the change.
    QTimer::singleShot(0, mJobs->editor().jobListEditPanel(), [jobs = mJobs] {
        if (jobs->editor().isJobListPanelVisible())
            jobs->editor().changeEnableAppliesBtn(true);
    });
}

bool TlvMainCntlr::isValidSwitchState() const {
    const tlv::AppState s = mAppState;
    const bool ready = !mScanView || (!mScanView->isRunningScanThread() && mScanView->isReadyScan());
    return ready && (tlv::inStates(s, tlv::AppStateMainTop, tlv::AppStateFuncConfirm) ||
                     (tlv::isFinishState(s) && tlv::isFinishFixState(s)));
}

bool TlvMainCntlr::isValidSyncDriver() const {
    const bool ready = !mScanView || (!mScanView->isRunningScanThread() && mScanView->isReadyScan());
    return ready && tlv::isStandbyScnState(mAppState);
}

bool TlvMainCntlr::isValidAppTerminate() const {
    const bool scanning = mScanView && mScanView->isRunningScanThread();
    return !scanning && !tlv::isExecuteScnFuncState(mAppState) && !isModalWindow();
}

bool TlvMainCntlr::isPagesWaiting() const {
    const bool scanning = mScanView && mScanView->isRunningScanThread();
    const tlv::AppState s = mAppState;
    return !scanning && (tlv::isFinishScnState(s) || tlv::isConfirmFuncState(s)) && !isModalWindow();
}

void TlvMainCntlr::terminateByAutoClose() {
    const bool armed = mBatchState.takeAutoClose();
    const bool quit = mAppState == tlv::AppStateFixDone && armed && !isModalWindow();
    if (quit && mView)
        mView->terminate();
}

// Every sheet the scanner took is the user's to look for in the file: it stops as its own Stop stops it,
// and the pages go in, the ones whose text comes too late without it. The output steps do not start
// while the program ends (its state no longer changes).
void TlvMainCntlr::cancelForForcedQuit(std::function<void()> leave, std::function<void()> giveUp) {
    if (std::exchange(mForcedQuit, true))
        return;
    mBatchState.dropAutoClose();
    tlv::boundPdfTextRecognition(kWorkerJoinBound);
    const bool scanning = mDevice && mDevice->isBatchRunning() && !mDevice->isOpenDSPanel();
    if (!scanning || !mBatch->writesWhileScanning()) {
        if (mScanView)
            mScanView->cancelDriver(true);
        leave();
        return;
    }
    mLeaveForQuit = std::move(leave);
    mDevice->setBatchClosedHandler([this] { leaveForQuit(); });
    mDevice->stopFeeder();
    QTimer::singleShot(kWorkerJoinBound, &mNotifier,
                       [this, giveUp = std::move(giveUp)] { giveUpScannerForQuit(giveUp); });
}

void TlvMainCntlr::leaveForQuit() {
    if (const std::function<void()> leave = std::exchange(mLeaveForQuit, nullptr))
        leave();
}

void TlvMainCntlr::giveUpScannerForQuit(const std::function<void()>& giveUp) {
    if (!std::exchange(mLeaveForQuit, nullptr))
        return;
    const int kept = mDevice->batchPages().kept;
    std::fprintf(stderr,
                 "tollivar: the scanner gave no more pages within %lld s of the quit: %d page%s kept; feed "
                 "again from %s\n",
                 static_cast<long long>(kWorkerJoinBound.count()), kept, kept == 1 ? "" : "s",
                 tlv::feedAgainWords(mDevice->batchPages()).c_str());
    mDevice->abandonForQuit();
    giveUp();
}

void TlvMainCntlr::applicationWillTerminate() {
    if (mJobs)
        mJobs->table().saveJobSelIndexAndIsExp();
    mJobLists.saveJobListMdlToFile();
    // The last wait for the writers: the files they write are whole before the process ends.
    if (drainWriters(kWorkerJoinBound))
        releaseImgInfoArray(false);
    TlvUtilsMethod::removeTmpFolder();
    mAppSettingObj.saveAppSttingToFile(mDefaults);
    mDefaults.synchronize();
}

bool TlvMainCntlr::drainWriters(std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    if (mDevice)
        mDevice->closeForQuit();
    mJobPages.drain();
    return mWorkers.joinUntil(until);
}

// ---- current job and settings ----

TlvJobListSettingMdl* TlvMainCntlr::selJobListMdl() const {
    const int row = mAppSettingObj.forDisplayJobIndex();
    return mJobLists.titledJobAt(row).get();
}

TlvJobListSettingMdl* TlvMainCntlr::jobOfMode(int mode) const {
    return mode == tlv::kScanModeFOA ? mJobLists.foaJobListMdl().get() : selJobListMdl();
}

int TlvMainCntlr::funcTypeOfMode(int mode) const {
    const TlvJobListSettingMdl* job = jobOfMode(mode);
    return job ? job->jList_FunctionType() : tlv::kFuncSave;
}

TlvScanSettingMdl* TlvMainCntlr::curScnMdlApp() {
    TlvJobListSettingMdl* job = jobOfMode(curScanModeType());
    return job ? job->jList_ScanSettingMdl().get() : nullptr;
}

TlvFuncSettingMdl* TlvMainCntlr::curFuncMdlApp() {
    TlvJobListSettingMdl* job = jobOfMode(curScanModeType());
    return job ? job->jList_FuncSettingMdl().get() : nullptr;
}

bool TlvMainCntlr::isCurValidContinueScan() const {
    return curScanModeType() == tlv::kScanModeFOA ? mAppSettingObj.isValidContinueScanFOA()
                                                  : mAppSettingObj.isValidContinueScanJOB();
}

std::shared_ptr<tlv::TlvBatchSnapshot> TlvMainCntlr::snapshotOfSettings(int mode,
                                                                        const TlvLocalTime& nameTime) const {
    auto batch = std::make_shared<tlv::TlvBatchSnapshot>();
    batch->scanMode = mode;
    batch->nameTime = nameTime;
    batch->confirmOutput = isCurConfirmOutput();
    batch->cancel = mBatchState.cancelSource();
    const TlvJobListSettingMdl* job = jobOfMode(mode);
    if (!job)
        return batch;
    batch->funcType = job->jList_FunctionType();
    if (const std::shared_ptr<TlvFuncSettingMdl>& model = job->jList_FuncSettingMdl()) {
        batch->settings = std::make_shared<const TlvFuncSettingMdl>(*model);
        batch->options = tlv::outputOptionsOf(*batch->settings, batch->funcType,
                                              VX_Func::defaultPictureFolder().string(), nameTime);
    }
    return batch;
}

void TlvMainCntlr::takeStepSnapshot() {
    mBatchState.renewCancel();
    const std::shared_ptr<tlv::TlvBatchSnapshot> step =
        snapshotOfSettings(mBatch->scanMode, mBatch->nameTime);
    step->confirmOutput = mBatch->confirmOutput;
    mBatch = step;
}

void TlvMainCntlr::setScnStngInFOAJLMdl(const TlvScanSettingMdl& model) {
    changeFoaJob([&model](TlvJobListSettingMdl& job) {
        job.setJList_ScanSettingMdl(std::make_shared<TlvScanSettingMdl>(model));
    });
}

void TlvMainCntlr::setFuncStngInFOAJLMdl(const TlvFuncSettingMdl& model) {
    changeFoaJob([&model](TlvJobListSettingMdl& job) {
        job.setJList_FuncSettingMdl(std::make_shared<TlvFuncSettingMdl>(model));
    });
}

void TlvMainCntlr::setFuncTypeInFOAJLMdl(int type) {
    changeFoaJob([type](TlvJobListSettingMdl& job) { job.setJList_FunctionType(type); });
}

std::optional<std::filesystem::path> TlvMainCntlr::saveFolder() const {
    const std::shared_ptr<const TlvFuncSettingMdl>& settings = mBatch->settings;
    if (!settings)
        return std::nullopt;
    const int entry = TlvFuncSettingMdl::fIndexByFType(mBatch->funcType);
    if (settings->isPictureFolderSave(entry))
        return VX_Func::defaultPictureFolder();
    const std::optional<std::string>& path = settings->fileSavePath(entry);
    return path ? std::optional<std::filesystem::path>(*path) : std::nullopt;
}

void TlvMainCntlr::setIsBtn1AllocFOAScan(bool on) {
    mAppSettingObj.setIsBtn1AllocFOAScan(on);
    changeFoaJob([on](TlvJobListSettingMdl& job) { job.setJList_ScanBtnStatus(on ? 1 : -1); });
    if (mJobs)
        mJobs->table().reloadData(); // the start-button badge shows whether button 1 runs its job
}

void TlvMainCntlr::setJobInfo_Foa() {
    if (mJobs)
        mJobs->info().setJobInfo_Foa();
}

void TlvMainCntlr::changeFoaJob(const std::function<void(TlvJobListSettingMdl&)>& change) {
    if (!mJobLists.foaJobListMdl())
        return;
    TlvJobListSettingMdl job = mJobLists.foaJobListMdl()->copyWithZone();
    change(job);
    mJobLists.applyFoaJob(job);
}

// ---- host services ----

void TlvMainCntlr::showErrorPanel(const std::string& key) {
    showErrorPanel(key, {});
}

void TlvMainCntlr::showErrorPanel(const std::string& key, const std::vector<std::string>& args) {
    // The window goes with the program: the message stays on standard error.
    if (mForcedQuit) {
        const QString text = VX_Message::messageText(key, args).simplified();
        std::fprintf(stderr, "tollivar: %s\n", text.toLocal8Bit().constData());
        return;
    }
    QStringList texts;
    for (const std::string& arg : args)
        texts.append(QString::fromStdString(arg));
    emit mNotifier.failureRaised(QString::fromStdString(key), texts);
}

QWidget* TlvMainCntlr::tlvMainWindow() {
    return mView ? mView->window() : nullptr;
}

void TlvMainCntlr::dispatchOneUserEvent(double seconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(seconds * 1000));
}

void TlvMainCntlr::displayOfPreview(const fnd::Dictionary&, int index) {
    if (!fnd::RunLoop::isMainThread()) {
        QMetaObject::invokeMethod(
            &mNotifier, [this, index] { displayOfPreview({}, index); }, Qt::QueuedConnection);
        return;
    }
    emit mNotifier.scanCountChanged(index + 1);
}

void TlvMainCntlr::cancelDriver(bool cancel) {
    if (!fnd::RunLoop::isMainThread()) {
        QMetaObject::invokeMethod(
            &mNotifier, [this, cancel] { cancelDriver(cancel); }, Qt::QueuedConnection);
        return;
    }
    if (mScanView)
        mScanView->cancelDriver(cancel);
}

void TlvMainCntlr::waitToFinishScan() {
    if (mDevice && !fnd::RunLoop::isMainThread())
        mDevice->waitToFinishScan();
}
