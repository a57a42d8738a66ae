// Texts of TWAIN identities and string items. On Linux they are zero-terminated; older applications and
// this data source's stored settings put a length byte first, so reading accepts both forms.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A first byte up to this is a length byte: a text of 34 or more characters cannot fit a TW_STR32.
inline constexpr unsigned char kMaxTextLengthByte = 0x21;

bool IsLengthPrefixedText(const char* field);
// The text of a field of size bytes in either form, never reading past the field.
std::string TwainText(const char* field, std::size_t size);
// Writes text zero-terminated into a zero-filled field, cut to fit.
void SetTwainText(char* field, std::size_t size, std::string_view text);
// Writes text with a length byte first (this data source's stored form), cut to fit.
void SetLengthPrefixedText(char* field, std::size_t size, std::string_view text);
