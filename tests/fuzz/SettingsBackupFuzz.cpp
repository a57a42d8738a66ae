// A settings backup file as Preferences restores it: any file the user picks. A refused restore writes
// nothing; what a restore takes is written and can be backed up and restored again.
#include "FixedLookup.h"
#include "TlvSettingsBackup.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Restore = tlv::TlvSettingsBackup::Restore;
    static FixedLookup lookup;
    static PrivateDefaults home;
    const std::filesystem::path file = home.file().parent_path() / "backup.plist";
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    std::filesystem::remove(home.file());
    const std::unique_ptr<fnd::UserDefaults> defaults = home.open();
    TlvAppSettingMdl app(*defaults);
    TlvPrefsSettingMdl prefs(*defaults);
    TlvJobListStorage jobs(*defaults);
    jobs.loadJobListMdlFromFile(app.isBtn1AllocFOAScan());
    tlv::TlvSettingsBackup backup(app, prefs, jobs, *defaults);
    if (backup.restore(file) != Restore::Restored) {
        if (std::filesystem::exists(home.file()))
            std::abort(); // a refused restore wrote settings
        return 0;
    }
    if (!std::filesystem::exists(home.file()) || !backup.backUp(file) ||
        backup.restore(file) != Restore::Restored)
        std::abort();
    return 0;
}
