// Band driver: the first two lines of a page go through their own operations (the kernels have nothing
// above the first), every later line through LineCont, and Finish writes the line still held.
#include "EdgeEmphasis/EdgeFuncGray.h"

#include <cstring>

namespace {
uint8_t* Row(const tagOVKIMAGEINFO& image, int32_t row) {
    return image.lpImage + GetRGBSync(image) * row;
}
} // namespace

tagOVKIMAGEINFO GetBand(const tagOVKIMAGEINFO& in, int32_t first, int32_t count) {
    tagOVKIMAGEINFO out = in;
    out.lHeight = first + count > in.lHeight ? in.lHeight - first : count;
    out.lYpos = 0;
    out.lpImage = in.lpImage ? Row(in, first) : nullptr;
    out.tImageSize = static_cast<uint32_t>(out.lHeight * GetRGBSync(in));
    return out;
}

bool CEdgeFuncGray::Fits(const tagOVKIMAGEINFO& image, bool newPage) const {
    const bool planar = image.ulRGBOrder == kOvkLineOrder;
    const int32_t bpp = BytesPerPixel();
    const bool layout = bpp == 1 ? image.lSpp == 1 : image.lSpp == bpp && !planar;
    return layout && image.lBps == 8 && image.lWidth > 0 && image.lHeight >= 0 &&
           int64_t{image.lSync} >= int64_t{image.lWidth} * bpp && (image.lpImage || image.lHeight == 0) &&
           (newPage || m_width == 0 || image.lWidth == m_width);
}

int32_t CEdgeFuncGray::HeldLines() const {
    return ulLineCount > 0 ? DelayLineNum() : 0;
}

int CEdgeFuncGray::Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    SetInfo(info);
    if (m_width == 0) // this object has seen no line yet, whatever the record says
        ulLineCount = 0;
    dst->lHeight = src->lHeight;
    int32_t n = src->lHeight, o = 0, s = 0;
    const auto feed = [&](int (CEdgeFuncGray::*op)(uint8_t*, const uint8_t*, int32_t)) {
        ++ulLineCount;
        --n;
        if ((this->*op)(Row(*dst, o), Row(*src, s), src->lWidth))
            ++o;
        else
            --dst->lHeight;
        ++s;
    };
    if (ulLineCount == 0 && n > 0) {
        NewBuffer(*src);
        MakeLevelTable();
        m_width = src->lWidth;
        feed(&CEdgeFuncGray::LineStart1);
    }
    if (ulLineCount == 1 && n > 0)
        feed(&CEdgeFuncGray::LineStart2);
    info->ulLineCount = ulLineCount;
    if (n > 0) {
        tagOVKIMAGEINFO dstRest = GetBand(*dst, o, dst->lHeight - o);
        tagOVKIMAGEINFO srcRest = GetBand(*src, s, n);
        Cont(&dstRest, &srcRest, info);
    }
    return 1;
}

int CEdgeFuncGray::Cont(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    if (ulLineCount < 2)
        return Start(dst, src, info);
    int produced = 0;
    for (int32_t i = 0; i < src->lHeight; ++i)
        produced = LineCont(Row(*dst, i), Row(*src, i), src->lWidth);
    dst->lHeight = src->lHeight;
    info->ulLineCount += static_cast<uint32_t>(src->lHeight);
    ulLineCount = info->ulLineCount;
    return produced;
}

int CEdgeFuncGray::Finish(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    int32_t row = 0;
    if (src && src->lHeight > 0) {
        tagOVKIMAGEINFO lines = *dst;
        Cont(&lines, src, info);
        row = lines.lHeight;
    }
    return LineFinish(Row(*dst, row), dst->lWidth);
}

int CEdgeFuncGray::LineStart1(uint8_t* dst, const uint8_t* src, int32_t width) {
    std::memmove(dst, src, static_cast<size_t>(width) * BytesPerPixel());
    return 1;
}
