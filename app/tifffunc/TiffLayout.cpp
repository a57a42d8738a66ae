// Positioned reads and writes over stdio, and the directory-chain walk. Values are assembled byte by
// byte, so the host's own byte order never matters.
#include "TiffLayout.h"

#include <set>

namespace tiff {

uint16_t get16(const uint8_t* b, bool bigEndian) {
    return bigEndian ? static_cast<uint16_t>(b[0] << 8 | b[1]) : static_cast<uint16_t>(b[1] << 8 | b[0]);
}

uint32_t get32(const uint8_t* b, bool bigEndian) {
    const uint32_t high = get16(b + (bigEndian ? 0 : 2), bigEndian);
    const uint32_t low = get16(b + (bigEndian ? 2 : 0), bigEndian);
    return high << 16 | low;
}

void put16(uint8_t* b, uint16_t value, bool bigEndian) {
    b[bigEndian ? 0 : 1] = static_cast<uint8_t>(value >> 8);
    b[bigEndian ? 1 : 0] = static_cast<uint8_t>(value);
}

void put32(uint8_t* b, uint32_t value, bool bigEndian) {
    put16(b + (bigEndian ? 0 : 2), static_cast<uint16_t>(value >> 16), bigEndian);
    put16(b + (bigEndian ? 2 : 0), static_cast<uint16_t>(value), bigEndian);
}

uint32_t elementSize(uint16_t type) {
    switch (type) {
    case 1: // BYTE
    case 2: // ASCII
    case 6: // SBYTE
    case 7: // UNDEFINED
        return 1;
    case 3: // SHORT
    case 8: // SSHORT
        return 2;
    case 4:  // LONG
    case 9:  // SLONG
    case 11: // FLOAT
    case 13: // IFD
        return 4;
    case 5:  // RATIONAL
    case 10: // SRATIONAL
    case 12: // DOUBLE
        return 8;
    default:
        return 0;
    }
}

int readAt(FILE* file, uint64_t offset, void* bytes, size_t size) {
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return kTiffSeek;
    return std::fread(bytes, 1, size, file) == size ? kTiffOK : kTiffRead;
}

int writeAt(FILE* file, uint64_t offset, const void* bytes, size_t size) {
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return kTiffSeek;
    return std::fwrite(bytes, 1, size, file) == size ? kTiffOK : kTiffWrite;
}

int read32At(FILE* file, uint64_t offset, bool bigEndian, uint32_t& value) {
    uint8_t bytes[4];
    const int result = readAt(file, offset, bytes, sizeof bytes);
    value = result == kTiffOK ? get32(bytes, bigEndian) : 0;
    return result;
}

int write32At(FILE* file, uint64_t offset, uint32_t value, bool bigEndian) {
    uint8_t bytes[4];
    put32(bytes, value, bigEndian);
    return writeAt(file, offset, bytes, sizeof bytes);
}

int walkChain(FILE* file, bool bigEndian, uint64_t fileSize, std::vector<ChainLink>& chain,
              uint64_t& zeroLinkPos) {
    chain.clear();
    std::set<uint32_t> seen;
    uint64_t linkPos = 4;
    for (;;) {
        uint32_t offset = 0;
        if (const int result = read32At(file, linkPos, bigEndian, offset); result != kTiffOK)
            return result;
        if (offset == 0)
            break;
        if (offset < kHeaderSize || uint64_t{offset} + 2 > fileSize || !seen.insert(offset).second)
            return kTiffBadLayout;
        uint8_t count[2];
        if (const int result = readAt(file, offset, count, sizeof count); result != kTiffOK)
            return result;
        const uint16_t entries = get16(count, bigEndian);
        const uint64_t next = uint64_t{offset} + 2 + kEntrySize * entries;
        if (next + 4 > fileSize)
            return kTiffBadLayout;
        chain.push_back({linkPos, offset, entries});
        linkPos = next;
    }
    zeroLinkPos = linkPos;
    return kTiffOK;
}

int checkHeader(FILE* file, bool bigEndian) {
    uint8_t header[4];
    if (const int result = readAt(file, 0, header, sizeof header); result != kTiffOK)
        return result;
    const uint8_t mark = bigEndian ? 'M' : 'I';
    const bool ok = header[0] == mark && header[1] == mark && get16(header + 2, bigEndian) == 42;
    return ok ? kTiffOK : kTiffWrongOrder;
}

} // namespace tiff

uint64_t GetFileSize(FILE* file) {
    if (file == nullptr || fseeko(file, 0, SEEK_END) != 0)
        return 0;
    const off_t end = ftello(file);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
}

int SearchLinkPos(FILE* file, uint32_t* pageCount, uint32_t* ifdOffset, uint32_t* linkPos,
                  uint64_t* fileSize) {
    using namespace tiff;
    if (file == nullptr || pageCount == nullptr || ifdOffset == nullptr || linkPos == nullptr ||
        fileSize == nullptr)
        return kTiffSeek;
    *ifdOffset = 0;
    *linkPos = 0;
    *fileSize = GetFileSize(file);
    if (const int result = checkHeader(file, false); result != kTiffOK)
        return result;
    std::vector<ChainLink> chain;
    uint64_t zeroLink = 0;
    if (const int result = walkChain(file, false, *fileSize, chain, zeroLink); result != kTiffOK)
        return result;
    if (*pageCount == kTiffCountPages) {
        *pageCount = static_cast<uint32_t>(chain.size());
        *linkPos = static_cast<uint32_t>(zeroLink);
        return kTiffOK;
    }
    if (*pageCount == 0 || *pageCount > chain.size())
        return kTiffWrongOrder;
    *ifdOffset = chain[*pageCount - 1].offset;
    *linkPos = static_cast<uint32_t>(chain[*pageCount - 1].linkPos);
    return kTiffOK;
}
