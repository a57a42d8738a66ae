// The receiving side of the helper's events and the settings record it reads.
#include "TlvAppleEventLink.h"

#include "Alias.h"
#include "Bundle.h"
#include "EventNames.h"
#include "Launcher.h"
#include "ProgramWatcher.h"
#include "PropertyList.h"
#include "TlvMainCntlr.h"
#include "TlvUtilsMethod.h"
#include "VX_Message.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tlv {

namespace {

// The helper's name on the bus when its own data does not say.
constexpr char kTaskAppFallbackId[] = "com.orvikElectronics.tapwell";

// Stands for "none" where the record's reader expects a string.
fnd::Value stringOrZero(const std::optional<std::string>& text) {
    return text ? fnd::Value(*text) : fnd::Value(std::int32_t{0});
}

// Any thread-safe deferral of a step out of the bus dispatch: runs on the main loop after it returns.
template <typename Fn> void later(Fn fn) {
    QTimer::singleShot(0, std::move(fn));
}

} // namespace

TlvAppleEventLink::TlvAppleEventLink(TlvMainCntlr& cntlr, TlvMainView* view, fnd::UserDefaults& defaults)
    : mCntlr(cntlr), mView(view), mDefaults(defaults) {}

void TlvAppleEventLink::setAppleEvent(ae::EventReceiver& receiver) {
    using P = ae::Parameters;
    receiver.setHandler(ae::kClassQS, ae::kConnect,
                        [this](const ae::Event& e, P&) { handleConnectInfo(e.parameters); });
    receiver.setHandler(ae::kClassQS, ae::kAppData,
                        [this](const ae::Event&, P& reply) { handleAppDataCheck(reply); });
    receiver.setHandler(ae::kClassQS, ae::kOutputCheck,
                        [this](const ae::Event& e, P&) { handleOutputCheck(e.parameters); });
    receiver.setHandler(ae::kClassQS, ae::kActivateWindow,
                        [this](const ae::Event& e, P&) { handleAppActiveWindow(e.parameters); });
    receiver.setHandler(ae::kClassQS, ae::kVersionPanel,
                        [this](const ae::Event& e, P&) { handleVersionPanel(e.parameters); });
    receiver.setHandler(ae::kClassQS, ae::kScan,
                        [this](const ae::Event& e, P&) { handleScan(e.parameters); });
    receiver.setHandler(ae::kClassCore, ae::kQuit, [this](const ae::Event&, P&) { handleQuit(); });
}

bool TlvAppleEventLink::launchTaskApp() {
    const fnd::Bundle& bundle = fnd::Bundle::main();
    const std::string* name = bundle.infoValue("VXTaskAppName").asString();
    const std::optional<std::filesystem::path> helper =
        name && !bundle.resourceFolder().empty()
            ? ws::resolveAlias(bundle.resourceFolder() / std::filesystem::path(*name).stem())
            : std::nullopt;
    std::error_code ec;
    if (!helper || !std::filesystem::is_regular_file(*helper, ec)) {
        std::fprintf(
            stderr, "tollivar: the system tray helper (tapwell) is not installed; running without it, so the "
                    "scanner's button starts no job\n");
        return false;
    }
    std::string id = fnd::Bundle(*helper).identifier();
    if (id.empty())
        id = kTaskAppFallbackId;
    if (ae::isRunning(QString::fromStdString(id)) || TlvUtilsMethod::isLaunchedApp(*helper))
        return true;
    return ws::launchApplication(id + ".desktop", *helper);
}

// ---- the record ----

fnd::Array TlvAppleEventLink::pipeJobMdlArrayForLogin() const {
    TlvJobListStorage& lists = mCntlr.jobLists();
    std::vector<const TlvJobListSettingMdl*> jobs;
    for (const TlvJobListStorage::Row& row : lists.jobListMdlArray())
        jobs.push_back(row.get());
    std::stable_sort(jobs.begin(), jobs.end(), [](const auto* a, const auto* b) {
        return (a ? a->jList_Num() : 10000) < (b ? b->jList_Num() : 10000);
    });
    jobs.insert(jobs.begin(), lists.foaJobListMdl().get());
    const bool btn1Foa = mCntlr.appSettingObj().isBtn1AllocFOAScan();
    fnd::Array entries;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const TlvJobListSettingMdl* job = jobs[i];
        if (!job || (i != 0 && job->jList_Title().value_or(std::string()).empty()))
            continue;
        int button = job->jList_ScanBtnStatus();
        if (i == 0)
            button = btn1Foa ? 1 : -1;
        else if (btn1Foa && button == 1)
            button = -1;
        std::optional<std::string> icon;
        const TlvFuncSettingMdl* func = job->jList_FuncSettingMdl().get();
        if (job->jList_FunctionType() == kFuncMail) {
            icon = mailAppPath();
        } else if (job->jList_FunctionType() == kFuncApplication && func) {
            icon = func->applicationName();
        }
        fnd::Dictionary entry;
        entry.set("QSMenu_BtnState", std::int32_t{button});
        entry.set("QSMenu_FuncType", std::int32_t{job->jList_FunctionType()});
        entry.set("QSMenu_FuncIcnsPath", stringOrZero(icon));
        entry.set("QSMenu_TitleStr", stringOrZero(job->jList_Title()));
        entry.set("QSMenu_Num", std::int32_t{job->jList_Num()});
        entries.emplace_back(std::move(entry));
    }
    return entries;
}

std::optional<std::string> TlvAppleEventLink::mailAppPath() const {
    const auto now = std::chrono::steady_clock::now();
    if (!mMailApp || now - mMailApp->first >= kMailAppRecheck) {
        const std::optional<std::filesystem::path> mail = TlvUtilsMethod::defaultMailAppPath();
        mMailApp.emplace(now, mail ? std::optional(mail->string()) : std::nullopt);
    }
    return mMailApp->second;
}

std::optional<fnd::Dictionary> TlvAppleEventLink::pipeAppSettingForLogin() const {
    if (!mCntlr.jobLists().foaJobListMdl())
        return std::nullopt;
    fnd::Dictionary record;
    record.set("QS_IsModal", mCntlr.isModalWindow());
    record.set("QS_AppState", tlv::appStateNumber(mCntlr.appState()));
    record.set("QS_ConfirmOutput", mCntlr.isCurConfirmOutput());
    record.set("QS_StartAppPlugInScn", mCntlr.prefsSettingObj().isStartingAppPlugInScn());
    record.set("QS_ShowIcnLogInPC", mCntlr.prefsSettingObj().isShowIcnLogInPC());
    record.set("QS_JobMdlArray", pipeJobMdlArrayForLogin());
    return record;
}

bool TlvAppleEventLink::saveAppSettingForLogin() {
    const std::optional<fnd::Dictionary> record = pipeAppSettingForLogin();
    if (!record)
        return false;
    std::optional<std::vector<std::uint8_t>> bytes = fnd::plist::toBinary(fnd::Value(*record));
    if (!bytes)
        return false;
    mDefaults.set(kAppSettingKey, fnd::Data(std::move(*bytes)));
    return mDefaults.synchronize();
}

// ---- starting jobs ----

bool TlvAppleEventLink::isValidScanByDviceBtn() const {
    const tlv::AppState s = mCntlr.appState();
    return !mCntlr.isModalWindow() &&
           (tlv::isMainTopState(s) || tlv::isFinishScnState(s) || tlv::isFinishFixState(s));
}

void TlvAppleEventLink::exeFoaScanByLogin() {
    if (tlv::isIdleForScanState(mCntlr.appState()))
        mCntlr.switchScanMode(kScanModeFOA, false);
    mCntlr.executeScan();
}

void TlvAppleEventLink::exeJobScanByLogin(int row, bool forPress) {
    if (row < 0 || row > 9 || !mCntlr.jobLists().jobListMdlAtIndex(row))
        return;
    if (tlv::isIdleForScanState(mCntlr.appState())) {
        mCntlr.appSettingObj().setForDisplayJobIndex(row);
        mCntlr.switchScanMode(kScanModeJOB, false);
    }
    // The mode switch passed through the top state, which drops any quit; the press arms it anew.
    if (forPress)
        mCntlr.executeScanForPress();
    else
        mCntlr.executeScan();
}

int TlvAppleEventLink::rowWhere(const std::function<bool(const TlvJobListSettingMdl&)>& match) const {
    const auto& rows = mCntlr.jobLists().jobListMdlArray();
    for (std::size_t row = 0; row < rows.size() && row < 10; ++row) {
        if (rows[row] && match(*rows[row]))
            return static_cast<int>(row);
    }
    return -1;
}

// ---- handlers ----

// Events of a busy time are ignored: a press that arrives during a batch, and one the scanner kept
// while a batch of ours held it (the helper reads it with the first poll that finds the scanner free
// again), which would run the job again on an empty feeder. A scanner held by anything else (our own
// start-up, another program) keeps no press of a batch, so the press after it counts.
void TlvAppleEventLink::handleConnectInfo(const ae::Parameters& event) {
    const std::int32_t poll = event.int32(ae::kParam);
    const std::int32_t status = event.int32(ae::kParamStatus);
    const bool launchedForPress = event.int32(ae::kParamLaunched) == 0;
    const bool busy = !isValidScanByDviceBtn();
    const bool keptDuringOurBatch = std::exchange(mHeldByOurBatch, poll == kPollScannerHeld && busy);
    if (mView)
        mView->updateScnBtn(poll == 0);
    if (status < 1 || poll != 0 || keptDuringOurBatch || busy)
        return;
    later([this, status, launchedForPress] { startPressedJob(status, launchedForPress); });
}

void TlvAppleEventLink::startPressedJob(int status, bool launchedForPress) {
    if (!isValidScanByDviceBtn())
        return;
    if (status == 1 && mCntlr.appSettingObj().isBtn1AllocFOAScan()) {
        exeFoaScanByLogin();
        return;
    }
    const int row =
        rowWhere([status](const TlvJobListSettingMdl& job) { return job.jList_ScanBtnStatus() == status; });
    if (row < 0) {
        VX_Message::performShowPanel(
            VX_Message::paramShowPanel("Error", "Err_NotAllocJob", "OK", nullptr, true));
        return;
    }
    exeJobScanByLogin(row, launchedForPress);
}

void TlvAppleEventLink::handleAppDataCheck(ae::Parameters& reply) {
    // 0 tells the helper that the record it would read is not current.
    reply.setInt32(ae::kReturn, saveAppSettingForLogin() ? 1 : 0);
}

void TlvAppleEventLink::handleOutputCheck(const ae::Parameters& event) {
    const bool on = event.int32(ae::kParam) != 0;
    mCntlr.appSettingObj().setIsConfirmOutput(on);
    if (mView)
        mView->setConfirmOutputBox(on);
}

void TlvAppleEventLink::handleAppActiveWindow(const ae::Parameters& event) {
    if (event.int32(ae::kParam) >= 1 && mView)
        later([this] { mView->activateMainWindow(); });
}

void TlvAppleEventLink::handleVersionPanel(const ae::Parameters& event) {
    if (event.int32(ae::kParam) >= 1 && mView)
        later([this] { mView->showAbout(); });
}

void TlvAppleEventLink::handleScan(const ae::Parameters& event) {
    const std::int32_t number = event.int32(ae::kParam);
    later([this, number] {
        // Refused while a batch or an output runs, and while a panel edits the jobs.
        if (!tlv::isIdleForScanState(mCntlr.appState()) || mCntlr.isModalWindow())
            return;
        if (number < 0) {
            exeFoaScanByLogin();
            return;
        }
        const int row =
            rowWhere([number](const TlvJobListSettingMdl& job) { return job.jList_Num() == number; });
        if (row >= 0)
            exeJobScanByLogin(row);
    });
}

void TlvAppleEventLink::handleQuit() {
    if (mView)
        later([this] { mView->terminate(); });
}

} // namespace tlv
