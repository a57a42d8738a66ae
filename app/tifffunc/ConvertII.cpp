// Turns a big-endian TIFF file little-endian in place. Each directory entry is rewritten in the new
// order; a value that does not fit in the entry is an offset, and the data it points at are swapped
// element by element (rationals as two 32-bit words). Image data are bytes and stay as they are. The
// whole chain and every value's place are checked before the first byte changes.
#include "TiffLayout.h"

#include <algorithm>

namespace {

using namespace tiff;

// Swaps count elements of the given size in place; rationals are pairs of 32-bit words.
void swapElements(std::vector<uint8_t>& data, uint16_t type) {
    const uint32_t size = elementSize(type);
    const uint32_t word = (type == 5 || type == 10) ? 4 : size;
    if (word < 2)
        return;
    for (size_t at = 0; at + word <= data.size(); at += word)
        std::reverse(data.begin() + static_cast<std::ptrdiff_t>(at),
                     data.begin() + static_cast<std::ptrdiff_t>(at + word));
}

int convertOutOfLine(FILE* file, uint16_t type, uint32_t offset, uint64_t bytes, uint64_t fileSize) {
    if (uint64_t{offset} + bytes > fileSize)
        return kTiffBadLayout;
    std::vector<uint8_t> data(bytes);
    if (const int result = readAt(file, offset, data.data(), data.size()); result != kTiffOK)
        return result;
    swapElements(data, type);
    return writeAt(file, offset, data.data(), data.size());
}

int convertEntry(FILE* file, uint64_t at, uint64_t fileSize) {
    uint8_t entry[kEntrySize];
    if (const int result = readAt(file, at, entry, sizeof entry); result != kTiffOK)
        return result;
    const uint16_t tag = get16(entry, true);
    const uint16_t type = get16(entry + 2, true);
    const uint32_t count = get32(entry + 4, true);
    const uint64_t bytes = uint64_t{elementSize(type)} * count;
    put16(entry, tag, false);
    put16(entry + 2, type, false);
    put32(entry + 4, count, false);
    if (bytes > 4) {
        const uint32_t offset = get32(entry + 8, true);
        if (const int result = convertOutOfLine(file, type, offset, bytes, fileSize); result != kTiffOK)
            return result;
        put32(entry + 8, offset, false);
    } else if (elementSize(type) == 2) {
        std::swap(entry[8], entry[9]);
        std::swap(entry[10], entry[11]);
    } else if (elementSize(type) == 4) {
        std::reverse(entry + 8, entry + 12);
    }
    return writeAt(file, at, entry, sizeof entry);
}

// Every value of the directory that lies outside its entry lies inside the file.
int checkDirectory(FILE* file, const ChainLink& ifd, uint64_t fileSize) {
    for (uint32_t e = 0; e < ifd.entries; ++e) {
        uint8_t entry[kEntrySize];
        if (const int result = readAt(file, ifd.offset + 2 + e * kEntrySize, entry, sizeof entry);
            result != kTiffOK)
            return result;
        const uint64_t bytes = uint64_t{elementSize(get16(entry + 2, true))} * get32(entry + 4, true);
        if (bytes > 4 && uint64_t{get32(entry + 8, true)} + bytes > fileSize)
            return kTiffBadLayout;
    }
    return kTiffOK;
}

int convertDirectory(FILE* file, const ChainLink& ifd, uint64_t fileSize) {
    for (uint32_t e = 0; e < ifd.entries; ++e) {
        if (const int result = convertEntry(file, ifd.offset + 2 + e * kEntrySize, fileSize);
            result != kTiffOK)
            return result;
    }
    uint8_t count[2];
    put16(count, ifd.entries, false);
    return writeAt(file, ifd.offset, count, sizeof count);
}

// Rewrites every link of the chain, the final zero included, and the header.
int convertLinks(FILE* file, const std::vector<ChainLink>& chain, uint64_t zeroLink) {
    for (const ChainLink& ifd : chain) {
        if (const int result = write32At(file, ifd.linkPos, ifd.offset, false); result != kTiffOK)
            return result;
    }
    if (const int result = write32At(file, zeroLink, 0, false); result != kTiffOK)
        return result;
    const uint8_t mark[4] = {'I', 'I', 42, 0};
    return writeAt(file, 0, mark, sizeof mark);
}

int convert(FILE* file) {
    uint8_t header[kHeaderSize];
    if (readAt(file, 0, header, sizeof header) != kTiffOK)
        return kTiffRead;
    if (header[0] == 'I' && header[1] == 'I')
        return kTiffOK;
    if (checkHeader(file, true) != kTiffOK)
        return kTiffWrongOrder;
    const uint64_t fileSize = GetFileSize(file);
    std::vector<ChainLink> chain;
    uint64_t zeroLink = 0;
    if (const int result = walkChain(file, true, fileSize, chain, zeroLink); result != kTiffOK)
        return result;
    for (const ChainLink& ifd : chain) {
        if (const int result = checkDirectory(file, ifd, fileSize); result != kTiffOK)
            return result;
    }
    for (const ChainLink& ifd : chain) {
        if (const int result = convertDirectory(file, ifd, fileSize); result != kTiffOK)
            return result;
    }
    return convertLinks(file, chain, zeroLink);
}

} // namespace

int ConvertII(const char* path) {
    if (path == nullptr)
        return kTiffOpenFirst;
    FilePtr file(std::fopen(path, "rb+"));
    if (!file)
        return kTiffOpenFirst;
    if (const int result = convert(file.get()); result != kTiffOK)
        return result;
    return std::fclose(file.release()) == 0 ? kTiffOK : kTiffCloseFirst;
}
