// Fringe cleaning in front of colour detection: the sensor's colour lines leave red and blue
// fringes next to dark strokes. A window of 2k + 1 lines slides down the page; a colourful pixel
// whose column is dark k lines above or below is painted with the fill colour. The window
// survives band boundaries, so bands give the same lines as the whole page.
#pragma once

#include "DetectColor/ColorThresholds.h"
#include "OvkImageInfo.h"

#include <cstdint>
#include <vector>

class CStoreLine {
public:
    void init(const ColorThresholdTable* table) { m_table = table; }
    // halfWindow 0 means 2 (five lines); a dark level of 0 means 50. fill: R low byte, then G, B.
    void option_init(int32_t halfWindow, uint8_t darkLevel, uint32_t fill);

    // Feeds the band's lines; produce is called with every cleaned line that becomes ready.
    // Lines wider than the first band's are refused with -4.
    template <typename Consumer> void feed(const tagOVKIMAGEINFO& band, Consumer produce) {
        for (int32_t y = 0; y < band.lHeight; ++y) {
            if (!store(band.lpImage + static_cast<ptrdiff_t>(band.lSync) * y, band.lWidth))
                continue;
            calc();
            produce(m_work.data());
        }
    }

    int32_t width() const { return m_width; }
    bool IsColor(const uint8_t* rgb) const { return IsColorPixel(*m_table, rgb); }

private:
    bool store(const uint8_t* line, int32_t width);
    void calc();
    const uint8_t* lineAt(int64_t age) const; // 0 the oldest line of the window
    bool isDark(const uint8_t* rgb) const { return rgb[0] < m_dark && rgb[1] < m_dark && rgb[2] < m_dark; }

    const ColorThresholdTable* m_table = &g_threshold_table2;
    int32_t m_half = 2;
    uint8_t m_dark = 50;
    uint8_t m_fill[3] = {0, 0, 0};
    int32_t m_width = -1;
    std::vector<uint8_t> m_ring; // 2k + 1 lines
    int64_t m_stored = 0;        // lines in the ring's history, the padding included
    std::vector<uint8_t> m_work;
};
