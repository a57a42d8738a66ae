// Builds the glyphless TrueType font table by table. Only the tables a PDF reader needs for a CID-keyed
// TrueType font are present (head, hhea, maxp, hmtx, loca, glyf); the checksums follow the format.
#include "glyphless_font.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vlm {
namespace {

class Bytes {
public:
    Bytes& u16(uint32_t v) {
        data.push_back(static_cast<uint8_t>(v >> 8));
        data.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& u32(uint32_t v) { return u16(v >> 16).u16(v & 0xFFFF); }
    Bytes& zeros(size_t n) {
        data.insert(data.end(), n, 0);
        return *this;
    }
    std::vector<uint8_t> data;
};

uint32_t checksum(const std::vector<uint8_t>& bytes, size_t from, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < length ? bytes[from + i + k] : 0);
        sum += word;
    }
    return sum;
}

struct Table {
    const char* tag;
    std::vector<uint8_t> data;
};

std::vector<Table> tables() {
    constexpr uint32_t kVersion1 = 0x00010000;
    constexpr uint32_t kGlyphs = 2;
    Bytes glyf; // both glyphs empty; four bytes so that the table is not zero-length
    glyf.zeros(4);
    Bytes head;
    head.u32(kVersion1).u32(kVersion1).u32(0).u32(0x5F0F3CF5).u16(3).u16(1000).zeros(16);
    head.u16(0).u16(0).u16(kGlyphWidth).u16(kGlyphHeight).u16(0).u16(3).u16(2).u16(0).u16(0);
    Bytes hhea;
    hhea.u32(kVersion1).u16(kGlyphHeight).u16(0).u16(0).u16(kGlyphWidth).u16(0).u16(0).u16(kGlyphWidth);
    hhea.u16(1).u16(0).u16(0).zeros(8).u16(0).u16(kGlyphs);
    Bytes hmtx;
    hmtx.u16(kGlyphWidth).u16(0).u16(kGlyphWidth).u16(0);
    Bytes loca; // short offsets, all glyphs empty
    loca.u16(0).u16(0).u16(0).u16(0);
    Bytes maxp;
    maxp.u32(kVersion1).u16(kGlyphs).u16(0).u16(0).u16(0).u16(0).u16(2).zeros(16);
    return {{"glyf", glyf.data}, {"head", head.data}, {"hhea", hhea.data},
            {"hmtx", hmtx.data}, {"loca", loca.data}, {"maxp", maxp.data}};
}

} // namespace

std::vector<uint8_t> glyphlessTrueType() {
    const std::vector<Table> all = tables();
    const auto count = static_cast<uint32_t>(all.size());
    Bytes font;
    font.u32(0x00010000).u16(count).u16(64).u16(2).u16(count * 16 - 64); // 4 <= 6 tables < 8
    size_t offset = 12 + 16 * all.size();
    for (const Table& t : all) {
        font.u32(static_cast<uint32_t>(t.tag[0]) << 24 | static_cast<uint32_t>(t.tag[1]) << 16 |
                 static_cast<uint32_t>(t.tag[2]) << 8 | static_cast<uint32_t>(t.tag[3]));
        font.u32(checksum(t.data, 0, t.data.size())).u32(static_cast<uint32_t>(offset));
        font.u32(static_cast<uint32_t>(t.data.size()));
        offset += (t.data.size() + 3) & ~size_t{3};
    }
    size_t headOffset = 0;
    for (const Table& t : all) {
        if (std::string(t.tag) == "head")
            headOffset = font.data.size();
        font.data.insert(font.data.end(), t.data.begin(), t.data.end());
        font.zeros((4 - t.data.size() % 4) % 4);
    }
    const uint32_t adjustment = 0xB1B0AFBA - checksum(font.data, 0, font.data.size());
    for (int k = 0; k < 4; ++k) // checkSumAdjustment lies at byte 8 of head
        font.data[headOffset + 8 + static_cast<size_t>(k)] = static_cast<uint8_t>(adjustment >> (24 - 8 * k));
    return font.data;
}

std::string cidToGlyphMap() {
    std::string map;
    map.reserve(2 * 65536);
    for (int code = 0; code < 65536; ++code)
        map += std::string("\x00\x01", 2);
    return map;
}

std::string toUnicodeCMap() {
    std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    // A range may only vary its last byte, hence one range per high byte, in blocks of at most 100.
    std::array<char, 64> line{};
    for (int block = 0; block < 256; block += 100) {
        const int n = std::min(100, 256 - block);
        cmap += std::to_string(n) + " beginbfrange\n";
        for (int high = block; high < block + n; ++high) {
            std::snprintf(line.data(), line.size(), "<%02X00> <%02XFF> <%02X00>\n", high, high, high);
            cmap += line.data();
        }
        cmap += "endbfrange\n";
    }
    return cmap + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

} // namespace vlm
