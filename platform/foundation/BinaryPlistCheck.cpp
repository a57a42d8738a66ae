// Reads the binary format's trailer and offset table (big-endian integers of the widths the trailer
// gives) and looks at every ASCII (marker 0x5n) and UTF-16 (0x6n) string object.
#include "BinaryPlistCheck.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace fnd::plist {
namespace {

constexpr std::size_t kTrailerBytes = 32;

std::optional<std::uint64_t> readBigEndian(std::span<const std::uint8_t> bytes, std::uint64_t at,
                                           unsigned width) {
    if (width == 0 || width > 8 || at > bytes.size() || bytes.size() - at < width)
        return std::nullopt;
    std::uint64_t v = 0;
    for (unsigned i = 0; i < width; ++i)
        v = (v << 8) | bytes[at + i];
    return v;
}

// Object count from the low nibble, or from the integer object that follows when the nibble is 0xF.
// Answers the count and where the content starts.
std::optional<std::pair<std::uint64_t, std::uint64_t>> countAndStart(std::span<const std::uint8_t> bytes,
                                                                     std::uint64_t at) {
    const unsigned nibble = bytes[at] & 0x0F;
    if (nibble != 0x0F)
        return std::pair{std::uint64_t{nibble}, at + 1};
    if (at + 1 >= bytes.size() || (bytes[at + 1] & 0xF0) != 0x10)
        return std::nullopt;
    const unsigned width = 1u << (bytes[at + 1] & 0x0F);
    const std::optional<std::uint64_t> count = readBigEndian(bytes, at + 2, width);
    if (!count)
        return std::nullopt;
    return std::pair{*count, at + 2 + width};
}

bool stringHasNul(std::span<const std::uint8_t> bytes, std::uint64_t at) {
    const unsigned type = bytes[at] >> 4;
    if (type != 0x5 && type != 0x6)
        return false;
    const auto header = countAndStart(bytes, at);
    if (!header)
        return false;
    const auto [count, start] = *header;
    const std::uint64_t unit = type == 0x5 ? 1 : 2;
    if (start > bytes.size() || count > (bytes.size() - start) / unit)
        return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t p = start + i * unit;
        if (bytes[p] == 0 && (unit == 1 || bytes[p + 1] == 0))
            return true;
    }
    return false;
}

} // namespace

bool binaryHasNulInStrings(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 + kTrailerBytes || std::memcmp(bytes.data(), "bplist", 6) != 0)
        return false;
    const std::uint64_t trailer = bytes.size() - kTrailerBytes;
    const unsigned offsetWidth = bytes[trailer + 6];
    const std::uint64_t objects = readBigEndian(bytes, trailer + 8, 8).value_or(0);
    const std::uint64_t table = readBigEndian(bytes, trailer + 24, 8).value_or(bytes.size());
    if (offsetWidth == 0 || offsetWidth > 8 || table >= bytes.size())
        return false;
    const std::uint64_t n = std::min<std::uint64_t>(objects, (bytes.size() - table) / offsetWidth);
    for (std::uint64_t i = 0; i < n; ++i) {
        const std::optional<std::uint64_t> at = readBigEndian(bytes, table + i * offsetWidth, offsetWidth);
        if (at && *at < trailer && stringHasNul(bytes, *at))
            return true;
    }
    return false;
}

} // namespace fnd::plist
