// Each step goes to the main controller. While a batch runs, its mode and confirm choice are the
// batch's own, whatever the settings say meanwhile.
#include "TlvMainFuncViewHost.h"

#include "TlvJobs.h"
#include "TlvMainCntlr.h"

namespace tlv {

int TlvMainFuncViewHost::curScanModeType() const {
    return mCntlr.isBatchRunning() ? mCntlr.batchKind().scanMode : mCntlr.curScanModeType();
}

AppState TlvMainFuncViewHost::appState() const {
    return mCntlr.appState();
}

bool TlvMainFuncViewHost::isConfirmOutput() const {
    return mCntlr.isBatchRunning() ? mCntlr.batchKind().confirmOutput : mCntlr.isCurConfirmOutput();
}

int TlvMainFuncViewHost::curFuncTypeApp() const {
    return mCntlr.funcTypeOfMode(curScanModeType());
}

std::optional<TlvLocalTime> TlvMainFuncViewHost::batchNameTime() const {
    return mCntlr.isBatchRunning() ? std::optional(mCntlr.batchSnapshot().nameTime) : std::nullopt;
}

const TlvScanSettingMdl* TlvMainFuncViewHost::curScnMdlApp() const {
    return mCntlr.curScnMdlApp();
}

std::vector<std::filesystem::path> TlvMainFuncViewHost::cpyWriteFilePathArray() const {
    return mCntlr.writer().writtenFiles().cpyWriteFilePathArray();
}

const TlvJobListSettingMdl* TlvMainFuncViewHost::tmpJobListSettingMdl() const {
    return mCntlr.jobs() ? mCntlr.jobs()->editor().tmpJobListSettingMdl() : nullptr;
}

QWidget* TlvMainFuncViewHost::jobListEditorPanel() {
    return mCntlr.jobs() ? mCntlr.jobs()->editor().jobListEditPanel() : nullptr;
}

void TlvMainFuncViewHost::settingDidChangeSendPerform() {
    mCntlr.settingDidChangeSendPerform();
}

QWidget* TlvMainFuncViewHost::mainWindow() {
    return mCntlr.tlvMainWindow();
}

void TlvMainFuncViewHost::switchScanMode(int mode) {
    mCntlr.switchScanMode(mode, false);
}

void TlvMainFuncViewHost::setAppState(AppState state) {
    mCntlr.setAppStateNum(state);
}

void TlvMainFuncViewHost::setFoaFuncSettingMdl(const TlvFuncSettingMdl& settings) {
    mCntlr.setFuncStngInFOAJLMdl(settings);
}

void TlvMainFuncViewHost::showSelectFunction() {
    mCntlr.showSelectFunction();
}

} // namespace tlv
