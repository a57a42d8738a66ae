// The name capabilities of the K3100 (TWTY_STR64: custom paper, favourite, custom tone curve) hold a
// length byte counting UTF-16 code units, then the units in host byte order. These convert them to and
// from UTF-8, for the data source and the applications that exchange them alike. Code units are stored
// unaligned after the length byte, so they are read and written byte by byte in little-endian order (the
// host order on every target).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using CapNameItem = std::array<std::uint8_t, 66>;

namespace capnames_detail {

constexpr std::size_t kMaxUnits = (std::tuple_size_v<CapNameItem> - 1) / 2;
constexpr char32_t kReplacement = 0xFFFD;

inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One code point from UTF-8 at text[i], advancing i; malformed bytes give U+FFFD and skip one byte.
inline char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const int extra = lead < 0x80         ? 0
                      : (lead >> 5) == 6  ? 1
                      : (lead >> 4) == 14 ? 2
                      : (lead >> 3) == 30 ? 3
                                          : -1;
    if (extra < 0)
        return kReplacement;
    if (extra == 0)
        return lead;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return kReplacement;
        c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? kReplacement : c;
}

} // namespace capnames_detail

// The name as UTF-8; unpaired surrogates become U+FFFD. A length beyond the item is cut to what fits.
inline std::string DecodeCapName(const CapNameItem& item) {
    using namespace capnames_detail;
    const std::size_t count = std::min<std::size_t>(item[0], kMaxUnits);
    std::vector<char16_t> units(count);
    for (std::size_t i = 0; i < count; ++i)
        units[i] = static_cast<char16_t>(item[1 + 2 * i] | (item[2 + 2 * i] << 8));
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
        }
    }
    return out;
}

// The item for a UTF-8 name, cut to the 32 units that fit; bytes that are not UTF-8 become U+FFFD.
inline CapNameItem EncodeCapName(std::string_view name) {
    using namespace capnames_detail;
    std::vector<char16_t> units;
    for (std::size_t i = 0; i < name.size();) {
        const char32_t c = NextCodePoint(name, i);
        const std::size_t needed = c >= 0x10000 ? 2 : 1;
        if (units.size() + needed > kMaxUnits)
            break;
        if (needed == 2) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    CapNameItem item{};
    item[0] = static_cast<std::uint8_t>(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        item[1 + 2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        item[2 + 2 * i] = static_cast<std::uint8_t>(units[i] >> 8);
    }
    return item;
}

// Whether two names are the same once stored: a name longer than the item holds matches its cut form.
inline bool SameCapName(std::string_view a, std::string_view b) {
    return EncodeCapName(a) == EncodeCapName(b);
}
