// Every job entry must carry its own valid job number: an entry without one is dropped rather than
// given its neighbour's, so a menu row can never start a job it does not show.
#include "AppSettingRecord.h"

#include "PropertyList.h"
#include "Value.h"

namespace tapwell {

namespace {

constexpr std::size_t kMaxTitleBytes = 1024;
constexpr std::size_t kMaxPathBytes = 4096;

// Booleans are stored as numbers; any whole number counts, non-zero as true.
std::optional<bool> boolOf(const fnd::Value& value) {
    const fnd::Number* number = value.asNumber();
    if (!number || (!number->isBool() && !number->toInt64()))
        return std::nullopt;
    return number->toBool();
}

std::string stringOf(const fnd::Value& value, std::size_t limit) {
    const std::string* text = value.asString();
    return text && text->size() <= limit ? *text : std::string();
}

bool validJobNumber(std::int32_t num) {
    return num == -1 || (num >= 1 && num <= 10);
}

std::optional<JobMenuEntry> jobEntry(const fnd::Value& value) {
    const fnd::Dictionary* entry = value.asDictionary();
    if (!entry)
        return std::nullopt;
    const std::optional<std::int32_t> num = entry->get("QSMenu_Num").asInt32();
    if (!num || !validJobNumber(*num))
        return std::nullopt;
    JobMenuEntry job;
    job.num = *num;
    job.btnState = entry->get("QSMenu_BtnState").asInt32().value_or(-1);
    job.funcType = entry->get("QSMenu_FuncType").asInt32().value_or(-1);
    job.iconPath = stringOf(entry->get("QSMenu_FuncIcnsPath"), kMaxPathBytes);
    job.title = stringOf(entry->get("QSMenu_TitleStr"), kMaxTitleBytes);
    return job;
}

std::optional<std::vector<JobMenuEntry>> jobEntries(const fnd::Value& value) {
    const fnd::Array* array = value.asArray();
    if (!array)
        return std::nullopt;
    std::vector<JobMenuEntry> jobs;
    for (const fnd::Value& item : *array) {
        if (jobs.size() == kMaxJobEntries)
            break;
        if (std::optional<JobMenuEntry> job = jobEntry(item))
            jobs.push_back(std::move(*job));
    }
    return jobs;
}

} // namespace

std::optional<AppSetting> decodeAppSetting(std::span<const std::uint8_t> bytes) {
    const std::optional<fnd::Value> value = fnd::plist::parse(bytes);
    const fnd::Dictionary* record = value ? value->asDictionary() : nullptr;
    if (!record)
        return std::nullopt;
    AppSetting setting;
    setting.isModal = boolOf(record->get("QS_IsModal"));
    setting.appState = record->get("QS_AppState").asInt32();
    setting.confirmOutput = boolOf(record->get("QS_ConfirmOutput"));
    setting.startAppPlugInScn = boolOf(record->get("QS_StartAppPlugInScn"));
    setting.showIcnLogInPC = boolOf(record->get("QS_ShowIcnLogInPC"));
    setting.jobs = jobEntries(record->get("QS_JobMdlArray"));
    return setting;
}

std::optional<AppSetting> readAppSetting(const std::filesystem::path& preferences) {
    const fnd::plist::FileContents file = fnd::plist::readFile(preferences);
    const fnd::Dictionary* values = file.ok() ? file.value.asDictionary() : nullptr;
    const fnd::Data* record = values ? values->get("QS_AppSetting").asData() : nullptr;
    if (!record)
        return std::nullopt;
    return decodeAppSetting(*record);
}

bool readButtonOneScansFirst(const std::filesystem::path& preferences) {
    const fnd::plist::FileContents file = fnd::plist::readFile(preferences);
    const fnd::Dictionary* values = file.ok() ? file.value.asDictionary() : nullptr;
    if (!values)
        return true;
    return boolOf(values->get("AppBtn1AllocFOAScanKey")).value_or(true);
}

} // namespace tapwell
