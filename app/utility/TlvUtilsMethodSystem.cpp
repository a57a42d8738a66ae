// Archiving, the application's bundle and the system version. Archived dictionaries are binary
// property lists: plain values only, so reading one back can never make objects the data names.
#include "TlvUtilsMethod.h"

#include "Bundle.h"
#include "PropertyList.h"

namespace {

// The newest version the packed form can express (10.9.9): checks for older systems answer no.
constexpr std::int32_t kNewestSystemVersion = 0x1099;
// Versions below this are 10.3 and older.
constexpr std::int32_t kFirstVersionAfter1030 = 0x1040;

bool isBinaryPropertyList(const fnd::Data& data) {
    static constexpr char kMagic[] = "bplist00";
    return data.size() >= 8 && std::equal(kMagic, kMagic + 8, data.begin());
}

} // namespace

std::optional<fnd::Data> TlvUtilsMethod::encodeDictToData(const fnd::Dictionary& dict) {
    return fnd::plist::toBinary(fnd::Value(dict));
}

std::optional<fnd::Dictionary> TlvUtilsMethod::decodeDataToDict(const fnd::Data& data) {
    if (!isBinaryPropertyList(data))
        return std::nullopt;
    std::optional<fnd::Value> value = fnd::plist::parse(data);
    fnd::Dictionary* dict = value ? value->asDictionary() : nullptr;
    if (!dict)
        return std::nullopt;
    return std::move(*dict);
}

fnd::Value TlvUtilsMethod::objectFromInfoDict(std::string_view key) {
    if (key.empty())
        return {};
    return fnd::Bundle::main().infoValue(key);
}

std::string TlvUtilsMethod::currentLocaleStr() {
    const std::vector<std::string> languages = fnd::Bundle::main().preferredLocalizations();
    return languages.empty() ? std::string() : languages.front();
}

bool TlvUtilsMethod::isEqualToLocaleStr(std::string_view locale) {
    return !locale.empty() && currentLocaleStr() == locale;
}

std::int32_t TlvUtilsMethod::currentOSVersion() {
    return kNewestSystemVersion;
}

bool TlvUtilsMethod::isOS1030() {
    return currentOSVersion() < kFirstVersionAfter1030;
}
