// Conversions between TWAIN's records and the application's values, the test that picks this scanner's
// data source, and the bookkeeping of results over a series of capability calls. Every read and write
// stays inside its record: strings may arrive length-prefixed (this system's form) or zero-terminated
// (a TWAIN 2 source's form), lengths are clamped to the record, and values too long are cut.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "Value.h"
#include "twain.h"

class VX_TWAINCommon {
public:
    VX_TWAINCommon() = delete;

    // True when the identity's Manufacturer, ProductFamily and ProductName are all non-empty and equal
    // the information values "VXDSManufacturer", "VXDSProductFamily" and "VXDSProductName" of `info`
    // (the application's own information dictionary).
    static bool isVXDS_Identity(const TW_IDENTITY& identity, const fnd::Dictionary& info);

    // Keeps the first failure of a series: a non-zero result clears a still-set success flag and, when
    // the result cell is present and still 0, stores the result there. Both pointers may be null.
    static void setResult(TW_INT16 result, TW_INT16* pResult, bool* pIsSuccess);

    static float fix32ToFloat(const TW_FIX32& value);
    // Rounds to the nearest 1/65536 (halves upwards); values beyond the record's range saturate at its
    // ends, NaN gives 0.
    static void floatToFix32(TW_FIX32& out, float value);

    // Clear the record, then write the value, length-prefixed (STR32: bytes, at most 32; STR64: UTF-16
    // units, at most 32) or raw (STR255: at most 256 bytes). Absent and empty values leave it clear.
    static void str32FromNSData(TW_STR32& out, const std::optional<fnd::Data>& data);
    static void str64FromNSStr(TW_STR64& out, const std::optional<std::string>& text);
    static void str255FromNSData(TW_STR255& out, std::span<const std::uint8_t> data);
    // The record's value in either form; nullopt for an empty record.
    static std::optional<fnd::Data> nsDataFromStr32(const TW_STR32& record);
    static std::optional<std::string> nsStrFromStr64(const TW_STR64& record);
    // All 256 bytes.
    static std::array<std::uint8_t, sizeof(TW_STR255)> nsDataFromStr255(const TW_STR255& record);

    // An identity field as text, in either form ("" when empty).
    static std::string identityText(const TW_STR32& field);
    // Writes text length-prefixed into an identity field, cut to 32 bytes.
    static void setIdentityText(TW_STR32& field, std::string_view text);
};
