// Both forms of a TWAIN text, for identities and string capabilities.
#include "TwainText.h"

#include <algorithm>
#include <cstring>

bool IsLengthPrefixedText(const char* field) {
    return static_cast<unsigned char>(field[0]) <= kMaxTextLengthByte;
}

std::string TwainText(const char* field, std::size_t size) {
    if (size == 0)
        return {};
    if (IsLengthPrefixedText(field)) {
        const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(field[0]), size - 1);
        return std::string(field + 1, length);
    }
    return std::string(field, strnlen(field, size));
}

void SetTwainText(char* field, std::size_t size, std::string_view text) {
    if (size == 0)
        return;
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

void SetLengthPrefixedText(char* field, std::size_t size, std::string_view text) {
    if (size < 2)
        return;
    const std::size_t length = std::min({text.size(), size - 2, std::size_t{kMaxTextLengthByte}});
    std::memset(field, 0, size);
    field[0] = static_cast<char>(length);
    std::memcpy(field + 1, text.data(), length);
}
