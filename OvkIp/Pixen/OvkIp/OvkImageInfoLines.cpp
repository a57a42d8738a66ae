// Line-layout operations of CImageInfo: repacking lines, cutting lines and columns, and copying lines,
// columns and rectangles in or out. Each checks its rectangle against the image first and otherwise
// does nothing, so no caller can make it touch memory outside the buffer.
#include "OvkImageInfo.h"

#include "OvkBits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

int64_t CImageInfo::LineBits() const {
    const int64_t samples = m_pInfo->ulRGBOrder == kOvkPixelOrder ? m_pInfo->lSpp : 1;
    return static_cast<int64_t>(m_pInfo->lWidth) * m_pInfo->lBps * samples;
}

int64_t CImageInfo::PlaneLines() const {
    return static_cast<int64_t>(m_pInfo->lHeight) *
           (m_pInfo->ulRGBOrder == kOvkLineOrder ? m_pInfo->lSpp : 1);
}

void CImageInfo::Relay(int32_t newSync, int32_t x) {
    const int32_t oldSync = m_pInfo->lSync;
    const int64_t offset = static_cast<int64_t>(x) * m_pInfo->lBps;
    const int64_t bits = LineBits();
    const int64_t lines = PlaneLines();
    if (x < 0 || offset + bits > int64_t{oldSync} * 8 || bits > int64_t{newSync} * 8) {
        return;
    }
    // Forward when shrinking, backward when growing, so that no line is overwritten before it is read.
    std::vector<unsigned char> line(static_cast<size_t>(std::max(oldSync, newSync)));
    for (int64_t k = 0; k < lines; ++k) {
        const int64_t i = newSync < oldSync ? k : lines - 1 - k;
        std::fill(line.begin(), line.end(), 0);
        BitStepCopy(line.data(), 0, m_pInfo->lpImage + i * oldSync, static_cast<int32_t>(offset),
                    static_cast<int32_t>(bits), 1, newSync, oldSync);
        std::memcpy(m_pInfo->lpImage + i * newSync, line.data(), static_cast<size_t>(newSync));
    }
    SetSync(newSync);
}

void CImageInfo::SetPack1(int32_t x) {
    const auto packed = static_cast<int32_t>((LineBits() + 7) / 8);
    if (m_pInfo->lSync > packed) {
        Relay(packed, x);
    }
}

void CImageInfo::SetPackN(int n, int32_t x) {
    if (n <= 0) {
        return;
    }
    const auto length = static_cast<int32_t>((LineBits() + 8 * n - 1) / (8 * n) * n);
    if (length < m_pInfo->lSync) {
        Relay(length, x);
        return;
    }
    if (length == m_pInfo->lSync || m_bAllocBuffer == 0 || m_bAllocTypeVirtualYes != 0) {
        return;
    }
    // Growing needs room that only an owned buffer can be given.
    const uint64_t size = static_cast<uint64_t>(length) * static_cast<uint64_t>(PlaneLines());
    void* grown = size <= UINT32_MAX ? std::realloc(m_pInfo->lpImage, size == 0 ? 1 : size) : nullptr;
    if (grown != nullptr) {
        m_pInfo->lpImage = static_cast<unsigned char*>(grown);
        Relay(length, x);
    }
}

void CImageInfo::CrearUnusedArea(uint32_t value) {
    if (m_pInfo->lBps != 8 || m_pInfo->ulRGBOrder != kOvkLineOrder || m_pInfo->lSync <= m_pInfo->lWidth) {
        return;
    }
    for (int64_t k = 0; k < PlaneLines(); ++k) {
        std::memset(m_pInfo->lpImage + k * m_pInfo->lSync + m_pInfo->lWidth, static_cast<int>(value & 0xFF),
                    static_cast<size_t>(m_pInfo->lSync - m_pInfo->lWidth));
    }
}

int32_t CImageInfo::ColumnBytes() const {
    const bool grey = m_pInfo->lSpp == 1 && (m_pInfo->lBps == 8 || m_pInfo->lBps == 16);
    const bool planes = m_pInfo->lBps == 8 && IsLineOrder();
    return grey || planes ? m_pInfo->lBps / 8 : 0;
}

void CImageInfo::ShiftLeft(int32_t n) {
    const int32_t bytes = ColumnBytes();
    if (bytes == 0 || n < 0 || n > m_pInfo->lWidth) {
        return;
    }
    const size_t shift = static_cast<size_t>(n) * bytes;
    if (shift < m_pInfo->tImageSize) {
        std::memmove(m_pInfo->lpImage, m_pInfo->lpImage + shift, m_pInfo->tImageSize - shift);
    }
    SetWidth(m_pInfo->lWidth - n);
}

void CImageInfo::Shift(int32_t n) {
    if (n < 0) {
        ShiftLeft(-n);
    }
}

void CImageInfo::CutOffH(int32_t y, int32_t n) {
    const int32_t height = m_pInfo->lHeight;
    const int64_t first = std::clamp<int64_t>(y, 0, height);
    const int64_t end = std::clamp<int64_t>(int64_t{y} + n, first, height);
    if (end <= first) {
        return;
    }
    const ptrdiff_t stride = GetStride();
    std::memmove(m_pInfo->lpImage + first * stride, m_pInfo->lpImage + end * stride,
                 static_cast<size_t>((height - end) * stride));
    SetHeight(static_cast<int32_t>(height - (end - first)));
}

void CImageInfo::CutOffV(int32_t x, int32_t n) {
    const int32_t bytes = ColumnBytes();
    const int32_t width = m_pInfo->lWidth;
    const int64_t first = std::clamp<int64_t>(x, 0, width);
    const int64_t end = std::clamp<int64_t>(int64_t{x} + n, first, width);
    if (bytes == 0 || end <= first) {
        return;
    }
    for (int64_t k = 0; k < PlaneLines(); ++k) {
        unsigned char* line = m_pInfo->lpImage + k * m_pInfo->lSync;
        std::memmove(line + first * bytes, line + end * bytes, static_cast<size_t>((width - end) * bytes));
    }
    SetWidth(static_cast<int32_t>(width - (end - first)));
}

void CImageInfo::PutImage(int32_t x, int32_t y, const CImageInfo& src) {
    const tagOVKIMAGEINFO& s = *src.m_pInfo;
    const tagOVKIMAGEINFO& d = *m_pInfo;
    if (s.lSpp != d.lSpp || s.lBps != d.lBps || IsLineOrder() != src.IsLineOrder() || x < -d.lWidth ||
        x > d.lWidth || y < -d.lHeight || y > d.lHeight) {
        return;
    }
    const int32_t left = std::max(0, -x);
    const int32_t top = std::max(0, -y);
    const int32_t right = std::min(s.lWidth, d.lWidth - x);
    const int32_t bottom = std::min(s.lHeight, d.lHeight - y);
    if (right <= left || bottom <= top) {
        return;
    }
    const int32_t pixelBits = s.lBps * (IsLineOrder() ? 1 : s.lSpp);
    const int32_t planes = IsLineOrder() ? s.lSpp : 1;
    for (int32_t k = 0; k < planes; ++k) {
        const unsigned char* from = src.PixelPtr(0, top) + static_cast<ptrdiff_t>(k) * s.lSync;
        unsigned char* to = PixelPtr(0, y + top) + static_cast<ptrdiff_t>(k) * d.lSync;
        BitStepCopy(to, (x + left) * pixelBits, from, left * pixelBits, (right - left) * pixelBits,
                    bottom - top, static_cast<int32_t>(GetStride()), static_cast<int32_t>(src.GetStride()));
    }
}

unsigned char* CImageInfo::GetHLineData(unsigned char* out, int32_t y) const {
    const int32_t pixelBits = m_pInfo->lBps * m_pInfo->lSpp;
    if ((pixelBits == 8 || pixelBits == 16 || pixelBits == 24) && y >= 0 && y < m_pInfo->lHeight) {
        std::memcpy(out, m_pInfo->lpImage + GetStride() * y, static_cast<size_t>(GetStride()));
    }
    return out;
}

unsigned char* CImageInfo::GetVLineData(unsigned char* out, int32_t x) const {
    const int32_t bytes = m_pInfo->lSpp == 1 ? m_pInfo->lBps / 8 : 0;
    if ((bytes != 1 && bytes != 2) || x < 0 || x >= m_pInfo->lWidth) {
        return out;
    }
    for (int32_t y = 0; y < m_pInfo->lHeight; ++y) {
        std::memcpy(out + static_cast<ptrdiff_t>(y) * bytes, PixelPtr(x, y), static_cast<size_t>(bytes));
    }
    return out;
}

unsigned char* CImageInfo::GetRectData(unsigned char* out, int32_t x, int32_t y, int32_t width,
                                       int32_t /*ignored*/, int32_t height) const {
    const int32_t bps = m_pInfo->lBps;
    const int64_t lineBytes = (LineBits() + 7) / 8;
    const bool inside = x >= 0 && y >= 0 && width >= 0 && height >= 0 &&
                        int64_t{y} + height <= m_pInfo->lHeight && int64_t{x} * bps / 8 + width <= lineBytes;
    if ((bps == 8 || bps == 16) && inside) {
        MemStepCopy(out, PixelPtr(x, y), width, static_cast<uint32_t>(height), m_pInfo->lSync,
                    static_cast<int32_t>(GetStride()));
    }
    return out;
}
