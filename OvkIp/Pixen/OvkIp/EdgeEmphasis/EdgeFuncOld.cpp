// Older edge emphasis on process-wide state: per plane the held line, the line before it and three work
// lines. Finished lines wait in the work lines until the source line they overwrite is no longer needed,
// so bands are processed in place.
#include "EdgeEmphasis/EdgeFuncOld.h"

#include "EdgeEmphasis/EdgeLevels.h"
#include "OvkError.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {
constexpr int kSlots = 5; // held, before, three work lines
constexpr int32_t kLevelRange = 1024;

// One image as the older functions address it.
struct Lines {
    uint8_t* base = nullptr;
    ptrdiff_t stride = 0;
    int32_t sync = 0;
    int32_t height = 0;
    uint8_t* Row(int32_t r, int plane) const { return base + stride * r + ptrdiff_t{sync} * plane; }
};

struct OldState {
    int32_t edf_width = 0; // 0: no page in progress
    int32_t spp = 0;
    int planes = 0;      // planes worked on
    bool mirror = false; // the first plane's result is copied to the others
    uint32_t mode = 0;
    std::vector<uint8_t> edf_heap;
    std::array<int32_t, 2 * kLevelRange> ExIntToByteTable{};
    uint8_t* Slot(int plane, int k) { return edf_heap.data() + size_t(plane * kSlots + k) * edf_width; }
    const int32_t* Level() const { return ExIntToByteTable.data() + kLevelRange; }
};
OldState g_edf;

bool View(const tagOVKIMAGEINFO* image, Lines& out) {
    if (!image || image->lBps != 8 || (image->lSpp != 1 && image->lSpp != 3) || !image->lpImage ||
        image->lWidth <= 0 || image->lHeight < 0 || image->lXpos < 0 || image->lYpos < 0 ||
        int64_t{image->lXpos} + image->lWidth > image->lSync)
        return false;
    out.sync = image->lSync;
    out.stride = ptrdiff_t{image->lSync} * image->lSpp;
    out.base = image->lpImage + image->lXpos + out.stride * image->lYpos;
    out.height = image->lHeight;
    return true;
}

EdgeLevelRule RuleOf(uint32_t mode) {
    switch (mode) {
    case 1:
        return EdgeLevel::Sixteenth;
    case 3:
        return EdgeLevel::Cored3;
    case 4:
        return EdgeLevel::Cored4;
    case 5:
        return EdgeLevel::Cored5;
    default:
        return EdgeLevel::Zero;
    }
}

// edf_oneline: mode 1 measures against the diagonal neighbours, 3 to 5 against the cross.
void OneLine(uint8_t* out, const uint8_t* line, const uint8_t* above, const uint8_t* below) {
    const int32_t w = g_edf.edf_width;
    if (g_edf.mode == 2 || w < 3) {
        std::memcpy(out, line, size_t(w));
        return;
    }
    const int32_t* level = g_edf.Level();
    out[0] = line[0];
    out[w - 1] = line[w - 1];
    for (int32_t x = 1; x < w - 1; ++x) {
        const int32_t p = line[x];
        const int32_t d = g_edf.mode == 1 ? above[x - 1] + above[x + 1] + below[x - 1] + below[x + 1] - 4 * p
                                          : 4 * p - (line[x - 1] + line[x + 1] + above[x] + below[x]);
        out[x] = kEdgeToByte[p + level[d]];
    }
}

void Write(const Lines& dst, int32_t row, int plane, const uint8_t* line) {
    const size_t n = size_t(g_edf.edf_width);
    std::memcpy(dst.Row(row, plane), line, n);
    if (g_edf.mirror)
        for (int other = 1; other < 3; ++other)
            std::memcpy(dst.Row(row, other), line, n);
}

void EndPage() {
    g_edf.edf_width = 0;
    std::vector<uint8_t>().swap(g_edf.edf_heap);
}

// EdgeStartCore: the first line unchanged, the inner lines finished, the last one held.
void StartPlane(const Lines& dst, const Lines& src, int plane) {
    const size_t n = size_t(g_edf.edf_width);
    const int32_t h = src.height;
    uint8_t* pending = g_edf.Slot(plane, 3);
    uint8_t* free = g_edf.Slot(plane, 4);
    std::memcpy(pending, src.Row(0, plane), n);
    std::memcpy(g_edf.Slot(plane, 0), src.Row(h - 1, plane), n);
    std::memcpy(g_edf.Slot(plane, 1), src.Row(h - 2, plane), n);
    for (int32_t i = 1; i <= h - 2; ++i) {
        OneLine(free, src.Row(i, plane), src.Row(i - 1, plane), src.Row(i + 1, plane));
        Write(dst, i - 1, plane, pending);
        std::swap(pending, free);
    }
    Write(dst, h - 2, plane, pending);
}

// EdgeContCore: the held line finished, then the band's lines but its last, which becomes the held one.
void ContPlane(const Lines& dst, const Lines& src, int plane) {
    const size_t n = size_t(g_edf.edf_width);
    const int32_t h = src.height;
    uint8_t* held = g_edf.Slot(plane, 0);
    uint8_t* before = g_edf.Slot(plane, 1);
    uint8_t* first = g_edf.Slot(plane, 2);
    uint8_t* second = g_edf.Slot(plane, 3);
    uint8_t* free = g_edf.Slot(plane, 4);
    OneLine(first, held, before, src.Row(0, plane));
    if (h == 1) {
        std::memcpy(before, held, n);
        std::memcpy(held, src.Row(0, plane), n);
        Write(dst, 0, plane, first);
        return;
    }
    OneLine(second, src.Row(0, plane), held, src.Row(1, plane));
    for (int32_t i = 1; i <= h - 2; ++i) {
        OneLine(free, src.Row(i, plane), src.Row(i - 1, plane), src.Row(i + 1, plane));
        Write(dst, i - 1, plane, first);
        std::swap(first, second);
        std::swap(second, free);
    }
    std::memcpy(before, src.Row(h - 2, plane), n);
    std::memcpy(held, src.Row(h - 1, plane), n);
    Write(dst, h - 2, plane, first);
    Write(dst, h - 1, plane, second);
}

bool SameLayout(const tagOVKIMAGEINFO& image) {
    return g_edf.edf_width != 0 && image.lWidth == g_edf.edf_width && image.lSpp == g_edf.spp;
}

// The single line `rows` lines below image's first.
tagOVKIMAGEINFO LineBelow(const tagOVKIMAGEINFO& image, int32_t rows) {
    tagOVKIMAGEINFO line = image;
    line.lpImage += ptrdiff_t{image.lSync} * image.lSpp * rows;
    line.lHeight = 1;
    return line;
}
} // namespace

int EdgeFuncStart(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t mode) {
    Lines in, out;
    if (!View(src, in) || !View(dst, out) || in.height < 2 || out.height < in.height - 1 || mode < 1 ||
        mode > 5 || dst->lSpp != src->lSpp || dst->lWidth != src->lWidth)
        return -1;
    EndPage();
    try {
        g_edf.edf_heap.assign(size_t(src->lWidth) * 3 * kSlots, 0);
    } catch (...) {
        return -1;
    }
    g_edf.edf_width = src->lWidth;
    g_edf.spp = src->lSpp;
    g_edf.mirror = src->lSpp == 3 && (src->ulRGBOrder & 2) != 0;
    g_edf.planes = src->lSpp == 3 && !g_edf.mirror ? 3 : 1;
    g_edf.mode = mode;
    const EdgeLevelRule rule = RuleOf(mode);
    for (int32_t d = -kLevelRange; d < kLevelRange; ++d)
        g_edf.ExIntToByteTable[size_t(d + kLevelRange)] = rule(d);
    for (int plane = 0; plane < g_edf.planes; ++plane)
        StartPlane(out, in, plane);
    return 0;
}

int EdgeFuncCont(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t /*mode*/) {
    Lines in, out;
    if (!View(src, in) || !SameLayout(*src))
        return -1;
    if (in.height == 0)
        return 0;
    if (!View(dst, out) || !SameLayout(*dst) || out.height < in.height)
        return -1;
    for (int plane = 0; plane < g_edf.planes; ++plane)
        ContPlane(out, in, plane);
    return 0;
}

int EdgeFuncFinish(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* /*src*/, uint32_t /*mode*/) {
    if (g_edf.edf_width == 0)
        return -1;
    Lines out;
    if (View(dst, out) && out.height > 0 && SameLayout(*dst))
        for (int plane = 0; plane < g_edf.planes; ++plane)
            Write(out, 0, plane, g_edf.Slot(plane, 0));
    EndPage();
    return 0;
}

int EdgeFunc(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t mode) {
    if (EdgeFuncStart(dst, src, mode) != 0)
        return -1;
    tagOVKIMAGEINFO last = LineBelow(*dst, src->lHeight - 1);
    return EdgeFuncFinish(&last, src, mode);
}

int EdgeFuncOldStartEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    IpSetLastError(kIpSuccess);
    if (EdgeFuncStart(dst, src, info->ulLevel) != 0)
        return -1;
    dst->lHeight = src->lHeight - 1;
    info->ulLineCount = static_cast<uint32_t>(dst->lHeight);
    return 0;
}

int EdgeFuncOldContEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    IpSetLastError(kIpSuccess);
    if (EdgeFuncCont(dst, src, info->ulLevel) != 0)
        return -1;
    info->ulLineCount += static_cast<uint32_t>(src->lHeight);
    dst->lHeight = src->lHeight;
    return 0;
}

// A last band of any length goes through the middle-band step first, so the held line keeps its place.
int EdgeFuncOldFinishEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    IpSetLastError(kIpSuccess);
    const int32_t lines = src && src->lHeight > 0 ? src->lHeight : 0;
    if (!dst || dst->lHeight < lines + 1 || (lines > 0 && EdgeFuncCont(dst, src, info->ulLevel) != 0))
        return -1;
    tagOVKIMAGEINFO last = LineBelow(*dst, lines);
    if (EdgeFuncFinish(&last, src, info->ulLevel) != 0)
        return -1;
    info->ulLineCount += static_cast<uint32_t>(lines + 1);
    dst->lHeight = lines + 1;
    return 0;
}

int EdgeFuncOldEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    return EdgeFunc(dst, src, info->ulLevel);
}
