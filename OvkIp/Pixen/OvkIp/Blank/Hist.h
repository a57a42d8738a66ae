// A 256-bin histogram of 8-bit samples, and the bin statistics used to find the two
// dominant grey levels of a page (paper and print) for an automatic threshold.
#pragma once

#include <cstdint>
#include <memory>

struct tagOVKIMAGEINFO;

// Number of the n entries equal to value.
template <typename T> int32_t Count(const T* a, T value, int32_t n) {
    int32_t count = 0;
    for (int32_t i = 0; i < n; ++i)
        count += a[i] == value;
    return count;
}

// Centre of mass of the entries, weighted by index; 0 when empty. Products are taken in 64 bits
// so that a large page cannot wrap them.
template <typename T> double GetGravity(const T* a, int32_t n) {
    uint64_t weighted = 0;
    uint64_t sum = 0;
    for (int32_t i = 0; i < n; ++i) {
        weighted += static_cast<uint64_t>(i) * a[i];
        sum += a[i];
    }
    return sum == 0 || n <= 0 ? 0.0 : static_cast<double>(weighted) / static_cast<double>(sum);
}

// Index of the first largest entry.
template <typename T> int32_t GetMaxDataPos(const T* a, int32_t n) {
    int32_t best = 0;
    for (int32_t i = 1; i < n; ++i)
        if (a[i] > a[best])
            best = i;
    return best;
}

template <typename T> uint64_t MemSum(const T* a, int32_t n) {
    uint64_t sum = 0;
    for (int32_t i = 0; i < n; ++i)
        sum += a[i];
    return sum;
}

class CHist {
public:
    static constexpr int32_t kBins = 256;

    // Uses the caller's bins as they are (never cleared or freed here) or allocates its own;
    // bins() is null when that allocation failed.
    explicit CHist(uint32_t* bins = nullptr, uint32_t count = 0);
    virtual ~CHist() = default;
    CHist(const CHist&) = delete;
    CHist& operator=(const CHist&) = delete;

    void Init();
    void Add(const uint8_t* p, uint32_t n);
    void Add(const uint8_t* p, uint32_t n, uint32_t rows, int32_t stride);
    void Add(const tagOVKIMAGEINFO* image);

    int32_t GetColorNum() const;
    void GetPeek(int32_t* first, int32_t* second);
    int32_t Peek1();
    int32_t Peek2();

    uint32_t* bins() const { return m_bins; }
    uint32_t total() const { return m_total; }

private:
    bool m_peaksKnown = false;
    int32_t m_peak1 = 0;
    int32_t m_peak2 = 0;
    std::unique_ptr<uint32_t[]> m_ownBins;
    uint32_t* m_bins = nullptr;
    uint32_t m_total = 0;
};

// Histogram record of GetHistogram: size word (1032), sample count, 256 bins.
struct tagHISTOGRAMINFO {
    uint32_t ulSize;
    uint32_t ulCount;
    uint32_t ulHist[256];
};
static_assert(sizeof(tagHISTOGRAMINFO) == 1032);

// Adds the samples of the image into the record's bins (which the caller zeroes) and returns
// the record's new sample count.
extern "C" uint32_t GetHistogram(tagOVKIMAGEINFO* image, tagHISTOGRAMINFO* hist);
