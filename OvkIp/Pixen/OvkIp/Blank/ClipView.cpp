// Rectangle copies between images and in place.
#include "Blank/ClipView.h"

#include "OvkBits.h"
#include "OvkError.h"

#include <algorithm>
#include <cstring>

namespace {
// Clamps the rectangle to both images; false when nothing inside both remains.
bool clampToImages(const CImageInfo& dst, const CImageInfo& src, tagCLIPVIEWINFO& r) {
    if (r.lDstX < 0 || r.lDstY < 0 || r.lSrcX < 0 || r.lSrcY < 0)
        return false;
    if (src.GetWidth() < r.lDstX || src.GetHeight() < r.lDstY)
        return false;
    r.lWidth = std::min({r.lWidth, dst.GetWidth() - r.lDstX, src.GetWidth() - r.lSrcX});
    r.lHeight = std::min({r.lHeight, dst.GetHeight() - r.lDstY, src.GetHeight() - r.lSrcY});
    return r.lWidth > 0 && r.lHeight > 0;
}
} // namespace

int ClipView(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagCLIPVIEWINFO* info) {
    IpSetLastError(kIpSuccess);
    if (!dst || !src || !info)
        return 0;
    try {
        CImageInfo to(dst);
        CImageInfo from(src);
        if (to.GetBps() != from.GetBps() || to.GetSpp() != from.GetSpp() || !to.IsValidLayout() ||
            !from.IsValidLayout())
            return 0;
        tagCLIPVIEWINFO r = *info;
        if (!clampToImages(to, from, r))
            return 0;
        if (to.GetBps() == 1 && to.GetSpp() == 1) {
            BitStepCopy(to.PixelPtr(0, r.lDstY), r.lDstX, from.PixelPtr(0, r.lSrcY), r.lSrcX, r.lWidth,
                        r.lHeight, static_cast<int32_t>(to.GetStride()),
                        static_cast<int32_t>(from.GetStride()));
        } else if (to.GetBps() == 8 && (to.GetSpp() == 1 || to.GetSpp() == 3)) {
            if (to.IsLineOrder() != from.IsLineOrder())
                return 0;
            const bool lineOrder = to.IsLineOrder();
            // Planes of a line in line order lie one line length apart: copy them as lines of their own.
            const int32_t bytes = lineOrder || to.GetSpp() == 1 ? r.lWidth : 3 * r.lWidth;
            const int32_t planes = lineOrder ? 3 : 1;
            for (int32_t k = 0; k < planes; ++k)
                MemStepCopy(to.PixelPtr(r.lDstX, r.lDstY) + k * to.GetSync(),
                            from.PixelPtr(r.lSrcX, r.lSrcY) + k * from.GetSync(), bytes,
                            static_cast<uint32_t>(r.lHeight), static_cast<int32_t>(to.GetStride()),
                            static_cast<int32_t>(from.GetStride()));
        } else {
            return 0;
        }
        info->lWidth = r.lWidth;
        info->lHeight = r.lHeight;
        return 1;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return 0;
    }
}

int ClipViewOwnBuffer(tagOVKIMAGEINFO* image, tagCLIPVIEWINFO* info) {
    if (!image || !info || info->lDstX != 0 || info->lDstY != 0)
        return -1;
    try {
        CImageInfo view(image);
        if (view.GetBps() != 8 || view.IsLineOrder() || !view.IsValidLayout())
            return -1;
        tagCLIPVIEWINFO r = *info;
        if (!clampToImages(view, view, r))
            return -1;
        const int32_t sync = PaddedLineBytes(int64_t{r.lWidth} * 8 * view.GetSpp());
        if (sync > view.GetStride())
            return -1;
        for (int32_t y = 0; y < r.lHeight; ++y)
            std::memmove(view.GetPtr() + static_cast<ptrdiff_t>(sync) * y,
                         view.PixelPtr(r.lSrcX, r.lSrcY + y), static_cast<size_t>(r.lWidth) * view.GetSpp());
        view.SetWidth(r.lWidth);
        view.SetSync(sync);
        view.SetHeight(r.lHeight);
        info->lWidth = r.lWidth;
        info->lHeight = r.lHeight;
        return 0;
    } catch (...) {
        return -1;
    }
}

int Clip(CImageInfo& dst, CImageInfo& src, const Ovk::tagRECT* r) {
    tagCLIPVIEWINFO info = {sizeof(tagCLIPVIEWINFO), 0, 0, r->x, r->y, r->width, r->height};
    return ClipView(dst.GetInfo(), src.GetInfo(), &info);
}
