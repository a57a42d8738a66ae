// Loading and saving the capability pool as the settings blob in the preferences file. A missing,
// damaged or foreign entry leaves the table's values in place: stored settings never stop an open, and
// a damaged one is set aside.
#include "DataSourcePreferences.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "DataSource.h"
#include "PreferencesFile.h"
#include "SettingsBlob.h"

namespace {

std::optional<std::int32_t> ParseVersion(const fnd::Value& value) {
    const std::string* text = value.asString();
    if (!text)
        return std::nullopt;
    std::int32_t version = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, version);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return version;
}

// The file is kept aside whole (favourites and papers too, for recovery by hand) and written again
// without the blob, so that the defaults are used and the damage is told once.
void SetDamagedSettingsAside() {
    const std::filesystem::path path = DataSourcePreferencesPath();
    fnd::PreferencesFile file(path);
    file.remove(kPrefCapData);
    file.remove(kPrefCapDataVersion);
    const std::filesystem::path aside = fnd::PreferencesFile::moveAside(path);
    if (aside.empty() || !file.save()) {
        std::fprintf(stderr,
                     "K3100: the stored scan settings in %s are damaged and could not be set aside; "
                     "the defaults are used\n",
                     path.c_str());
        return;
    }
    std::fprintf(stderr,
                 "K3100: the stored scan settings were damaged; the defaults are used, and the file "
                 "was kept as %s\n",
                 aside.c_str());
}

} // namespace

std::filesystem::path DataSourcePreferencesPath() {
    return fnd::PreferencesFile::pathForBundle(kDSBundleIdentifier);
}

std::optional<fnd::Dictionary> CDataSource::GetDataSourcePreference() {
    fnd::PreferencesFile file(DataSourcePreferencesPath());
    // Set aside when it is found, so that its user hears of it now, not when settings are next saved.
    if (file.state() == fnd::PreferencesFile::State::Damaged)
        file.save();
    if (file.state() != fnd::PreferencesFile::State::Loaded)
        return std::nullopt;
    return file.values();
}

bool CDataSource::LoadCustomCapabilities() {
    const std::optional<fnd::Dictionary> prefs = GetDataSourcePreference();
    if (!prefs || !mCapPool)
        return false;
    const fnd::Data* data = prefs->get(kPrefCapData).asData();
    const std::optional<std::int32_t> version = ParseVersion(prefs->get(kPrefCapDataVersion));
    if (!data || !version)
        return false;
    if (mCapPool->Unflatten(*data, *version))
        return true;
    // A blob of this version that does not apply is damaged: left in place it would be tried at every open.
    if (*version == kSettingsBlobVersion)
        SetDamagedSettingsAside();
    return false;
}

bool CDataSource::SaveCustomCapabilities() {
    if (!mCapPool)
        return false;
    fnd::PreferencesFile file(DataSourcePreferencesPath());
    std::int32_t version = 0;
    if (std::optional<CapData> blob = mCapPool->Flatten(version)) {
        file.set(kPrefCapDataVersion, std::to_string(version));
        file.set(kPrefCapData, fnd::Data(std::move(*blob)));
    } else {
        file.remove(kPrefCapDataVersion);
        file.remove(kPrefCapData);
    }
    return file.save();
}
