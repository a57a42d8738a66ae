// Fixed-slice binarisation and the per-call set-up shared by every method: line pointers start at line
// lYpos of each image and advance by the layout stride, so line-order colour steps over its three planes.
#include "CBFunc.h"

#include "OvkBits.h"

namespace {
unsigned char* FirstLine(tagOVKIMAGEINFO* image, ptrdiff_t stride) {
    return image->lpImage + stride * image->lYpos;
}
ptrdiff_t StrideOf(const tagOVKIMAGEINFO* image) {
    const ptrdiff_t planes = image->ulRGBOrder == kOvkLineOrder ? image->lSpp : 1;
    return static_cast<ptrdiff_t>(image->lSync) * planes;
}
} // namespace

void CBFunc::SetDst(tagOVKIMAGEINFO* dst) {
    m_dstSync = dst->lSync;
    m_dstStride = StrideOf(dst);
    m_dst = FirstLine(dst, m_dstStride);
}

void CBFunc::SetSrc(tagOVKIMAGEINFO* src) {
    m_srcSync = src->lSync;
    m_srcStride = StrideOf(src);
    m_src = FirstLine(src, m_srcStride);
    m_width = src->lWidth;
    m_lines = src->lHeight;
    m_order = src->ulRGBOrder;
    m_xres = src->lXResolution;
    m_yres = src->lYResolution;
}

void CBFunc::SetSlice(tagBINFUNCINFO* info) {
    m_sliceLevel = info->lSliceLevel;
    m_sliceLevel2 = info->lSliceLevel2;
    m_slice = m_lineCount != 0 ? m_sliceLevel2 : m_sliceLevel;
}

void CBFunc::SetBInfo(tagBINFUNCINFO* info) {
    m_lineCount = info->lLineCount;
    SetSlice(info);
}

int CBFunc::Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    if (!Accepts(dst, src)) {
        return 0;
    }
    SetDst(dst);
    SetSrc(src);
    SetBInfo(info);
    return 1;
}

void CBFunc::Line(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    if (!Accepts(dst, src)) {
        return;
    }
    SetDst(dst);
    SetSrc(src);
    Line();
    WriteBack(info);
}

void CBFunc::Rect(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    if (Start(dst, src, info) == 0) {
        return;
    }
    Rect();
    WriteBack(info);
}

void CBFunc::Rect() {
    for (int32_t line = 0; line < m_lines; ++line) {
        Line();
    }
}

void CBFunc::Line() {
    std::memset(m_dst, 0, static_cast<size_t>(m_dstSync));
    PackBelow(m_src, m_dst, m_width, m_slice);
    NextLine();
}

void CBFunc::NextLine() {
    m_dst += m_dstStride;
    m_src += m_srcStride;
    ++m_lineCount;
}

void CBFunc::WriteBack(tagBINFUNCINFO* info) const {
    info->lSliceLevel2 = m_slice;
    info->lLineCount = m_lineCount;
}
