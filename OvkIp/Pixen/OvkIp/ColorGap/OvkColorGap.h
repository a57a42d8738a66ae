// COvkColorGap: finds fringe runs down each column (a tinted run between neutral pixels, at most 13 lines)
// in a 16-line ring and greys them. A line is corrected 13 lines after it came in, once every run that can
// reach it has been closed, so the memory stays one ring whatever the page length.
#pragma once

#include "ColorGap/ColorGapCorrect.h"

#include <array>
#include <cstdint>
#include <vector>

class COvkColorGap {
public:
    // Tables and ring for pages of src's width; bad_alloc when memory runs out.
    void Initialize(const tagOVKIMAGEINFO& src, const COLORGAPINFO& info);
    // Takes in the page's first line.
    void FirstProcess(const tagOVKIMAGEINFO& src);
    // Takes in src's lines (from its second on the first band) and writes each corrected line to dst.
    void Process(tagOVKIMAGEINFO& dst, const tagOVKIMAGEINFO& src, bool first);
    // Appends the held lines below dst's lines.
    void ProcessLast(tagOVKIMAGEINFO& dst);

    // Lines a band of `lines` input lines writes (held lines too when last).
    int64_t OutputLines(int64_t lines, bool first, bool last) const;
    int32_t Width() const { return m_width; }

private:
    struct Column {
        uint8_t btColorDat = kClassNone; // class of the pixel on the line above
        int8_t numStart = -1;            // ring line where the open run began, -1 none
        bool dark = false;               // the open run has a dark end
    };
    static constexpr int32_t kRing = 16;
    static constexpr int32_t kRunLimit = 12; // a run this long is marked and restarted

    void LoadTable(const COLORGAPINFO& info, int32_t resolution);
    void BuildColorGapTable(int32_t resolution, const tagGAPPARAM* params);
    void TakeLine(const unsigned char* line);
    void Search(int32_t y);
    void SideCheck(int32_t y);
    void SideCheckLast();
    void Correct(int32_t y, bool hasAbove, bool hasBelow);
    void CheckDoubt(int32_t x, int32_t start, int32_t end, bool dark);
    static void CorrectToMono(uint8_t* pixel);
    void WriteLine(int32_t y, tagOVKIMAGEINFO& dst, int32_t row) const;
    uint8_t* RingLine(int32_t y) { return m_BuffImg.data() + static_cast<size_t>(y) * m_width * 3; }
    uint8_t* MapRow(int32_t y) { return m_ColorGapMap.data() + static_cast<size_t>(y) * m_width; }
    uint8_t ClassOf(const uint8_t* px) const { return m_classes[ColorIndex(px[0], px[1], px[2])]; }
    bool Continues(uint8_t previous, uint8_t current) const {
        return m_pairs[previous * kColorClassCount + current] != 0;
    }

    int32_t m_width = 0;
    std::vector<uint8_t> m_BuffImg;     // kRing lines of width pixels
    std::vector<uint8_t> m_ColorGapMap; // kRing rows of marks: 0 none, 1 fringe, 2 fringe with a dark end
    std::vector<Column> m_PreLineInfo;
    int64_t m_numInputLine = 0;
    std::array<uint8_t, kColorTableSize> m_classes{};
    std::array<uint32_t, kColorClassCount * kColorClassCount> m_pairs{};
};
