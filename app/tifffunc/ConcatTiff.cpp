// Appends one little-endian TIFF file to another: the source's bytes go to the end of the target as
// they are, the target's last zero link and the copied links are pointed at the copied directories,
// and every value of a copied directory that is a file offset is moved on by the target's old size S.
// A value is an offset when it does not fit in the entry's four bytes; the strip and JPEG tables'
// offsets themselves are offsets too. Whatever fails after the copy began, the target gets its old
// zero link and its old length back.
#include "TiffLayout.h"

#include <unistd.h>

namespace {

using namespace tiff;

bool isOffsetTag(uint16_t tag) {
    // StripOffsets, JPEGInterchangeFormat, JPEGQTables, JPEGDCTables, JPEGACTables
    return tag == 273 || tag == 513 || tag == 519 || tag == 520 || tag == 521;
}

int moveOffsetArray(FILE* target, uint64_t at, uint32_t count, uint32_t shift, uint64_t end) {
    if (at + uint64_t{count} * 4 > end)
        return kTiffBadLayout;
    std::vector<uint8_t> values(uint64_t{count} * 4);
    if (const int result = readAt(target, at, values.data(), values.size()); result != kTiffOK)
        return result;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t moved = uint64_t{get32(&values[i * 4], false)} + shift;
        if (moved > kMaxOffset)
            return kTiffBadLayout;
        put32(&values[i * 4], static_cast<uint32_t>(moved), false);
    }
    return writeAt(target, at, values.data(), values.size());
}

int relocateEntry(FILE* target, uint64_t entryPos, uint32_t shift, uint64_t end) {
    uint8_t entry[kEntrySize];
    if (readAt(target, entryPos, entry, sizeof entry) != kTiffOK)
        return kTiffSeek;
    const uint16_t tag = get16(entry, false);
    const uint16_t type = get16(entry + 2, false);
    const uint32_t count = get32(entry + 4, false);
    const uint32_t value = get32(entry + 8, false);
    const bool outOfLine = uint64_t{elementSize(type)} * count > 4;
    if (isOffsetTag(tag)) {
        if (type != 4 || count == 0)
            return kTiffBadLayout;
        if (count > 1) {
            if (const int result = moveOffsetArray(target, uint64_t{value} + shift, count, shift, end);
                result != kTiffOK)
                return result;
        }
    } else if (!outOfLine) {
        return kTiffOK;
    }
    if (uint64_t{value} + shift > kMaxOffset)
        return kTiffBadLayout;
    return write32At(target, entryPos + 8, value + shift, false);
}

int copyAll(FILE* target, FILE* source) {
    if (fseeko(target, 0, SEEK_END) != 0 || fseeko(source, 0, SEEK_SET) != 0)
        return kTiffSeek;
    std::vector<char> block(64 * 1024);
    for (;;) {
        const size_t n = std::fread(block.data(), 1, block.size(), source);
        if (n > 0 && std::fwrite(block.data(), 1, n, target) != n)
            return kTiffWrite;
        if (n < block.size())
            return std::ferror(source) ? kTiffRead : kTiffOK;
    }
}

// Copies, links and relocates; the caller restores the target when this fails.
int append(FILE* target, FILE* source, uint32_t shift, uint64_t zeroLink, const std::vector<ChainLink>& chain,
           uint64_t end) {
    if (const int result = copyAll(target, source); result != kTiffOK)
        return result;
    for (size_t k = 0; k < chain.size(); ++k) {
        const uint64_t at = k == 0 ? zeroLink : shift + chain[k].linkPos;
        if (const int result = write32At(target, at, chain[k].offset + shift, false); result != kTiffOK)
            return result;
    }
    for (const ChainLink& ifd : chain) {
        const uint64_t first = uint64_t{ifd.offset} + shift + 2;
        for (uint32_t e = 0; e < ifd.entries; ++e) {
            if (const int result = relocateEntry(target, first + e * kEntrySize, shift, end);
                result != kTiffOK)
                return result;
        }
    }
    return std::fflush(target) == 0 ? kTiffOK : kTiffWrite;
}

void restore(FILE* target, uint32_t oldSize, uint64_t zeroLink) {
    std::clearerr(target);
    write32At(target, zeroLink, 0, false);
    std::fflush(target);
    if (ftruncate(fileno(target), oldSize) != 0)
        std::clearerr(target); // nothing more can be done; the close reports what is left
}

int sourceChain(FILE* source, std::vector<ChainLink>& chain, uint64_t& size) {
    size = GetFileSize(source);
    if (const int result = checkHeader(source, false); result != kTiffOK)
        return result;
    uint64_t zeroLink = 0;
    return walkChain(source, false, size, chain, zeroLink);
}

} // namespace

int ConcatTiff(const char* targetPath, const char* sourcePath) {
    if (targetPath == nullptr || sourcePath == nullptr)
        return kTiffOpenFirst;
    FilePtr target(std::fopen(targetPath, "rb+"));
    if (!target)
        return kTiffOpenFirst;
    uint32_t pages = kTiffCountPages, unused = 0, zeroLink = 0;
    uint64_t oldSize = 0;
    if (const int result = SearchLinkPos(target.get(), &pages, &unused, &zeroLink, &oldSize);
        result != kTiffOK)
        return result;
    FilePtr source(std::fopen(sourcePath, "rb"));
    if (!source)
        return kTiffOpenSecond;
    std::vector<ChainLink> chain;
    uint64_t sourceSize = 0;
    if (const int result = sourceChain(source.get(), chain, sourceSize); result != kTiffOK)
        return result;
    if (oldSize + sourceSize > kMaxOffset)
        return kTiffTooLarge;
    const uint64_t end = oldSize + sourceSize;
    if (const int result =
            append(target.get(), source.get(), static_cast<uint32_t>(oldSize), zeroLink, chain, end);
        result != kTiffOK) {
        restore(target.get(), static_cast<uint32_t>(oldSize), zeroLink);
        return result;
    }
    if (std::fclose(target.release()) != 0)
        return kTiffCloseFirst;
    return std::fclose(source.release()) == 0 ? kTiffOK : kTiffCloseSecond;
}
