// Run tables built from a constant table of each byte's runs, then cleaned of short runs.
#include "Blank/RunTable.h"

#include <memory>
#include <new>

namespace {
constexpr BWLenRow makeRow(unsigned v) {
    BWLenRow row{};
    int half = 0;
    int wanted = 1; // the first run counts set bits
    for (int bit = 7; bit >= 0; --bit) {
        const int b = (v >> bit) & 1;
        if (b != wanted) {
            ++half;
            wanted = b;
        }
        ++row.runs[half];
    }
    if (half % 2 == 0) // ended inside a set run: close with an empty clear run
        ++half;
    row.halves = static_cast<uint8_t>(half + 1);
    return row;
}

constexpr std::array<BWLenRow, 256> makeTable() {
    std::array<BWLenRow, 256> table{};
    for (unsigned v = 0; v < 256; ++v)
        table[v] = makeRow(v);
    return table;
}
constexpr std::array<BWLenRow, 256> kTable = makeTable();
static_assert(kTable[0x00].halves == 2 && kTable[0x00].runs[0] == 0 && kTable[0x00].runs[1] == 8);
static_assert(kTable[0x0F].halves == 4 && kTable[0x0F].runs[1] == 4 && kTable[0x0F].runs[2] == 4);
static_assert(kTable[0x55].halves == 10 && kTable[0x55].runs[9] == 0);
static_assert(kTable[0xFF].halves == 2 && kTable[0xFF].runs[0] == 8);

bool append(tagBWT* runs, int32_t capacity, int32_t& count, const BWLenRow& row, int cut) {
    for (int h = 0; h < row.halves; h += 2) {
        if (count >= capacity)
            return false;
        uint16_t clear = row.runs[h + 1];
        if (h + 2 == row.halves)
            clear = static_cast<uint16_t>(clear - cut);
        runs[count++] = {row.runs[h], clear};
    }
    return true;
}
} // namespace

const std::array<BWLenRow, 256> BWLenTable = kTable;

int32_t MakeBWLenData(tagBWT* runs, int32_t capacity, const uint8_t* bits, int32_t n) {
    int32_t count = 0;
    const int32_t whole = n / 8;
    for (int32_t i = 0; i < whole; ++i)
        if (!append(runs, capacity, count, BWLenTable[bits[i]], 0))
            return count;
    if (const int rest = n % 8) {
        // Bits past the line read as clear and are cut from the last clear run.
        const uint8_t masked = static_cast<uint8_t>(bits[whole] & (0xFF00 >> rest));
        append(runs, capacity, count, BWLenTable[masked], 8 - rest);
    }
    return count;
}

int32_t CheckBWLenData(tagBWT* runs, int32_t count) {
    int32_t out = 0;
    for (int32_t i = 0; i < count; ++i) {
        const tagBWT run = runs[i];
        if (run.set == 0 && run.clear == 0)
            continue;
        if (out > 0 && (runs[out - 1].clear == 0 || run.set == 0)) {
            runs[out - 1].set = static_cast<uint16_t>(runs[out - 1].set + run.set);
            runs[out - 1].clear = static_cast<uint16_t>(runs[out - 1].clear + run.clear);
        } else {
            runs[out++] = run;
        }
    }
    return out;
}

void BWTDotEraseCore(tagBWT* runs, int32_t count, int32_t minimum, bool clearRuns) {
    for (int32_t i = clearRuns ? 0 : 1; i < count; ++i) {
        tagBWT& run = runs[i];
        if (clearRuns && run.clear < minimum) {
            run.set = static_cast<uint16_t>(run.set + run.clear);
            run.clear = 0;
        } else if (!clearRuns && run.set < minimum) {
            run.clear = static_cast<uint16_t>(run.clear + run.set);
            run.set = 0;
        }
    }
}

int32_t BWTDotErase(tagBWT* runs, int32_t count, int32_t mx, int32_t my) {
    const int32_t minimum = mx > my ? mx : my;
    BWTDotEraseCore(runs, count, minimum, true);
    count = CheckBWLenData(runs, count);
    BWTDotEraseCore(runs, count, minimum, false);
    return CheckBWLenData(runs, count);
}

int32_t* DetectWidthBin(tagBWT* runs, const uint8_t* bits, int32_t n, tagDETWAKUINFO* info, int32_t mx,
                        int32_t my) {
    if (n < 0 || n > kMaxRunBits)
        throw 87;
    int32_t count = MakeBWLenData(runs, n, bits, n);
    count = CheckBWLenData(runs, count);
    count = BWTDotErase(runs, count, mx, my);
    const int64_t start = count > 0 ? runs[0].set : 0;
    int64_t position = 0;
    int64_t end = -1;
    for (int32_t i = 0; i < count; ++i) {
        position += runs[i].set;
        if (runs[i].clear > 0) {
            position += runs[i].clear;
            end = position - 1;
        }
    }
    if (end > start) {
        info->lX = static_cast<int32_t>(start);
        info->lWidth = static_cast<int32_t>(end - start + 1);
    } else {
        info->lX = 0;
        info->lWidth = 0;
    }
    return &info->lX;
}

int32_t* DetectWidthBin(const uint8_t* bits, int32_t n, tagDETWAKUINFO* info, int32_t mx, int32_t my) {
    std::unique_ptr<tagBWT[]> runs(new (std::nothrow) tagBWT[n > 0 ? n : 1]);
    if (!runs)
        throw 8;
    return DetectWidthBin(runs.get(), bits, n, info, mx, my);
}

namespace {
template <typename Test> void toBits(uint8_t* out, const int32_t* values, int32_t n, Test test) {
    for (int32_t byte = 0; byte < (n + 7) / 8; ++byte) {
        uint8_t v = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int32_t i = byte * 8 + bit;
            if (i < n && test(values[i]))
                v |= static_cast<uint8_t>(0x80 >> bit);
        }
        out[byte] = v;
    }
}
} // namespace

void MemLSmall2Bin(uint8_t* out, const int32_t* values, int32_t n, int32_t limit) {
    toBits(out, values, n, [limit](int32_t v) { return v <= limit; });
}

void MemLLarge2Bin(uint8_t* out, const int32_t* values, int32_t n, int32_t limit) {
    toBits(out, values, n, [limit](int32_t v) { return v >= limit; });
}
