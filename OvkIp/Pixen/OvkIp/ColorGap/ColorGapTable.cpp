// Class table builder: the decision tree over the largest, smallest and strongest sample of a colour,
// and the built-in tables used when a caller brings none.
#include "ColorGap/ColorGapTable.h"

#include <algorithm>
#include <initializer_list>

namespace {
// Rows for up to 150, 200, 300, 400 dpi and above.
constexpr tagGAPPARAM kDefaultRows[5] = {
    {kGapParamSize, {104, 144, 152, 88, 64, 144, 152, 80, 56, 144, 160, 64, 96}},
    {kGapParamSize, {96, 136, 144, 88, 64, 136, 144, 80, 56, 144, 160, 64, 96}},
    {kGapParamSize, {84, 116, 116, 88, 64, 100, 116, 80, 56, 128, 160, 72, 92}},
    {kGapParamSize, {84, 116, 116, 88, 64, 100, 108, 80, 48, 128, 160, 72, 92}},
    {kGapParamSize, {80, 102, 102, 96, 64, 96, 96, 88, 40, 160, 128, 72, 80}},
};

constexpr uint32_t Classes(std::initializer_list<int> list) {
    uint32_t mask = 0;
    for (int c : list)
        mask |= 1u << c;
    return mask;
}

// For each previous class, the current classes that continue a fringe.
constexpr uint32_t kFringeSteps[kColorClassCount] = {
    Classes({1, 2, 3, 5, 6, 7, 9, 10, 11, 16, 17, 18, 19, 24, 25, 26, 27}),
    Classes({0, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 24, 25, 26, 27}),
    Classes({16, 17, 18, 19}),
    Classes({16, 17, 18, 19}),
    Classes({1, 2, 3, 5, 7, 9, 10, 11, 12, 13, 16, 17, 18, 19, 25, 26, 27}),
    Classes({0, 2, 3, 4, 6, 7, 8, 11, 12, 13, 14, 15, 16, 24, 25, 26, 27}),
    Classes({0, 1, 5, 9, 12, 13, 16, 17, 18, 19}),
    Classes({0, 1, 4, 5, 9, 12, 13, 16, 17, 18, 19}),
    Classes({0, 1, 2, 5, 6, 12, 13, 16, 17, 18, 19, 20, 21, 22, 23}),
    Classes({0, 2, 3, 4, 6, 7, 8, 12, 13, 16, 20, 21, 22, 23, 24, 25, 26, 27}),
    Classes({0, 1, 4, 5, 9, 12, 13, 16, 17, 18, 19}),
    Classes({0, 1, 4, 5, 9, 12, 13, 16}),
    Classes({2, 3, 4, 6, 7, 8, 9, 10, 11, 16, 24, 25, 26, 27}),
    Classes({2, 3, 4, 6, 7, 8, 9, 10, 11, 16, 24, 25, 26, 27}),
    Classes({0, 1, 4, 12, 13}),
    Classes({0, 1, 4, 12, 13}),
    Classes({1, 5, 6, 7, 9, 10, 11}),
    Classes({1, 4, 5, 6, 7, 8, 9, 10, 11}),
    Classes({1, 5, 6, 7, 9, 10, 11}),
    Classes({1, 5, 6, 7, 9, 10, 11}),
    Classes({8, 9}),
    Classes({8, 9}),
    Classes({8, 9}),
    Classes({8, 9}),
    Classes({0, 1, 4, 5, 8, 12, 13}),
    Classes({0, 4, 8, 12, 13}),
    Classes({0, 4, 8, 12, 13}),
    Classes({0, 1, 4, 5, 8, 12, 13}),
    Classes({1, 5, 6, 7, 9, 10, 11}),
    Classes({1, 5, 6, 7, 9, 10, 11}),
    Classes({1, 5, 6, 7, 9, 10, 11}),
    0,
};

struct Samples {
    int32_t r, g, b, mx, mn;
};
Samples Split(uint32_t rgb) {
    const int32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    return {r, g, b, std::max({r, g, b}), std::min({r, g, b})};
}
} // namespace

const tagGAPPARAM& DefaultGapParam(int32_t resolution) {
    if (resolution <= 150)
        return kDefaultRows[0];
    if (resolution <= 200)
        return kDefaultRows[1];
    if (resolution <= 300)
        return kDefaultRows[2];
    return resolution <= 400 ? kDefaultRows[3] : kDefaultRows[4];
}

const std::array<uint32_t, kColorClassCount * kColorClassCount>& ColorGapBoolMap() {
    static const auto table = [] {
        std::array<uint32_t, kColorClassCount * kColorClassCount> flags{};
        for (int p = 0; p < kColorClassCount; ++p)
            for (int c = 0; c < kColorClassCount; ++c)
                flags[p * kColorClassCount + c] = (kFringeSteps[p] >> c) & 1;
        return flags;
    }();
    return table;
}

const std::array<uint8_t, kColorTableSize>& ByteColorMap() {
    static const auto table = [] {
        std::array<uint8_t, kColorTableSize> classes{};
        CBuildDefColorGapMap builder;
        builder.Init(300, nullptr);
        builder.OutputTable(classes.data(), kColorTableSize);
        return classes;
    }();
    return table;
}

void CBuildDefColorGapMap::Init(int32_t resolution, const tagGAPPARAM* params) {
    if (resolution <= 0)
        return;
    m_GapParam = params && params->dwGapParamSize == kGapParamSize ? *params : DefaultGapParam(resolution);
    m_resolution = resolution;
}

int CBuildDefColorGapMap::OutputTable(uint8_t* table, int32_t size) const {
    if (!table || size < kColorTableSize || m_resolution <= 0)
        return 0;
    for (uint32_t v = 0; v < static_cast<uint32_t>(kColorTableSize); ++v) {
        const uint32_t r = ((v >> 10) & 31) << 3, g = ((v >> 5) & 31) << 3, b = (v & 31) << 3;
        table[v] = IsDoubtColor(r | g << 8 | b << 16);
    }
    return 1;
}

uint8_t CBuildDefColorGapMap::IsDoubtColor(uint32_t rgb) const {
    const Samples s = Split(rgb);
    const int32_t spread = s.mx - s.mn;
    if (s.mx < P(9) && spread <= 24)
        return IsMonoColor(rgb);
    if ((s.mx == P(9) || s.mn >= P(10) - 8) && spread <= 16)
        return IsMonoColor(rgb);
    if (s.mn >= P(10) && std::min(s.mx, P(11) & 0xFF) - s.mn <= 32)
        return IsMonoColor(rgb);
    if (s.mn < P(11) && spread > 8) {
        if (s.mx == s.b)
            return IsDoubtBlue(rgb);
        return s.g <= s.r ? IsDoubtRed(rgb) : IsDoubtGreen(rgb);
    }
    return IsMonoColor(rgb);
}

uint8_t CBuildDefColorGapMap::IsMonoColor(uint32_t rgb) const {
    const Samples s = Split(rgb);
    const int band = s.mx <= P(9) + 16 ? 16 : s.mx <= P(10) ? 20 : 24;
    if (s.mx < s.mn + 3)
        return static_cast<uint8_t>(band | 3);
    if (s.mx == s.r)
        return static_cast<uint8_t>(band);
    return static_cast<uint8_t>(s.mx == s.b ? band | 1 : band | 2);
}

uint8_t CBuildDefColorGapMap::IsDoubtRed(uint32_t rgb) const {
    const Samples s = Split(rgb);
    if (s.g < s.b && s.b > P(12)) {
        if (s.g > P(12) || s.r - s.g > P(6))
            return kClassNone;
        return s.b - s.g <= P(3) ? 12 : kClassNone;
    }
    if (s.g <= P(12) && s.r <= P(4) && s.r - s.g <= P(1))
        return 0;
    const bool near = s.g - s.b <= P(3);
    if ((near || s.r - s.g <= P(2)) && P(13) > s.b)
        return 4;
    return P(13) > s.b || !near ? kClassNone : 8;
}

uint8_t CBuildDefColorGapMap::IsDoubtBlue(uint32_t rgb) const {
    const Samples s = Split(rgb);
    if (s.g < s.r && s.r > P(12)) {
        if (s.g > P(12) || s.r - s.g > P(6))
            return kClassNone;
        return s.b - s.g <= P(7) ? 13 : kClassNone;
    }
    if (s.g <= P(12) && s.b < P(8) && s.b - s.g <= P(5))
        return 1;
    const bool near = s.g - s.r <= P(6);
    if ((near || s.b - s.g <= P(7)) && P(13) > s.r)
        return 5;
    return P(13) > s.r || !near ? kClassNone : 9;
}

uint8_t CBuildDefColorGapMap::IsDoubtGreen(uint32_t rgb) const {
    const Samples s = Split(rgb);
    const int base = s.r == s.mn ? 2 : 3;
    if (s.g <= P(12))
        return static_cast<uint8_t>(base);
    if (s.g <= P(8) && s.g - std::max(s.r, s.b) <= P(9))
        return static_cast<uint8_t>(base | 4);
    if (s.g - s.r <= P(2) && s.g - s.b <= P(3) && s.mn < P(10))
        return static_cast<uint8_t>(base | 8);
    return s.mn >= P(10) ? static_cast<uint8_t>(base | 12) : kClassNone;
}
