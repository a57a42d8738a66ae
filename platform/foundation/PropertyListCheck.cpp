// Reads the binary format's trailer and offset table (big-endian integers of the widths the trailer
// gives), looks at every ASCII (marker 0x5n) and UTF-16 (0x6n) string object, and follows the
// references of arrays (0xAn), sets (0xCn) and dictionaries (0xDn) with an explicit stack; in XML it
// counts the opening and closing tags of arrays and dictionaries.
#include "PropertyListCheck.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

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

// The trailer's fields that the checks use; absent when the buffer holds no usable trailer.
struct Trailer {
    unsigned offsetWidth = 0;
    unsigned refWidth = 0;
    std::uint64_t objects = 0;
    std::uint64_t top = 0;
    std::uint64_t table = 0;
    std::uint64_t end = 0; // where the trailer starts
};

std::optional<Trailer> readTrailer(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 + kTrailerBytes || std::memcmp(bytes.data(), "bplist", 6) != 0)
        return std::nullopt;
    Trailer t;
    t.end = bytes.size() - kTrailerBytes;
    t.offsetWidth = bytes[t.end + 6];
    t.refWidth = bytes[t.end + 7];
    t.objects = readBigEndian(bytes, t.end + 8, 8).value_or(0);
    t.top = readBigEndian(bytes, t.end + 16, 8).value_or(0);
    t.table = readBigEndian(bytes, t.end + 24, 8).value_or(bytes.size());
    if (t.offsetWidth == 0 || t.offsetWidth > 8 || t.table >= bytes.size())
        return std::nullopt;
    // Entries past the buffer are left to the parser to reject.
    t.objects = std::min<std::uint64_t>(t.objects, (bytes.size() - t.table) / t.offsetWidth);
    return t;
}

std::optional<std::uint64_t> objectOffset(std::span<const std::uint8_t> bytes, const Trailer& t,
                                          std::uint64_t index) {
    if (index >= t.objects)
        return std::nullopt;
    const std::optional<std::uint64_t> at =
        readBigEndian(bytes, t.table + index * t.offsetWidth, t.offsetWidth);
    return at && *at < t.end ? at : std::nullopt;
}

// A container whose references are being followed: refs of refWidth bytes from start, next the one
// to follow now; its children lie at depth.
struct Frame {
    std::uint64_t start;
    std::uint64_t refs;
    std::uint64_t next;
    int depth;
};

// The frame of the container at offset at; none for any other object or a damaged one.
std::optional<Frame> containerAt(std::span<const std::uint8_t> bytes, const Trailer& t, std::uint64_t at,
                                 int depth) {
    const unsigned type = bytes[at] >> 4;
    if (type != 0xA && type != 0xC && type != 0xD)
        return std::nullopt;
    const auto header = countAndStart(bytes, at);
    if (!header || t.refWidth == 0 || t.refWidth > 8)
        return std::nullopt;
    const auto [count, start] = *header;
    const std::uint64_t perEntry = type == 0xD ? 2 : 1; // a key and a value
    if (start > t.end || count > (t.end - start) / t.refWidth / perEntry)
        return std::nullopt;
    return Frame{start, count * perEntry, 0, depth + 1};
}

// +1 for an opening container tag at bytes[at] ('<'), -1 for a closing one, 0 for any other tag or a
// self-closing one. A tag that does not end within a few bytes is no container tag.
int containerTagStep(std::span<const std::uint8_t> bytes, std::size_t at) {
    constexpr std::size_t kLongestTag = 16; // "</array >" with some room
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + at,
                                std::min(bytes.size() - at, kLongestTag));
    const bool closing = text.substr(1, 1) == "/";
    const std::string_view name = text.substr(closing ? 2 : 1);
    std::size_t length = 0;
    if (name.starts_with("array"))
        length = 5;
    else if (name.starts_with("dict"))
        length = 4;
    else
        return 0;
    const std::size_t end = name.find('>', length);
    if (end == std::string_view::npos ||
        name.substr(length, end - length).find_first_not_of(" \t\r\n") != std::string_view::npos)
        return 0; // another element ("arrayX"), attributes, or a self-closing "<array/>"
    return closing ? -1 : 1;
}

} // namespace

bool binaryHasNulInStrings(std::span<const std::uint8_t> bytes) {
    const std::optional<Trailer> t = readTrailer(bytes);
    if (!t)
        return false;
    for (std::uint64_t i = 0; i < t->objects; ++i) {
        const std::optional<std::uint64_t> at = objectOffset(bytes, *t, i);
        if (at && stringHasNul(bytes, *at))
            return true;
    }
    return false;
}

bool binaryNestsTooDeeply(std::span<const std::uint8_t> bytes, int maxDepth) {
    const std::optional<Trailer> t = readTrailer(bytes);
    if (!t)
        return false;
    std::vector<Frame> stack; // never deeper than maxDepth + 1
    std::uint64_t visits = 0;
    // False when the object at depth is one too many; else enters it when it is a container.
    const auto visit = [&](std::uint64_t index, int depth) {
        if (depth > maxDepth || ++visits > bytes.size())
            return false;
        if (const std::optional<std::uint64_t> at = objectOffset(bytes, *t, index))
            if (const std::optional<Frame> frame = containerAt(bytes, *t, *at, depth))
                stack.push_back(*frame);
        return true;
    };
    if (!visit(t->top, 0))
        return true;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.refs) {
            stack.pop_back();
            continue;
        }
        const std::optional<std::uint64_t> ref =
            readBigEndian(bytes, frame.start + frame.next++ * t->refWidth, t->refWidth);
        if (ref && !visit(*ref, frame.depth))
            return true;
    }
    return false;
}

bool xmlNestsTooDeeply(std::span<const std::uint8_t> bytes, int maxDepth) {
    std::int64_t depth = -1; // the top container is at depth 0
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '<')
            continue;
        depth += containerTagStep(bytes, i);
        if (depth > maxDepth)
            return true;
    }
    return false;
}

} // namespace fnd::plist
