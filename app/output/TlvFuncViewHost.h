// What the output-function view needs of the application's main controller: the scan mode, state and
// current job, the written files' names, the windows to stand over, and the state changes it asks for.
// The controller implements it; tests stand in for it.
#pragma once

#include "TlvAppState.h"
#include "TlvPlatformLookup.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QWidget;
class TlvFuncSettingMdl;
class TlvJobListSettingMdl;
class TlvScanSettingMdl;

namespace tlv {

class TlvFuncViewHost {
public:
    virtual ~TlvFuncViewHost() = default;

    virtual int curScanModeType() const = 0;
    virtual AppState appState() const = 0;
    virtual bool isConfirmOutput() const = 0;
    virtual int curFuncTypeApp() const = 0;
    virtual const TlvScanSettingMdl* curScnMdlApp() const = 0;
    // The job-list editor's working job while the editor is open; null otherwise.
    virtual const TlvJobListSettingMdl* tmpJobListSettingMdl() const = 0;
    // The written files, in list order.
    virtual std::vector<std::filesystem::path> cpyWriteFilePathArray() const = 0;
    // The date and time the running batch's automatic names carry; none outside a batch, where a name
    // shown carries the clock's.
    virtual std::optional<TlvLocalTime> batchNameTime() const { return std::nullopt; }
    virtual QWidget* mainWindow() = 0;
    virtual QWidget* jobListEditorPanel() = 0;

    virtual void switchScanMode(int mode) = 0;
    virtual void completeFunction() = 0;
    // Taken only where the application's road allows it from the state of that moment.
    virtual void setAppState(AppState state) = 0;
    // The scan-first job takes these output settings.
    virtual void setFoaFuncSettingMdl(const TlvFuncSettingMdl& settings) = 0;
    virtual void showSelectFunction() = 0;
    virtual void changeKeyView() = 0;
    virtual void settingDidChangeSendPerform() = 0;
};

} // namespace tlv
