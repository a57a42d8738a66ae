// Line-order colour through three plane objects, red, green, blue, each on its own copy of the record.
#include "EdgeEmphasis/EdgeFuncColor.h"

#include "EdgeEmphasis/EdgeFuncClasses.h"

void OVKIMAGEINFO_Color2Gray(const tagOVKIMAGEINFO* image, tagOVKIMAGEINFO* out, int k) {
    if (!image) {
        out->lHeight = 0;
        return;
    }
    *out = *image;
    out->lSpp = 1;
    out->lSync = 3 * image->lSync;
    if (out->lpImage)
        out->lpImage += static_cast<ptrdiff_t>(image->lSync) * (k - 1);
}

CEdgeFuncColor::CEdgeFuncColor(std::array<std::unique_ptr<CEdgeFuncGray>, 3> planes)
    : m_planes(std::move(planes)) {}

bool CEdgeFuncColor::Fits(const tagOVKIMAGEINFO& image, bool newPage) const {
    if (image.lSpp != 3 || image.ulRGBOrder != kOvkLineOrder || image.lSync < image.lWidth)
        return false;
    tagOVKIMAGEINFO plane{};
    OVKIMAGEINFO_Color2Gray(&image, &plane, 1);
    return m_planes[0]->Fits(plane, newPage);
}

int CEdgeFuncColor::EachPlane(Operation op, tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    static_cast<tagEDGEINFO&>(*this) = *info;
    int result = 0;
    tagEDGEINFO copy{};
    tagOVKIMAGEINFO planeDst{};
    for (int k = 1; k <= 3; ++k) {
        copy = *info;
        tagOVKIMAGEINFO planeSrc{};
        OVKIMAGEINFO_Color2Gray(dst, &planeDst, k);
        OVKIMAGEINFO_Color2Gray(src, &planeSrc, k);
        result =
            (m_planes[static_cast<size_t>(k - 1)].get()->*op)(&planeDst, src ? &planeSrc : nullptr, &copy);
    }
    info->ulLineCount = copy.ulLineCount;
    ulLineCount = copy.ulLineCount;
    dst->lHeight = planeDst.lHeight;
    return result;
}

int CEdgeFuncColor::Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    return EachPlane(&CEdgeFunc::Start, dst, src, info);
}

int CEdgeFuncColor::Cont(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    return EachPlane(&CEdgeFunc::Cont, dst, src, info);
}

int CEdgeFuncColor::Finish(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) {
    return EachPlane(&CEdgeFunc::Finish, dst, src, info);
}
