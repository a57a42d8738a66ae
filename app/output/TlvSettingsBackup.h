// The settings backup: every setting of the application (application settings, preferences, the
// scan-first job and the ten job rows) in one property-list file, and the restore from it. A restore
// decodes and checks every part first and applies all of them or none, then writes them to the user
// defaults at once; a backup is written to a temporary file and renamed, so a failed write leaves no
// half-written file.
#pragma once

#include "TlvAppSettingMdl.h"
#include "TlvJobListStorage.h"
#include "TlvPrefsSettingMdl.h"
#include "UserDefaults.h"

#include <filesystem>

namespace tlv {

class TlvSettingsBackup {
public:
    static constexpr const char* kAppStngKey = "BackUpAppStngMdlKey";
    static constexpr const char* kPrefsStngKey = "BackUpPrefsStngMdlKey";
    static constexpr const char* kFoaJobKey = "BackUpFoaJLMdlKey";
    static constexpr const char* kJobRowsKey = "BackUpJobJLMdlKey";

    enum class Restore { Restored, Unreadable, NotABackup, OtherVersion, Damaged };

    // The settings in force, which all outlive this object.
    TlvSettingsBackup(TlvAppSettingMdl& app, TlvPrefsSettingMdl& prefs, TlvJobListStorage& jobs,
                      fnd::UserDefaults& defaults)
        : mApp(app), mPrefs(prefs), mJobs(jobs), mDefaults(defaults) {}

    // False when the file could not be written (nothing is left at path then).
    bool backUp(const std::filesystem::path& path) const;
    // Restored only when every part decodes; anything else changes nothing.
    Restore restore(const std::filesystem::path& path);

private:
    TlvAppSettingMdl& mApp;
    TlvPrefsSettingMdl& mPrefs;
    TlvJobListStorage& mJobs;
    fnd::UserDefaults& mDefaults;
};

} // namespace tlv
