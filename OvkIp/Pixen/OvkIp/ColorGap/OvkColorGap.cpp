// Fringe search, side check and correction of the colour-gap corrector. Each input line i is searched into
// ring line i mod 16; line i - 12 is then final in its marks down the column and gets its row check, and
// line i - 13 (whose lower neighbour is now checked) is corrected and written out.
#include "ColorGap/OvkColorGap.h"

#include "ColorGap/ColorGapMarks.h"

#include <algorithm>
#include <cstring>

namespace {
int32_t Wrap(int64_t line) {
    return static_cast<int32_t>(((line % 16) + 16) % 16);
}
} // namespace

void COvkColorGap::Initialize(const tagOVKIMAGEINFO& src, const COLORGAPINFO& info) {
    m_width = src.lWidth;
    LoadTable(info, src.lYResolution);
    m_BuffImg.assign(static_cast<size_t>(kRing) * m_width * 3, 0);
    m_ColorGapMap.assign(static_cast<size_t>(kRing) * m_width, 0);
    m_PreLineInfo.assign(static_cast<size_t>(m_width), Column{});
}

void COvkColorGap::LoadTable(const COLORGAPINFO& info, int32_t resolution) {
    if (!info.pGapParam && info.pClassTable && info.ulClassTableSize == kColorTableSize)
        std::memcpy(m_classes.data(), info.pClassTable, kColorTableSize);
    else
        BuildColorGapTable(resolution, info.pGapParam);
    if (info.pPairTable && info.ulPairTableSize == kPairTableSize)
        std::memcpy(m_pairs.data(), info.pPairTable, kPairTableSize);
    else
        m_pairs = ColorGapBoolMap();
}

void COvkColorGap::BuildColorGapTable(int32_t resolution, const tagGAPPARAM* params) {
    CBuildDefColorGapMap builder;
    builder.Init(resolution, params);
    if (!builder.OutputTable(m_classes.data(), kColorTableSize))
        m_classes = ByteColorMap();
}

void COvkColorGap::FirstProcess(const tagOVKIMAGEINFO& src) {
    std::memcpy(RingLine(0), src.lpImage, static_cast<size_t>(m_width) * 3);
    const uint8_t* px = RingLine(0);
    for (auto& column : m_PreLineInfo) {
        column = Column{ClassOf(px), -1, false};
        px += 3;
    }
    m_numInputLine = 1;
}

int64_t COvkColorGap::OutputLines(int64_t lines, bool first, bool last) const {
    const int64_t before = first ? 0 : m_numInputLine;
    const int64_t after = before + lines;
    // Line i goes out when line i + 13 comes in.
    int64_t out =
        std::max<int64_t>(0, after - kColorGapDelay) - std::max<int64_t>(0, before - kColorGapDelay);
    if (last)
        out += std::min<int64_t>(after, kColorGapDelay);
    return out;
}

void COvkColorGap::Process(tagOVKIMAGEINFO& dst, const tagOVKIMAGEINFO& src, bool first) {
    int32_t written = 0;
    for (int32_t row = first ? 1 : 0; row < src.lHeight; ++row) {
        const int64_t i = m_numInputLine;
        TakeLine(src.lpImage + static_cast<ptrdiff_t>(src.lSync) * row);
        if (i >= kRunLimit)
            SideCheck(Wrap(i - kRunLimit));
        if (i >= kColorGapDelay) {
            const int64_t line = i - kColorGapDelay;
            Correct(Wrap(line), line > 0, true);
            WriteLine(Wrap(line), dst, written++);
        }
        ++m_numInputLine;
    }
    dst.lHeight = written;
}

void COvkColorGap::TakeLine(const unsigned char* line) {
    const int32_t y = Wrap(m_numInputLine);
    std::memcpy(RingLine(y), line, static_cast<size_t>(m_width) * 3);
    Search(y);
}

void COvkColorGap::ProcessLast(tagOVKIMAGEINFO& dst) {
    SideCheckLast();
    const int64_t n = m_numInputLine;
    for (int64_t line = n - std::min<int64_t>(n, kColorGapDelay); line < n; ++line) {
        Correct(Wrap(line), line > 0, line < n - 1);
        WriteLine(Wrap(line), dst, dst.lHeight++);
    }
}

void COvkColorGap::WriteLine(int32_t y, tagOVKIMAGEINFO& dst, int32_t row) const {
    std::memcpy(dst.lpImage + static_cast<ptrdiff_t>(dst.lSync) * row,
                m_BuffImg.data() + static_cast<size_t>(y) * m_width * 3, static_cast<size_t>(m_width) * 3);
}

void COvkColorGap::Search(int32_t y) {
    std::memset(MapRow(y), 0, static_cast<size_t>(m_width));
    const uint8_t* px = RingLine(y);
    const int32_t runLimitStart = Wrap(y - kRunLimit);
    for (int32_t x = 0; x < m_width; ++x, px += 3) {
        Column& column = m_PreLineInfo[static_cast<size_t>(x)];
        const uint8_t c = ClassOf(px);
        const uint8_t p = column.btColorDat;
        column.btColorDat = c;
        if (!Continues(p, c)) {
            column.numStart = -1;
            continue;
        }
        const bool dark = column.dark || (c & kClassBand) == 0;
        column.dark = dark;
        if (c & kClassMono) {
            if (column.numStart >= 0)
                CheckDoubt(x, column.numStart, y, dark);
            column.numStart = -1;
        } else if (column.numStart < 0) {
            if (p & kClassMono) {
                column.numStart = static_cast<int8_t>(Wrap(y - 1));
                column.dark = (p & kClassBand) == 0 || (c & kClassBand) == 0;
            }
        } else if (column.numStart == runLimitStart) {
            CheckDoubt(x, column.numStart, y, dark);
            column.numStart = static_cast<int8_t>(y);
        }
    }
}

void COvkColorGap::CheckDoubt(int32_t x, int32_t start, int32_t end, bool dark) {
    int32_t n = end - start + 1;
    if (n <= 0)
        n += kRing;
    const uint8_t mark = dark ? 2 : 1;
    for (int32_t k = 0; k < n; ++k)
        MapRow(Wrap(start + k))[x] = mark;
}

void COvkColorGap::SideCheck(int32_t y) {
    SideCheckRow(MapRow(y), m_width);
}

void COvkColorGap::SideCheckLast() {
    const int64_t n = m_numInputLine;
    if (n >= kColorGapDelay) {
        for (int64_t line = n - kColorGapDelay; line <= n - 2; ++line)
            SideCheck(Wrap(line));
        std::memset(MapRow(Wrap(n - 1)), 0, static_cast<size_t>(m_width));
        return;
    }
    for (int64_t line = 0; line < n; ++line)
        SideCheck(Wrap(line));
}

// A pixel is greyed when it or the pixel above or below it lies on a run; rows outside the page count as
// unmarked (the ring still holds rows of earlier lines there).
void COvkColorGap::Correct(int32_t y, bool hasAbove, bool hasBelow) {
    const uint8_t* here = MapRow(y);
    const uint8_t* above = hasAbove ? MapRow(Wrap(y - 1)) : here;
    const uint8_t* below = hasBelow ? MapRow(Wrap(y + 1)) : here;
    uint8_t* line = RingLine(y);
    ForEachMarked(here, above, below, m_width, [line](int32_t x) { CorrectToMono(line + 3 * x); });
}

void COvkColorGap::CorrectToMono(uint8_t* pixel) {
    const auto grey = static_cast<uint8_t>((pixel[0] + 2 * pixel[1] + pixel[2]) >> 2);
    pixel[0] = pixel[1] = pixel[2] = grey;
}
