// The application's settings file as it reads it at start: the property list itself, the job lists
// archived inside it, the application's and the preferences' switches, and the same archives as the
// settings backup hands them over.
#include "FixedLookup.h"
#include "TlvJobListStorage.h"
#include "TlvPrefsSettingMdl.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FixedLookup lookup;
    static PrivateDefaults home;
    std::ofstream(home.file(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), size);
    const std::unique_ptr<fnd::UserDefaults> defaults = home.open();
    TlvAppSettingMdl settings(*defaults);
    TlvPrefsSettingMdl prefs(*defaults);
    TlvJobListStorage storage(*defaults);
    storage.loadJobListMdlFromFile(settings.isBtn1AllocFOAScan());
    for (const char* key : {TlvJobListStorage::kMainFoaJLMdlKey, TlvJobListStorage::kMainJobJLMdlKey}) {
        if (const std::optional<fnd::Data> archive = defaults->data(key)) {
            storage.loadFoaJLMdlFromData(&*archive);
            storage.loadJobJLMdlFromData(&*archive);
            TlvJobListStorage::loadAppStngMdlFromData(&*archive, settings.scanModeType(), *defaults);
        }
    }
    return 0;
}
