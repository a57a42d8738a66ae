// UTF-8 is decoded just far enough to count UTF-16 units: a character above U+FFFF takes two.
#include "TlvRecordLimits.h"

namespace {

// Length in bytes of the well-formed UTF-8 character at text[i], or 0.
std::size_t characterLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead < 0x80             ? 1
                         : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                         : (lead & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || (length == 4 && lead > 0xF4) ||
        i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    if (length == 3) { // no overlong forms, no surrogates
        const unsigned second = byte(i + 1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0))
            return 0;
    }
    if (length == 4) {
        const unsigned second = byte(i + 1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
            return 0;
    }
    return length;
}

} // namespace

fnd::Data TlvCutToStr32(fnd::Data bytes) {
    if (bytes.size() > kTlvStr32Bytes)
        bytes.resize(kTlvStr32Bytes);
    return bytes;
}

std::string TlvCutToStr64(const std::string& text) {
    std::size_t end = 0;
    std::size_t units = 0;
    while (end < text.size() && text[end] != '\0') {
        const std::size_t length = characterLength(text, end);
        const std::size_t needed = length == 4 ? 2 : 1;
        if (length == 0 || units + needed > kTlvStr64Units)
            break;
        units += needed;
        end += length;
    }
    return text.substr(0, end);
}
