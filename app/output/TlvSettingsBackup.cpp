// The backup file: "FileVerKey" and four archived dictionaries.
#include "TlvSettingsBackup.h"

#include "PropertyList.h"
#include "TlvUtilsMethod.h"

namespace tlv {

bool TlvSettingsBackup::backUp(const std::filesystem::path& path) const {
    fnd::Dictionary backup;
    TlvJobListStorage::saveFileVersionToFile(backup);
    const std::pair<const char*, std::optional<fnd::Data>> parts[] = {
        {kAppStngKey, TlvJobListStorage::appStngMdlDictData(mApp)},
        {kPrefsStngKey, TlvUtilsMethod::encodeDictToData(mPrefs.prefsSttingToDict())},
        {kFoaJobKey, mJobs.foaJLMdlDictData()},
        {kJobRowsKey, mJobs.jobJLMdlDictData()},
    };
    for (const auto& [key, data] : parts)
        if (data)
            backup.set(key, *data);
    return fnd::plist::writeFile(path, fnd::Value(std::move(backup)));
}

TlvSettingsBackup::Restore TlvSettingsBackup::restore(const std::filesystem::path& path) {
    const fnd::plist::FileContents file = fnd::plist::readFile(path);
    if (file.status != fnd::ReadStatus::Ok)
        return Restore::Unreadable;
    const fnd::Dictionary* backup = file.ok() ? file.value.asDictionary() : nullptr;
    if (!backup)
        return Restore::NotABackup;
    if (TlvJobListStorage::loadFileVersionFromFile(*backup) != TlvJobListStorage::currentFileVersion())
        return Restore::OtherVersion;
    const auto data = [backup](const char* key) { return backup->get(key).asData(); };

    // Every part is decoded and checked before anything changes.
    const std::optional<TlvAppSettingMdl> app =
        TlvJobListStorage::loadAppStngMdlFromData(data(kAppStngKey), mApp.scanModeType(), mDefaults);
    const fnd::Data* prefsData = data(kPrefsStngKey);
    const std::optional<fnd::Dictionary> prefs =
        prefsData ? TlvUtilsMethod::decodeDataToDict(*prefsData) : std::nullopt;
    TlvJobListStorage trial(mDefaults);
    if (!app || !prefs || !trial.loadFoaJLMdlFromData(data(kFoaJobKey)) ||
        !trial.loadJobJLMdlFromData(data(kJobRowsKey)))
        return Restore::Damaged;

    mApp = *app;
    mPrefs = TlvPrefsSettingMdl::initWithPrefsSttingDict(&*prefs, mDefaults);
    mJobs.loadFoaJLMdlFromData(data(kFoaJobKey));
    mJobs.loadJobJLMdlFromData(data(kJobRowsKey));
    mApp.saveAppSttingToFile(mDefaults);
    mPrefs.savePrefsSttingToFile(mDefaults);
    mJobs.saveJobListMdlToFile(); // synchronises
    mDefaults.synchronize();
    return Restore::Restored;
}

} // namespace tlv
