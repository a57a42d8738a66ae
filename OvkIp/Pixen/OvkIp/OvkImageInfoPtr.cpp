// Ownership side of CImageInfoPtr: creation, copies and the swap of a rotated image for the held one.
#include "OvkImageInfoPtr.h"

#include "OvkBits.h"
#include "OvkError.h"

#include <new>

int CImageInfoPtr::CreateImage(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp,
                               int32_t xres, int32_t yres) {
    const uint32_t order = spp == 3 ? kOvkPixelOrder : kOvkLineOrder;
    std::unique_ptr<CImageInfo> image(new (std::nothrow) CImageInfo(width, sync, height, bps, spp, order));
    if (image == nullptr || image->GetInfo() == nullptr || image->GetPtr() == nullptr) {
        return 0;
    }
    image->SetResolution(xres, yres);
    m_pImg = std::move(image);
    return 1;
}

int CImageInfoPtr::Rotate(long angle) {
    if (m_pImg == nullptr || m_pImg->GetInfo() == nullptr) {
        OnErrorThrowLong(kIpBadParameter);
    }
    const CImageInfo& src = *m_pImg;
    // A line of the turned image holds one source column: all samples in pixel order, one plane in line
    // order.
    const int32_t lineBits = src.GetBps() * (src.IsLineOrder() ? 1 : src.GetSpp());
    const int32_t sync = PaddedLineBytes(static_cast<int64_t>(src.GetHeight()) * lineBits);
    std::unique_ptr<CImageInfo> turned(new (std::nothrow) CImageInfo(
        src.GetHeight(), sync, src.GetWidth(), src.GetBps(), src.GetSpp(), src.GetRGBOrder()));
    if (turned == nullptr || turned->GetInfo() == nullptr || turned->GetPtr() == nullptr) {
        return 0;
    }
    turned->SetResolution(src.GetXResolution(), src.GetYResolution());
    RotateImage(*turned, src, angle);
    m_pImg = std::move(turned);
    return 1;
}

int CopyCImageInfo(CImageInfoPtr& dst, CImageInfoPtr& src) {
    if (!src) {
        return 0;
    }
    std::unique_ptr<CImageInfo> copy = src->CreateCopy();
    if (copy == nullptr) {
        return 0;
    }
    dst.Attach(std::move(copy));
    return 1;
}

int SameSizeCImageInfo(CImageInfoPtr& dst, CImageInfoPtr& src) {
    if (!src) {
        return 0;
    }
    std::unique_ptr<CImageInfo> image = src->CreateSameSize();
    if (image == nullptr) {
        return 0;
    }
    dst.Attach(std::move(image));
    return 1;
}
