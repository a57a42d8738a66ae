// The preferences panel's options: two options handed on to the menu-bar helper, the mail
// attachment limit (MiB, always 1..99) and whether to warn when a mail job exceeds it. Kept in the
// application's user defaults, one key per field, and as a dictionary in the settings backup.
#pragma once

#include "UserDefaults.h"

#include <cstdint>

class TlvPrefsSettingMdl {
public:
    // The stored values of defaults; a missing key or a value of another type gives the default.
    explicit TlvPrefsSettingMdl(const fnd::UserDefaults& defaults = fnd::UserDefaults::standard());
    // The model of defaults, then each of the four keys that dict holds.
    static TlvPrefsSettingMdl
    initWithPrefsSttingDict(const fnd::Dictionary* dict,
                            const fnd::UserDefaults& defaults = fnd::UserDefaults::standard());

    // Writes the four keys; the caller synchronises when it needs the file written.
    void savePrefsSttingToFile(fnd::UserDefaults& defaults = fnd::UserDefaults::standard()) const;
    fnd::Dictionary prefsSttingToDict() const;

    bool isStartingAppPlugInScn() const { return mIsStartingAppPlugInScn; }
    void setIsStartingAppPlugInScn(bool on) { mIsStartingAppPlugInScn = on; }
    bool isShowIcnLogInPC() const { return mIsShowIcnLogInPC; }
    void setIsShowIcnLogInPC(bool on) { mIsShowIcnLogInPC = on; }
    std::int32_t mailAttachLimit() const { return mMailAttachLimit; }
    // 0 or less gives 1, 100 or more gives 99.
    void setMailAttachLimit(std::int64_t mebibytes);
    bool isShowMsgLimitOver() const { return mIsShowMsgLimitOver; }
    void setIsShowMsgLimitOver(bool on) { mIsShowMsgLimitOver = on; }

    friend bool operator==(const TlvPrefsSettingMdl&, const TlvPrefsSettingMdl&) = default;

private:
    template <typename Source> void readFrom(const Source& source);

    bool mIsStartingAppPlugInScn = false;
    bool mIsShowIcnLogInPC = true;
    std::int32_t mMailAttachLimit = 5;
    bool mIsShowMsgLimitOver = true;
};
