// Whether the settings still match the favourite they were loaded from: the favourite's blob is applied
// to a copy of the pool, and any difference but the name itself means the user changed something.
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "SettingsBlob.h"

namespace {

const fnd::Data* FindFavorite(const fnd::Dictionary& prefs, const std::string& name) {
    const fnd::Array* favorites = prefs.get(kPrefFavoriteSettings).asArray();
    if (!favorites)
        return nullptr;
    for (const fnd::Value& entry : *favorites) {
        const fnd::Dictionary* favorite = entry.asDictionary();
        const std::string* entryName = favorite ? favorite->get("Name").asString() : nullptr;
        if (entryName && SameCapName(*entryName, name) &&
            favorite->get("DataVersion").asInt32() == kSettingsBlobVersion)
            return favorite->get("Data").asData();
    }
    return nullptr;
}

} // namespace

void COrvkQSDS::CheckCapabilities() {
    CCapPool* pool = GetCapPool();
    CapNameItem nameItem{};
    if (!GetCapStrValue(pool, CCAP_OVKM_FAVORITENAME, nameItem) || nameItem[0] == 0)
        return;
    const std::optional<fnd::Dictionary> prefs = GetDataSourcePreference();
    if (!prefs)
        return;
    const fnd::Data* data = FindFavorite(*prefs, DecodeCapName(nameItem));
    if (!data)
        return;
    CCapPool favorite;
    favorite.Merge(*pool);
    favorite.SetFlatteningFunction(FlattenCapabilities);
    favorite.SetUnflatteningFunction(UnflattenCapabilities);
    favorite.Unflatten(*data, kSettingsBlobVersion);
    const TW_UINT16 ignore[] = {CCAP_OVKM_FAVORITENAME};
    if (!pool->IsEqualToCapValues(favorite, ignore))
        SetCapStrValue(pool, CCAP_OVKM_FAVORITENAME, CapNameItem{});
}
