// Masking outside the outline: the margin moves each chain segment along its normal, and the
// strips between the image edge and the moved segments are filled as trapezoids.
#include "Blank/Outline.h"

#include "OvkBits.h"
#include "OvkError.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using Ovk::tagPOINT;

void GetMiddlePoint(tagPOINT* out, tagPOINT p1, tagPOINT p2, int32_t y) {
    if (p1.y > p2.y)
        std::swap(p1, p2);
    int64_t x = p1.x;
    if (p1.y == p2.y)
        x = (int64_t{p1.x} + p2.x) / 2;
    else if (p1.x != p2.x)
        x = p1.x + (int64_t{y} - p1.y) * (int64_t{p2.x} - p1.x) / (int64_t{p2.y} - p1.y);
    *out = {static_cast<int32_t>(x), y};
}

void FillBits(uint8_t* line, int32_t first, int32_t count, int on) {
    BitSet(line, first, on, count);
}

int IsInside(const CImageInfo& image, tagPOINT p) {
    return p.x >= 0 && p.y >= 0 && p.x < image.GetWidth() && p.y < image.GetHeight();
}

namespace {
void fillRun(CImageInfo& image, int32_t y, int32_t first, int32_t last, int value) {
    const int32_t count = last - first + 1;
    const int32_t bits = image.GetBps() * image.GetSpp();
    if (bits == 1) {
        FillBits(image.PixelPtr(0, y), first, count, value);
    } else if (bits == 8) {
        std::memset(image.PixelPtr(first, y), value, count);
    } else if (bits == 24 && image.GetBps() == 8 && image.IsLineOrder()) {
        for (int32_t k = 0; k < 3; ++k)
            std::memset(image.PixelPtr(first, y) + k * image.GetSync(), value, count);
    } else if (bits == 24 && image.GetBps() == 8) {
        std::memset(image.PixelPtr(first, y), value, 3 * static_cast<size_t>(count));
    }
}
} // namespace

int FillTrapezoid(CImageInfo& image, tagPOINT tl, tagPOINT tr, tagPOINT br, tagPOINT bl, int value) {
    if (tl.y != tr.y || bl.y != br.y)
        return 0;
    const int32_t width = image.GetWidth();
    for (int32_t y = std::max(tl.y, 0); y <= std::min(bl.y, image.GetHeight() - 1); ++y) {
        tagPOINT left = {};
        tagPOINT right = {};
        GetMiddlePoint(&left, tl, bl, y);
        GetMiddlePoint(&right, tr, br, y);
        if (left.x >= width || right.x < 0)
            continue;
        const int32_t first = std::max(left.x, 0);
        const int32_t last = std::min(right.x, width - 1);
        if (first <= last)
            fillRun(image, y, first, last, value);
    }
    return 1;
}

namespace {
int32_t roundHalfUp(double v) {
    return static_cast<int32_t>(v + 0.5);
}

// Strip between x = 0 (left chain) or the right image edge and the segment p-q moved m pixels into
// the document, along the segment's normal.
void fillSide(CImageInfo& image, tagPOINT p, tagPOINT q, int32_t m, bool leftChain, int value) {
    const int32_t edge = image.GetWidth() - 1;
    int32_t s = m;
    int32_t u = m;
    int32_t v = 0;
    if (p.x != q.x) {
        const double dx = std::abs(static_cast<double>(p.x) - q.x);
        const double dy = std::abs(static_cast<double>(q.y) - p.y);
        const double len = std::sqrt(dx * dx + dy * dy);
        s = roundHalfUp(m * len / dy);
        u = roundHalfUp(m * dy / len);
        v = roundHalfUp(m * dx / len);
    }
    if (leftChain) {
        if (q.x < p.x)
            FillTrapezoid(image, {0, p.y}, {p.x + s, p.y}, {q.x + u, q.y + v}, {0, q.y + v}, value);
        else
            FillTrapezoid(image, {0, p.y - v}, {p.x + u, p.y - v}, {q.x + s, q.y}, {0, q.y}, value);
    } else {
        if (p.x < q.x)
            FillTrapezoid(image, {p.x - s, p.y}, {edge, p.y}, {edge, q.y + v}, {q.x - u, q.y + v}, value);
        else
            FillTrapezoid(image, {p.x - u, p.y - v}, {edge, p.y - v}, {edge, q.y}, {q.x - s, q.y}, value);
    }
}

void fillRows(CImageInfo& image, int32_t top, int32_t bottom, int value) {
    const int32_t edge = image.GetWidth() - 1;
    FillTrapezoid(image, {0, top}, {edge, top}, {edge, bottom}, {0, bottom}, value);
}

void maskOutside(CImageInfo& image, const tagDETOUTLINEINFO& outline) {
    const int value = image.GetBps() == 1 ? 0 : 255;
    const int32_t m =
        static_cast<int32_t>(int64_t{std::max(0, -outline.lMargin)} * image.GetXResolution() / 25400);
    const int32_t height = image.GetHeight();
    const tagPOINT* left = outline.pLeft;
    if (outline.lLeftCount > 1) {
        const int32_t top = left[0].y;
        const int32_t bottom = left[outline.lLeftCount - 1].y;
        if (top != 0)
            fillRows(image, 0, top + m - 1, value);
        // The last document row stays: only the rows below it are outside.
        if (bottom != height - 1)
            fillRows(image, bottom + 1 - m, height - 1, value);
        for (int32_t i = 0; i + 1 < outline.lLeftCount; ++i)
            if (left[i].y != left[i + 1].y)
                fillSide(image, left[i], left[i + 1], m, true, value);
    }
    const tagPOINT* right = outline.pRight;
    for (int32_t i = 0; i + 1 < outline.lRightCount; ++i)
        if (right[i].y != right[i + 1].y)
            fillSide(image, right[i], right[i + 1], m, false, value);
}
} // namespace

int ImageMask(tagOVKIMAGEINFO* image, tagDETOUTLINEINFO* info) {
    IpSetLastError(kIpSuccess);
    if (!image || !info || info->ulSize < sizeof(tagDETOUTLINEINFO)) {
        IpSetLastError(kIpBadParameter);
        return -1;
    }
    tagDETOUTLINEINFO outline = *info;
    const bool detectedHere = outline.lDetected == 0;
    if (detectedHere)
        if (const int result = DetectOutline(image, &outline))
            return result;
    try {
        CImageInfo view(image);
        if (view.IsValidLayout())
            maskOutside(view, outline);
    } catch (...) {
        IpSetLastError(IpCaughtCode());
    }
    if (detectedHere)
        ReleaseOutline(&outline);
    return IpGetLastError() == kIpSuccess ? 0 : -1;
}
