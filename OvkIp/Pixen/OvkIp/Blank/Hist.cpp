// Histogram counting and the two-peak split used for automatic thresholds.
#include "Blank/Hist.h"

#include "OvkError.h"
#include "OvkImageInfo.h"

#include <algorithm>
#include <array>
#include <new>

CHist::CHist(uint32_t* bins, uint32_t count) : m_bins(bins), m_total(count) {
    if (!m_bins) {
        m_ownBins.reset(new (std::nothrow) uint32_t[kBins]());
        m_bins = m_ownBins.get();
    }
}

void CHist::Init() {
    if (m_ownBins)
        std::fill_n(m_bins, kBins, 0u);
}

void CHist::Add(const uint8_t* p, uint32_t n) {
    Add(p, n, 1, 0);
}

// Four sets of bins counted in turn, merged at the end: on a page of mostly one grey level each
// increment would otherwise wait for the previous one to the same bin.
void CHist::Add(const uint8_t* p, uint32_t n, uint32_t rows, int32_t stride) {
    std::array<std::array<uint32_t, kBins>, 4> part{};
    for (uint32_t row = 0; row < rows; ++row, p += stride) {
        uint32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            ++part[0][p[i]];
            ++part[1][p[i + 1]];
            ++part[2][p[i + 2]];
            ++part[3][p[i + 3]];
        }
        for (; i < n; ++i)
            ++part[0][p[i]];
        m_total += n;
    }
    for (int32_t b = 0; b < kBins; ++b)
        m_bins[b] += part[0][b] + part[1][b] + part[2][b] + part[3][b];
}

void CHist::Add(const tagOVKIMAGEINFO* image) {
    Add(image->lpImage, static_cast<uint32_t>(image->lWidth), static_cast<uint32_t>(image->lHeight),
        image->lSync);
}

int32_t CHist::GetColorNum() const {
    return kBins - Count<uint32_t>(m_bins, 0, kBins);
}

void CHist::GetPeek(int32_t* first, int32_t* second) {
    if (!m_peaksKnown) {
        const int32_t split = static_cast<int32_t>(GetGravity(m_bins, kBins)) + 1;
        m_peak1 = GetMaxDataPos(m_bins, split);
        m_peak2 = split + GetMaxDataPos(m_bins + split, kBins - split);
        m_peaksKnown = true;
    }
    *first = m_peak1;
    *second = m_peak2;
}

int32_t CHist::Peek1() {
    int32_t first = 0;
    int32_t second = 0;
    GetPeek(&first, &second);
    return first;
}

int32_t CHist::Peek2() {
    int32_t first = 0;
    int32_t second = 0;
    GetPeek(&first, &second);
    return second;
}

extern "C" uint32_t GetHistogram(tagOVKIMAGEINFO* image, tagHISTOGRAMINFO* hist) {
    IpSetLastError(kIpSuccess);
    if (!image || !hist || hist->ulSize < sizeof(*hist)) {
        IpSetLastError(kIpBadParameter);
        return 0;
    }
    try {
        CImageInfo view(image);
        OnAssertThrow(view.IsValidLayout(), kIpBadParameter);
        CHist counter(hist->ulHist, hist->ulCount);
        const uint32_t width = static_cast<uint32_t>(view.GetWidth());
        const uint32_t height = static_cast<uint32_t>(view.GetHeight());
        const int32_t sync = view.GetSync();
        if (view.GetBps() == 8 && view.GetSpp() == 1) {
            counter.Add(view.GetPtr(), width, height, sync);
        } else if (view.GetBps() == 8 && view.GetSpp() == 3 && !view.IsLineOrder()) {
            counter.Add(view.GetPtr(), 3 * width, height, sync);
        } else if (view.GetBps() == 8 && view.GetSpp() == 3) {
            counter.Add(view.GetPtr(), width, 3 * height, sync);
        }
        hist->ulCount = static_cast<uint32_t>(MemSum(hist->ulHist, CHist::kBins));
        return hist->ulCount;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return 0;
    }
}
