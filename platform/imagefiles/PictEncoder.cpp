// Writes the picture form: header opcodes, then per strip one pixel-map opcode (an indexed map with its
// colour table for black-and-white and grey, a direct 32-bit map for colour), then the end opcode.
// Indexed rows are PackBits-compressed as the form requires for rows of 8 bytes or more.
#include "PictEncoder.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kOpClipRegion = 0x0001;
constexpr std::uint16_t kOpVersion = 0x0011;
constexpr std::uint16_t kOpHeader = 0x0C00;
constexpr std::uint16_t kOpPackBitsRect = 0x0098;
constexpr std::uint16_t kOpDirectBitsRect = 0x009A;
constexpr std::uint16_t kOpEnd = 0x00FF;
constexpr std::int32_t kMaxCoordinate = 0x7FFF;

class CBigEndianWriter {
public:
    std::vector<std::uint8_t> bytes;
    void U8(std::uint8_t v) { bytes.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v >> 8));
        U8(static_cast<std::uint8_t>(v));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v >> 16));
        U16(static_cast<std::uint16_t>(v));
    }
    // 16.16 fixed point.
    void Fixed(float v) { U32(static_cast<std::uint32_t>(static_cast<std::int32_t>(v * 65536.0f))); }
    void Rect(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right) {
        for (std::int32_t v : {top, left, bottom, right})
            U16(static_cast<std::uint16_t>(v));
    }
    void Bytes(const std::uint8_t* data, std::size_t count) { bytes.insert(bytes.end(), data, data + count); }
    void AlignToWord() {
        if (bytes.size() % 2)
            U8(0);
    }
};

// One row in PackBits: runs of 2 to 128 equal bytes as (1 - n, byte), the rest as (n - 1, n bytes).
std::vector<std::uint8_t> PackBits(const std::vector<std::uint8_t>& row) {
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < row.size()) {
        std::size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        std::size_t literal = 1;
        while (i + literal < row.size() && literal < 128 &&
               !(i + literal + 1 < row.size() && row[i + literal] == row[i + literal + 1]))
            ++literal;
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(i),
                   row.begin() + static_cast<std::ptrdiff_t>(i + literal));
        i += literal;
    }
    return out;
}

// The columns [x, x + width) of row y as the strip's pixel map holds them.
std::vector<std::uint8_t> StripRow(const SPageBitmap& page, std::uint32_t y, std::uint32_t x,
                                   std::uint32_t width, std::uint32_t rowBytes) {
    std::vector<std::uint8_t> row(rowBytes, 0);
    const std::uint8_t* source = page.Row(y);
    if (page.samplesPerPixel == 3) {
        for (std::uint32_t i = 0; i < width; ++i)
            std::copy_n(source + 3 * (x + i), 3, row.begin() + 4 * i + 1);
    } else if (page.bitsPerSample == 8) {
        std::copy_n(source + x, width, row.begin());
    } else {
        // The picture's one-bit maps draw 1 as black; strips start on byte boundaries.
        for (std::uint32_t i = 0; i < (width + 7) / 8; ++i)
            row[i] = static_cast<std::uint8_t>(~source[x / 8 + i]);
        if (width % 8)
            row[(width - 1) / 8] &= static_cast<std::uint8_t>(0xFF00 >> (width % 8));
    }
    return row;
}

void WritePixMap(CBigEndianWriter& out, const SPageBitmap& page, std::uint32_t rowBytes,
                 std::uint32_t width) {
    const bool colour = page.samplesPerPixel == 3;
    out.U16(static_cast<std::uint16_t>(rowBytes | 0x8000));
    out.Rect(0, 0, static_cast<std::int32_t>(page.height), static_cast<std::int32_t>(width));
    out.U16(0);              // version
    out.U16(colour ? 1 : 0); // packing: none for direct maps, PackBits for indexed ones
    out.U32(0);              // packed size
    out.Fixed(page.xResolution);
    out.Fixed(page.yResolution);
    out.U16(colour ? 16 : 0); // direct or indexed
    out.U16(colour ? 32 : page.bitsPerSample);
    out.U16(colour ? 3 : 1); // components
    out.U16(colour ? 8 : page.bitsPerSample);
    out.U32(0); // plane bytes
    out.U32(0); // table
    out.U32(0); // reserved
}

void WriteColourTable(CBigEndianWriter& out, const SPageBitmap& page) {
    const std::uint32_t entries = page.bitsPerSample == 1 ? 2 : 256;
    out.U32(page.bitsPerSample == 1 ? 1 : 0); // seed
    out.U16(0x8000);                          // device table: the value field is the index
    out.U16(static_cast<std::uint16_t>(entries - 1));
    for (std::uint32_t k = 0; k < entries; ++k) {
        const std::uint16_t level =
            entries == 2 ? (k == 0 ? 0xFFFF : 0) : static_cast<std::uint16_t>(k * 257);
        out.U16(static_cast<std::uint16_t>(k));
        out.U16(level);
        out.U16(level);
        out.U16(level);
    }
}

void WriteStrip(CBigEndianWriter& out, const SPageBitmap& page, std::uint32_t x, std::uint32_t width) {
    const bool colour = page.samplesPerPixel == 3;
    const std::uint32_t unpadded = colour ? 4 * width : (page.bitsPerSample == 8 ? width : (width + 7) / 8);
    const std::uint32_t rowBytes = (unpadded + 1) & ~1u;
    const auto height = static_cast<std::int32_t>(page.height);
    out.U16(colour ? kOpDirectBitsRect : kOpPackBitsRect);
    if (colour)
        out.U32(0xFF); // base address placeholder of direct maps
    WritePixMap(out, page, rowBytes, width);
    if (!colour)
        WriteColourTable(out, page);
    out.Rect(0, 0, height, static_cast<std::int32_t>(width));
    out.Rect(0, static_cast<std::int32_t>(x), height, static_cast<std::int32_t>(x + width));
    out.U16(0); // copy mode
    const bool packed = !colour && rowBytes >= 8;
    for (std::uint32_t y = 0; y < page.height; ++y) {
        const std::vector<std::uint8_t> row = StripRow(page, y, x, width, rowBytes);
        if (!packed) {
            out.Bytes(row.data(), row.size());
            continue;
        }
        const std::vector<std::uint8_t> packedRow = PackBits(row);
        if (rowBytes > 250)
            out.U16(static_cast<std::uint16_t>(packedRow.size()));
        else
            out.U8(static_cast<std::uint8_t>(packedRow.size()));
        out.Bytes(packedRow.data(), packedRow.size());
    }
    out.AlignToWord();
}

} // namespace

std::uint32_t PictStripWidth(const SPageBitmap& page) {
    return page.bitsPerSample == 1 ? 24000 : 3000 / std::max<std::uint16_t>(page.samplesPerPixel, 1);
}

std::vector<std::uint8_t> EncodePict(const SPageBitmap& page) {
    const bool supported =
        (page.samplesPerPixel == 1 && (page.bitsPerSample == 1 || page.bitsPerSample == 8)) ||
        (page.samplesPerPixel == 3 && page.bitsPerSample == 8);
    if (!page.IsValid() || !supported || page.width > kMaxCoordinate || page.height > kMaxCoordinate)
        return {};
    const auto width = static_cast<std::int32_t>(page.width);
    const auto height = static_cast<std::int32_t>(page.height);
    CBigEndianWriter out;
    out.U16(0); // size word, patched below
    out.Rect(0, 0, height, width);
    out.U16(kOpVersion);
    out.U16(0x02FF);
    out.U16(kOpHeader);
    out.U16(0xFFFE); // extended version 2
    out.U16(0);
    out.Fixed(page.xResolution);
    out.Fixed(page.yResolution);
    out.Rect(0, 0, height, width);
    out.U32(0);
    out.U16(kOpClipRegion);
    out.U16(10);
    out.Rect(0, 0, height, width);
    const std::uint32_t strip = PictStripWidth(page);
    for (std::uint32_t x = 0; x < page.width; x += strip)
        WriteStrip(out, page, x, std::min(strip, page.width - x));
    out.U16(kOpEnd);
    // The size word keeps only the low 16 bits of the length, as the form has always done.
    out.bytes[0] = static_cast<std::uint8_t>(out.bytes.size() >> 8);
    out.bytes[1] = static_cast<std::uint8_t>(out.bytes.size());
    return std::move(out.bytes);
}

std::vector<std::uint8_t> EncodePictFile(const SPageBitmap& page) {
    std::vector<std::uint8_t> picture = EncodePict(page);
    if (picture.empty())
        return {};
    picture.insert(picture.begin(), 512, 0);
    return picture;
}
