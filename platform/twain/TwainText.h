// Texts of TWAIN identities and string items. On Linux they are zero-terminated; older applications and
// this system's own stored settings put a length byte first, so reading accepts both forms. Shared by the
// data source and the applications; nothing is read or written past a field.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// A first byte up to this is a length byte: a text of 34 or more characters cannot fit a TW_STR32.
inline constexpr unsigned char kMaxTextLengthByte = 0x21;

inline bool IsLengthPrefixedText(const char* field) {
    return static_cast<unsigned char>(field[0]) <= kMaxTextLengthByte;
}

// The text of a field of size bytes in either form, never reading past the field.
inline std::string TwainText(const char* field, std::size_t size) {
    if (size == 0)
        return {};
    if (IsLengthPrefixedText(field)) {
        const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(field[0]), size - 1);
        return std::string(field + 1, length);
    }
    return std::string(field, strnlen(field, size));
}

// Writes text zero-terminated into a zero-filled field, cut to fit.
inline void SetTwainText(char* field, std::size_t size, std::string_view text) {
    if (size == 0)
        return;
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

// Writes text with a length byte first (this system's stored form), cut to fit.
inline void SetLengthPrefixedText(char* field, std::size_t size, std::string_view text) {
    if (size < 2)
        return;
    const std::size_t length = std::min({text.size(), size - 2, std::size_t{kMaxTextLengthByte}});
    std::memset(field, 0, size);
    field[0] = static_cast<char>(length);
    std::memcpy(field + 1, text.data(), length);
}
