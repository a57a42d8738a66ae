// Pixel and region operations of CImageInfo. Every access is clipped to lWidth x lHeight first, so an
// analysis may probe around an image's border without checking coordinates itself.
#include "OvkImageInfo.h"

#include "OvkBits.h"
#include "OvkError.h"

#include <algorithm>
#include <cstring>
#include <new>

void CImageInfo::PSET2(int32_t x, int32_t y, int on) {
    if (!Inside(x, y)) {
        return;
    }
    unsigned char& byte = m_pInfo->lpImage[Row(y) + x / 8];
    byte = static_cast<unsigned char>(on ? byte | kBit[x & 7] : byte & ~kBit[x & 7]);
}

uint16_t CImageInfo::PGET16(int32_t x, int32_t y) const {
    uint16_t value = 0;
    if (Inside(x, y)) {
        std::memcpy(&value, m_pInfo->lpImage + Row(y) + 2 * static_cast<ptrdiff_t>(x), sizeof value);
    }
    return value;
}

void CImageInfo::PSET16(int32_t x, int32_t y, uint16_t value) {
    if (Inside(x, y)) {
        std::memcpy(m_pInfo->lpImage + Row(y) + 2 * static_cast<ptrdiff_t>(x), &value, sizeof value);
    }
}

void CImageInfo::PSET24(int32_t x, int32_t y, uint32_t rgb) {
    if (!Inside(x, y) || m_pInfo->lSpp != 3 || m_pInfo->lBps != 8) {
        return;
    }
    unsigned char* p = PixelPtr(x, y);
    const ptrdiff_t step = IsLineOrder() ? m_pInfo->lSync : 1;
    for (int k = 0; k < 3; ++k) {
        p[k * step] = static_cast<unsigned char>(rgb >> (8 * k));
    }
}

void CImageInfo::VertLine(int32_t x, int32_t y, int32_t length, uint32_t colour) {
    if (m_pInfo->lBps != 8 || x < 0 || x >= m_pInfo->lWidth || (m_pInfo->lSpp != 1 && !IsLineOrder())) {
        return;
    }
    const int32_t first = std::max(y, 0);
    const int32_t last =
        static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(y) + length, m_pInfo->lHeight));
    const bool grey = m_pInfo->lSpp == 1;
    for (int32_t line = first; line < last; ++line) {
        unsigned char* p = PixelPtr(x, line);
        if (grey) {
            *p = static_cast<unsigned char>(colour);
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            p[k * static_cast<ptrdiff_t>(m_pInfo->lSync)] =
                static_cast<unsigned char>(colour >> (8 * (k + 1)));
        }
    }
}

uint64_t CImageInfo::RectSum(const Ovk::tagRECT* r, uint32_t* count) const {
    const int64_t x0 = std::max<int64_t>(r->x, 0);
    const int64_t y0 = std::max<int64_t>(r->y, 0);
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(r->x) + r->width, m_pInfo->lWidth);
    const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(r->y) + r->height, m_pInfo->lHeight);
    uint64_t sum = 0;
    uint32_t bytes = 0;
    if (x1 > x0 && y1 > y0) {
        const ptrdiff_t stride = m_pInfo->lSync;
        const unsigned char* line = PixelPtr(static_cast<int32_t>(x0), static_cast<int32_t>(y0));
        for (int64_t y = y0; y < y1; ++y, line += stride) {
            for (int64_t x = 0; x < x1 - x0; ++x) {
                sum += line[x];
            }
        }
        bytes = static_cast<uint32_t>((x1 - x0) * (y1 - y0));
    }
    if (count != nullptr) {
        *count = bytes;
    }
    return sum;
}

uint8_t CImageInfo::RectAve(const Ovk::tagRECT* r) const {
    uint32_t count = 0;
    const uint64_t sum = RectSum(r, &count);
    OnAssertThrow(count != 0, kIpBadParameter);
    return static_cast<uint8_t>(RoundDiv(sum, count));
}

void CImageInfo::Reverse() {
    memneg(m_pInfo->lpImage, m_pInfo->tImageSize);
}

int CImageInfo::SetBlackIs(int black) {
    if ((black != 0) != (m_bBlackIs != 0)) {
        Reverse();
        m_bBlackIs = m_bBlackIs != 0 ? 0 : 1;
    }
    return m_bBlackIs;
}

std::unique_ptr<CImageInfo> CImageInfo::CreateSameSize() const {
    std::unique_ptr<CImageInfo> image(new (std::nothrow)
                                          CImageInfo(m_pInfo->lWidth, m_pInfo->lSync, m_pInfo->lHeight,
                                                     m_pInfo->lBps, m_pInfo->lSpp, m_pInfo->ulRGBOrder));
    if (image == nullptr || image->GetInfo() == nullptr || image->GetPtr() == nullptr) {
        return nullptr;
    }
    return image;
}

std::unique_ptr<CImageInfo> CImageInfo::CreateCopy() const {
    std::unique_ptr<CImageInfo> image = CreateSameSize();
    if (image != nullptr && m_pInfo->lpImage != nullptr) {
        std::memcpy(image->GetPtr(), m_pInfo->lpImage, std::min(image->GetSize(), m_pInfo->tImageSize));
    }
    return image;
}

void CImageInfo::Trim(Ovk::tagRECT r) {
    if (m_bAllocBuffer != 0) {
        return; // an owned buffer cannot become a view into itself
    }
    // Clipped to the image, so the view never reaches outside the buffer.
    const int64_t x0 = std::clamp<int64_t>(r.x, 0, m_pInfo->lWidth);
    const int64_t y0 = std::clamp<int64_t>(r.y, 0, m_pInfo->lHeight);
    const int64_t x1 = std::clamp<int64_t>(int64_t{r.x} + r.width, x0, m_pInfo->lWidth);
    const int64_t y1 = std::clamp<int64_t>(int64_t{r.y} + r.height, y0, m_pInfo->lHeight);
    unsigned char* corner = PixelPtr(static_cast<int32_t>(x0), static_cast<int32_t>(y0));
    SetWidth(static_cast<int32_t>(x1 - x0));
    SetHeight(static_cast<int32_t>(y1 - y0));
    SetPtr(corner);
}

void CImageInfo::Trim(double keep) {
    if (keep < 0.0 || keep >= 1.0) {
        return;
    }
    const auto dx = static_cast<int32_t>(m_pInfo->lWidth * (1.0 - keep) * 0.5);
    const auto dy = static_cast<int32_t>(m_pInfo->lHeight * (1.0 - keep) * 0.5);
    Trim(Ovk::tagRECT{dx, dy, m_pInfo->lWidth - 2 * dx, m_pInfo->lHeight - 2 * dy});
}

bool CImageInfo::operator==(const CImageInfo& other) const {
    const tagOVKIMAGEINFO& a = *m_pInfo;
    const tagOVKIMAGEINFO& b = *other.m_pInfo;
    if (a.lWidth != b.lWidth || a.lHeight != b.lHeight || a.lBps != b.lBps || a.lSpp != b.lSpp ||
        a.ulRGBOrder != b.ulRGBOrder) {
        return false;
    }
    // Every sample of a line counts, and in line order every plane is a line of its own.
    const bool lineOrder = IsLineOrder();
    const int64_t bits = static_cast<int64_t>(a.lWidth) * a.lBps * (lineOrder ? 1 : a.lSpp);
    const int64_t lines = static_cast<int64_t>(a.lHeight) * (lineOrder ? a.lSpp : 1);
    for (int64_t line = 0; line < lines; ++line) {
        if (CompareBits(a.lpImage + line * a.lSync, b.lpImage + line * b.lSync, static_cast<int32_t>(bits)) !=
            0) {
            return false;
        }
    }
    return true;
}
