// Loading and saving the capability pool as the settings blob in the preferences file. A missing,
// damaged or foreign entry leaves the table's values in place: stored settings never stop an open.
#include "DataSourcePreferences.h"

#include <charconv>
#include <string>

#include "DataSource.h"
#include "PreferencesFile.h"

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

} // namespace

std::filesystem::path DataSourcePreferencesPath() {
    return fnd::PreferencesFile::pathForBundle(kDSBundleIdentifier);
}

std::optional<fnd::Dictionary> CDataSource::GetDataSourcePreference() {
    fnd::PreferencesFile file(DataSourcePreferencesPath());
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
    return mCapPool->Unflatten(*data, *version);
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
