// Texts are read in either form (TwainText.h); binary values are written within the record, cut at its
// capacity.
#include "VX_TWAINCommon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "CapNames.h"
#include "TwainText.h"

namespace {

// Bytes a TW_STR32 holds after its length byte, keeping a terminator.
constexpr std::size_t kStr32Bytes = sizeof(TW_STR32) - 2;

bool InfoEquals(const fnd::Dictionary& info, const char* key, const std::string& text) {
    const std::string* expected = info.get(key).asString();
    return expected && *expected == text;
}

} // namespace

bool VX_TWAINCommon::isVXDS_Identity(const TW_IDENTITY& identity, const fnd::Dictionary& info) {
    const std::string manufacturer = identityText(identity.Manufacturer);
    const std::string family = identityText(identity.ProductFamily);
    const std::string product = identityText(identity.ProductName);
    if (manufacturer.empty() || family.empty() || product.empty())
        return false;
    return InfoEquals(info, "VXDSManufacturer", manufacturer) &&
           InfoEquals(info, "VXDSProductFamily", family) && InfoEquals(info, "VXDSProductName", product);
}

void VX_TWAINCommon::setResult(TW_INT16 result, TW_INT16* pResult, bool* pIsSuccess) {
    if (result == 0 || !pIsSuccess || !*pIsSuccess)
        return;
    *pIsSuccess = false;
    if (pResult && *pResult == 0)
        *pResult = result;
}

float VX_TWAINCommon::fix32ToFloat(const TW_FIX32& value) {
    return static_cast<float>(value.Whole) + static_cast<float>(value.Frac) / 65536.0f;
}

void VX_TWAINCommon::floatToFix32(TW_FIX32& out, float value) {
    // Rounded to the nearest step on both sides of zero; truncating would move negative values up.
    const double scaled = std::floor(static_cast<double>(value) * 65536.0 + 0.5);
    std::int32_t v = 0;
    if (scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        v = std::numeric_limits<std::int32_t>::max();
    else if (scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        v = std::numeric_limits<std::int32_t>::min();
    else if (!std::isnan(scaled))
        v = static_cast<std::int32_t>(scaled);
    out.Whole = static_cast<TW_INT16>(v >> 16);
    out.Frac = static_cast<TW_UINT16>(v & 0xFFFF);
}

void VX_TWAINCommon::str32FromNSData(TW_STR32& out, const std::optional<fnd::Data>& data) {
    std::memset(out, 0, sizeof out);
    if (!data || data->empty())
        return;
    const std::size_t length = std::min(data->size(), kStr32Bytes);
    out[0] = static_cast<char>(length);
    std::memcpy(out + 1, data->data(), length);
}

void VX_TWAINCommon::str64FromNSStr(TW_STR64& out, const std::optional<std::string>& text) {
    std::memset(out, 0, sizeof out);
    if (!text || text->empty())
        return;
    const CapNameItem item = EncodeCapName(*text);
    static_assert(sizeof(TW_STR64) == std::tuple_size_v<CapNameItem>);
    std::memcpy(out, item.data(), item.size());
}

void VX_TWAINCommon::str255FromNSData(TW_STR255& out, std::span<const std::uint8_t> data) {
    std::memset(out, 0, sizeof out);
    if (!data.empty())
        std::memcpy(out, data.data(), std::min(data.size(), sizeof out));
}

std::optional<fnd::Data> VX_TWAINCommon::nsDataFromStr32(const TW_STR32& record) {
    const std::string text = TwainText(record, sizeof record);
    if (text.empty())
        return std::nullopt;
    return fnd::Data(text.begin(), text.end());
}

std::optional<std::string> VX_TWAINCommon::nsStrFromStr64(const TW_STR64& record) {
    if (record[0] == 0)
        return std::nullopt;
    if (!IsLengthPrefixedText(record))
        return std::string(record, strnlen(record, sizeof record));
    CapNameItem item;
    std::memcpy(item.data(), record, item.size());
    return DecodeCapName(item);
}

std::array<std::uint8_t, sizeof(TW_STR255)> VX_TWAINCommon::nsDataFromStr255(const TW_STR255& record) {
    std::array<std::uint8_t, sizeof(TW_STR255)> bytes;
    std::memcpy(bytes.data(), record, bytes.size());
    return bytes;
}

std::string VX_TWAINCommon::identityText(const TW_STR32& field) {
    return TwainText(field, sizeof field);
}

void VX_TWAINCommon::setIdentityText(TW_STR32& field, std::string_view text) {
    SetLengthPrefixedText(field, sizeof field, text);
}
