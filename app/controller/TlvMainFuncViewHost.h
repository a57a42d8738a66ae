// The main controller as the output-function view sees it: the current mode, state and job, the
// written files of the batch, the main window, and the steps the view's OK and cancel ask for.
#pragma once

#include "TlvFuncViewHost.h"

class TlvMainCntlr;

namespace tlv {

class TlvMainFuncViewHost final : public TlvFuncViewHost {
public:
    explicit TlvMainFuncViewHost(TlvMainCntlr& cntlr) : mCntlr(cntlr) {}

    int curScanModeType() const override;
    AppState appState() const override;
    bool isConfirmOutput() const override;
    int curFuncTypeApp() const override;
    const TlvScanSettingMdl* curScnMdlApp() const override;
    const TlvJobListSettingMdl* tmpJobListSettingMdl() const override;
    std::vector<std::filesystem::path> cpyWriteFilePathArray() const override;
    std::optional<TlvLocalTime> batchNameTime() const override;
    QWidget* mainWindow() override;
    QWidget* jobListEditorPanel() override;

    void switchScanMode(int mode) override;
    // The window has no finish screen of its own yet: it hides the view by the state that follows.
    void completeFunction() override {}
    void setAppState(AppState state) override;
    void setFoaFuncSettingMdl(const TlvFuncSettingMdl& settings) override;
    void showSelectFunction() override;
    void changeKeyView() override {}
    void settingDidChangeSendPerform() override;

private:
    TlvMainCntlr& mCntlr;
};

} // namespace tlv
