// tollivar's stored settings as its program tests use them: before it starts, a job that saves one PDF
// per batch into a folder and button 1 given to that job (in the preferences of $XDG_CONFIG_HOME, as
// the program writes them); while it runs, the application state it reports in the helper's record.
#pragma once

#include "TapwellAppleEvent.h"
#include "TlvAppleEventLink.h"
#include "TlvJobListStorage.h"
#include "TlvOutputOptions.h"

#include "PropertyList.h"
#include "UserDefaults.h"

#include <cstdlib>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace test {

inline constexpr char kTollivarId[] = "com.orvikElectronics.tollivar";

// The first job saves one PDF per batch into folder, without a text layer, its output settings then
// changed by adjust; the sheets' sides as the scan settings choose them (0 one side, 1 both, 2 both with
// blank pages dropped). Its number (1 to 10), 0 when the list could not be written.
inline int storeSavePdfJob(const std::filesystem::path& folder,
                           const std::function<void(TlvFuncSettingMdl&)>& adjust = {}, int sides = 0) {
    fnd::UserDefaults defaults(kTollivarId);
    TlvJobListStorage lists(defaults);
    lists.loadJobListMdlFromFile(false);
    TlvJobListSettingMdl job = lists.jobListMdlAtIndex(0)->copyWithZone();
    job.setJList_FunctionType(tlv::kFuncSave);
    auto func = std::make_shared<TlvFuncSettingMdl>(*job.jList_FuncSettingMdl());
    func->setFileFormatType(tlv::kFormatPDF, 0);
    func->setIsAddOCR(false, 0);
    func->setIsPictureFolderSave(false, 0);
    func->setFileSavePath(folder.string(), 0);
    if (adjust)
        adjust(*func);
    job.setJList_FuncSettingMdl(func);
    auto scan = std::make_shared<TlvScanSettingMdl>(*job.jList_ScanSettingMdl());
    scan->setScnStReaderSideType(sides);
    job.setJList_ScanSettingMdl(scan);
    if (!lists.applyJob(0, job) || !lists.saveJobListMdlToFile())
        return 0;
    return job.jList_Num();
}

// Button 1 runs the job that holds it instead of a scan-first batch.
inline bool useButtonOneForItsJob() {
    fnd::UserDefaults defaults(kTollivarId);
    TlvAppSettingMdl settings(defaults);
    settings.setIsBtn1AllocFOAScan(false);
    settings.saveAppSttingToFile(defaults);
    return defaults.synchronize();
}

// The record a running tollivar writes for the helper when asked by its Data event; none without an
// answer.
inline std::optional<fnd::Dictionary> reportedAppSetting(const TapwellAppleEvent& helper) {
    if (helper.transAppDataCheck().value_or(0) != 1)
        return std::nullopt;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const auto file = fnd::plist::readFile(std::filesystem::path(config ? config : ".") /
                                           (std::string(kTollivarId) + ".plist"));
    const fnd::Dictionary* prefs = file.value.asDictionary();
    const fnd::Data* data = prefs ? prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData() : nullptr;
    const auto record = data ? fnd::plist::parse(*data) : std::nullopt;
    const auto* dict = record ? record->asDictionary() : nullptr;
    return dict ? std::optional(*dict) : std::nullopt;
}

// The application state in that record; -1 without an answer.
inline int reportedAppState(const TapwellAppleEvent& helper) {
    const std::optional<fnd::Dictionary> record = reportedAppSetting(helper);
    return record ? record->get("QS_AppState").asInt32().value_or(-1) : -1;
}

} // namespace test
