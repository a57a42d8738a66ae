// The limit goes through its clamping setter whatever its source; a stored limit wider than 64 bits
// or not a whole number is no value at all.
#include "TlvPrefsSettingMdl.h"

#include "TlvStoredValue.h"

#include <algorithm>

namespace {

constexpr const char* kStartingAppPlugInScnKey = "PrefsIsStartingAppPlugInScnKey";
constexpr const char* kShowIcnLogInPCKey = "PrefsIsShowIcnLogInPCKey";
constexpr const char* kMailAttachLimitKey = "PrefsMailAttachLimitKey";
constexpr const char* kShowMsgLimitOverKey = "PrefsIsShowMsgLimitOverKey";

constexpr std::int64_t kMinLimit = 1;  // MiB
constexpr std::int64_t kMaxLimit = 99; // MiB
} // namespace

template <typename Source> void TlvPrefsSettingMdl::readFrom(const Source& source) {
    TlvTakeStored(mIsStartingAppPlugInScn, TlvStoredValueOf(source, kStartingAppPlugInScnKey));
    TlvTakeStored(mIsShowIcnLogInPC, TlvStoredValueOf(source, kShowIcnLogInPCKey));
    if (const auto limit = TlvStoredValueOf(source, kMailAttachLimitKey).asInt64())
        setMailAttachLimit(*limit);
    TlvTakeStored(mIsShowMsgLimitOver, TlvStoredValueOf(source, kShowMsgLimitOverKey));
}

TlvPrefsSettingMdl::TlvPrefsSettingMdl(const fnd::UserDefaults& defaults) {
    readFrom(defaults);
}

TlvPrefsSettingMdl TlvPrefsSettingMdl::initWithPrefsSttingDict(const fnd::Dictionary* dict,
                                                               const fnd::UserDefaults& defaults) {
    TlvPrefsSettingMdl model(defaults);
    if (dict)
        model.readFrom(*dict);
    return model;
}

void TlvPrefsSettingMdl::setMailAttachLimit(std::int64_t mebibytes) {
    mMailAttachLimit = static_cast<std::int32_t>(std::clamp(mebibytes, kMinLimit, kMaxLimit));
}

fnd::Dictionary TlvPrefsSettingMdl::prefsSttingToDict() const {
    return {{kStartingAppPlugInScnKey, mIsStartingAppPlugInScn},
            {kShowIcnLogInPCKey, mIsShowIcnLogInPC},
            {kMailAttachLimitKey, mMailAttachLimit},
            {kShowMsgLimitOverKey, mIsShowMsgLimitOver}};
}

void TlvPrefsSettingMdl::savePrefsSttingToFile(fnd::UserDefaults& defaults) const {
    for (const auto& [key, value] : prefsSttingToDict())
        defaults.set(key, value);
}
