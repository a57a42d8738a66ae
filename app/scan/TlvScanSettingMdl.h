// Everything one scan tells the data source: eight simple settings that the application's own panel
// edits, and one mirror per capability exchanged with the data source (back-side twins as *_Back
// fields). The fields, their accessors and their stored keys come from TlvScanSettingFields.h.
//
// A model is a plain value: copies are deep, and a job owns its model. The dictionary form is the
// stored format inside a job; reading it treats the dictionary as outside input (see
// initWithScanMdlDict). Setters store what they are given, except that strings and halftone names
// are cut to what their TWAIN record holds (TlvRecordLimits.h); tone tables are always 256 bytes.
#pragma once

#include "TlvRecordLimits.h"
#include "TlvScanSettingFields.h"
#include "Value.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>

// A halftone name as its bytes, without a length byte ("None", "Error Diffusion"); absent: unset.
using TlvHalftoneData = std::optional<fnd::Data>;
// The name of a custom paper, tone curve or favourite of the data source; absent: unset.
using TlvCapName = std::optional<std::string>;

class TlvScanSettingMdl {
    template <typename T> using Arg = std::conditional_t<std::is_arithmetic_v<T>, T, const T&>;

public:
    // The defaults; the unit follows the user's measurement units (TlvPlatformLookup).
    TlvScanSettingMdl();

    // The defaults, then every value of dict that has the right type and range; anything else
    // (wrong type, out of range, a tone table that is not 256 bytes) keeps its default. Unknown keys
    // are ignored.
    static TlvScanSettingMdl initWithScanMdlDict(const fnd::Dictionary* dict);
    // One entry per field under its key; an unset halftone or name leaves its key out.
    fnd::Dictionary scanMdlToDict() const;
    // A copy in which an unset halftone becomes "None" again (what a fresh model holds).
    TlvScanSettingMdl copyWithZone() const;

    // Writes byte i = i; returns the table's length, 256.
    static int MakeLinearTable(std::span<std::uint8_t, kTlvToneTableBytes> table);
    static TlvToneTable linearTable();
    // The 4 bytes "None".
    static TlvHalftoneData noneHalftone();

    friend bool operator==(const TlvScanSettingMdl&, const TlvScanSettingMdl&) = default;

#define TLV_SCAN_ACCESSORS(Type, Name, getter, init)                                                         \
    Arg<Type> getter() const {                                                                               \
        return m##Name;                                                                                      \
    }                                                                                                        \
    void set##Name(Arg<Type> value);
    TLV_SCAN_SETTING_FIELDS(TLV_SCAN_ACCESSORS, TLV_SCAN_ACCESSORS)
#undef TLV_SCAN_ACCESSORS

private:
#define TLV_SCAN_MEMBER(Type, Name, getter, init) Type m##Name;
    TLV_SCAN_SETTING_FIELDS(TLV_SCAN_MEMBER, TLV_SCAN_MEMBER)
#undef TLV_SCAN_MEMBER
};
