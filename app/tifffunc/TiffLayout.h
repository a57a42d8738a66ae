// Internals shared by the joiner and the converter: positioned reads and writes, values in either byte
// order, and the walk of a directory chain that refuses loops and directories outside the file.
#pragma once

#include "TiffFunc.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tiff {

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileClose>;

constexpr uint64_t kHeaderSize = 8;
constexpr uint64_t kEntrySize = 12;
constexpr uint64_t kMaxOffset = 0xFFFFFFFF; // classic TIFF addresses its bytes with 32-bit offsets

uint16_t get16(const uint8_t* bytes, bool bigEndian);
uint32_t get32(const uint8_t* bytes, bool bigEndian);
void put16(uint8_t* bytes, uint16_t value, bool bigEndian);
void put32(uint8_t* bytes, uint32_t value, bool bigEndian);

// Bytes of one element of a field type; 0 for types this program does not know.
uint32_t elementSize(uint16_t type);

int readAt(FILE* file, uint64_t offset, void* bytes, size_t size);
int writeAt(FILE* file, uint64_t offset, const void* bytes, size_t size);
int read32At(FILE* file, uint64_t offset, bool bigEndian, uint32_t& value);
int write32At(FILE* file, uint64_t offset, uint32_t value, bool bigEndian);

// One directory of a chain: where it lies and where the link that points to it lies.
struct ChainLink {
    uint64_t linkPos;
    uint32_t offset;
    uint16_t entries;
};

// Walks the chain from the header's link; zeroLinkPos receives the position of the final zero link.
int walkChain(FILE* file, bool bigEndian, uint64_t fileSize, std::vector<ChainLink>& chain,
              uint64_t& zeroLinkPos);

// Checks the first four bytes: "II" with 42, or "MM" with 42 when bigEndian.
int checkHeader(FILE* file, bool bigEndian);

} // namespace tiff
