// Construction, buffer ownership and setters of CImageInfo. Sizes follow the layout rule (stride * height)
// computed in 64 bits, so a hostile record cannot wrap them; buffers come from malloc so that a failed
// allocation is a null pointer the creators test, never an exception.
#include "OvkImageInfo.h"

#include "OvkBits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {
int32_t PaddedSync(int32_t width, int32_t bps) {
    return PaddedLineBytes(static_cast<int64_t>(width) * bps);
}
} // namespace

CImageInfo::CImageInfo(tagOVKIMAGEINFO* rec) : m_pInfo(rec) {
    if (m_pInfo != nullptr) {
        UpdateSizeFromLayout();
    }
}

CImageInfo::CImageInfo(const tagOVKIMAGEINFO& rec) {
    Init(rec, 1);
}

CImageInfo::CImageInfo(const CImageInfo& other) : m_bBlackIs(other.m_bBlackIs) {
    if (other.m_pInfo != nullptr && CreateOvkImageInfoStruct() != nullptr) {
        *m_pInfo = *other.m_pInfo;
    }
}

CImageInfo::CImageInfo(int32_t width, int32_t height, int32_t bps, int32_t spp, uint32_t order) {
    Init(width, PaddedSync(width, bps), height, bps, spp, order);
}

CImageInfo::CImageInfo(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp,
                       uint32_t order) {
    Init(width, sync, height, bps, spp, order);
}

CImageInfo::CImageInfo(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp, uint32_t order,
                       unsigned char* buffer, uint32_t size) {
    Init(width, sync == 0 ? PaddedSync(width, bps) : sync, height, bps, spp, order, buffer, size);
}

CImageInfo::CImageInfo(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp, uint32_t order,
                       unsigned char* buffer, uint32_t size, int ownBuffer, int virtualAlloc)
    : CImageInfo(width, sync, height, bps, spp, order, buffer, size) {
    m_bAllocBuffer = ownBuffer;
    m_bAllocTypeVirtualYes = virtualAlloc;
}

CImageInfo::~CImageInfo() {
    CImageInfo::ReleaseImageBuffer();
}

tagOVKIMAGEINFO* CImageInfo::CreateOvkImageInfoStruct() {
    if (m_pInfo == nullptr) {
        m_ownInfo.reset(new (std::nothrow) tagOVKIMAGEINFO{});
        m_pInfo = m_ownInfo.get();
        if (m_pInfo != nullptr) {
            m_pInfo->ulSize = sizeof(tagOVKIMAGEINFO);
        }
    }
    return m_pInfo;
}

tagOVKIMAGEINFO* CImageInfo::Init(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp,
                                  uint32_t order, unsigned char* buffer, uint32_t size) {
    if (CreateOvkImageInfoStruct() == nullptr) {
        return nullptr;
    }
    m_pInfo->lWidth = width;
    m_pInfo->lSync = sync;
    m_pInfo->lHeight = height;
    m_pInfo->lBps = bps;
    m_pInfo->lSpp = spp;
    m_pInfo->ulRGBOrder = order;
    m_pInfo->lpImage = buffer;
    m_pInfo->tImageSize = size;
    return m_pInfo;
}

unsigned char* CImageInfo::Init(int32_t width, int32_t sync, int32_t height, int32_t bps, int32_t spp,
                                uint32_t order) {
    ReleaseImageBuffer();
    if (Init(width, sync, height, bps, spp, order, nullptr, 0) == nullptr) {
        return nullptr;
    }
    const uint64_t size = LayoutSize();
    if (width < 0 || height < 0 || sync < 0 || size > std::numeric_limits<uint32_t>::max()) {
        return nullptr;
    }
    m_pInfo->tImageSize = static_cast<uint32_t>(size);
    m_pInfo->lpImage = AllocateBuffer(m_pInfo->tImageSize);
    return m_pInfo->lpImage;
}

unsigned char* CImageInfo::Init(const tagOVKIMAGEINFO& rec, int copy) {
    unsigned char* pixels = Init(rec.lWidth, rec.lSync, rec.lHeight, rec.lBps, rec.lSpp, rec.ulRGBOrder);
    if (pixels != nullptr && copy != 0 && rec.lpImage != nullptr) {
        std::memcpy(pixels, rec.lpImage, std::min(m_pInfo->tImageSize, rec.tImageSize));
    }
    return pixels;
}

unsigned char* CImageInfo::AllocateBuffer(uint32_t size) {
    // malloc(0) may return null; one byte keeps "null means failure" true.
    auto* buffer = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
    if (buffer != nullptr) {
        m_bAllocBuffer = 1;
    }
    return buffer;
}

void CImageInfo::ReleaseImageBuffer() {
    if (m_bAllocBuffer != 0 && m_pInfo != nullptr && m_pInfo->lpImage != nullptr) {
        if (m_bAllocTypeVirtualYes == 0) {
            std::free(m_pInfo->lpImage);
        }
        m_pInfo->lpImage = nullptr;
    }
    m_bAllocBuffer = 0;
    m_bAllocTypeVirtualYes = 0;
}

unsigned char* CImageInfo::DetachImageBuffer() {
    if (m_bAllocBuffer == 0 || m_pInfo == nullptr) {
        return nullptr;
    }
    m_bAllocBuffer = 0;
    m_bAllocTypeVirtualYes = 0;
    return m_pInfo->lpImage;
}

void CImageInfo::FreeImageBuffer(unsigned char* buffer) {
    std::free(buffer);
}

unsigned char* CImageInfo::SetPtr(unsigned char* p) {
    if (m_bAllocBuffer != 0) {
        return nullptr;
    }
    m_pInfo->lpImage = p;
    return p;
}

int32_t CImageInfo::SetWidth(int32_t width) {
    return m_pInfo->lWidth = width;
}

int32_t CImageInfo::SetHeight(int32_t height) {
    m_pInfo->lHeight = height;
    UpdateSizeFromLayout();
    return height;
}

int32_t CImageInfo::SetSync(int32_t sync) {
    m_pInfo->lSync = sync;
    UpdateSizeFromLayout();
    return sync;
}

int32_t CImageInfo::SetBps(int32_t bps) {
    const int32_t old = m_pInfo->lBps;
    if (bps != old) {
        m_pInfo->lBps = bps;
        if (old != 0) {
            SetSync(static_cast<int32_t>(static_cast<int64_t>(m_pInfo->lSync) * bps / old));
        }
    }
    return m_pInfo->lBps;
}

uint32_t CImageInfo::SetSize(uint32_t size) {
    return m_pInfo->tImageSize = size;
}

uint32_t CImageInfo::SetRGBOrder(uint32_t order) {
    return m_pInfo->ulRGBOrder = order;
}

void CImageInfo::SetResolution(int32_t x, int32_t y) {
    m_pInfo->lXResolution = x;
    if (y >= 1) {
        m_pInfo->lYResolution = y;
    }
}

ptrdiff_t CImageInfo::GetStride() const {
    const ptrdiff_t sync = m_pInfo->lSync;
    return m_pInfo->ulRGBOrder == kOvkLineOrder ? sync * m_pInfo->lSpp : sync;
}

unsigned char* CImageInfo::PixelPtr(int32_t x, int32_t y) const {
    const int64_t samples = m_pInfo->lSpp == 3 && m_pInfo->ulRGBOrder == kOvkPixelOrder ? 3 : 1;
    return m_pInfo->lpImage + GetStride() * y + m_pInfo->lBps * samples * x / 8;
}

uint64_t CImageInfo::LayoutSize() const {
    const int64_t size = static_cast<int64_t>(GetStride()) * m_pInfo->lHeight;
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

void CImageInfo::UpdateSizeFromLayout() {
    // A size beyond 32 bits cannot be described; IsValidLayout rejects such a record.
    SetSize(static_cast<uint32_t>(std::min<uint64_t>(LayoutSize(), std::numeric_limits<uint32_t>::max())));
}

bool CImageInfo::IsValidLayout() const {
    if (m_pInfo == nullptr || m_pInfo->lpImage == nullptr || m_pInfo->lWidth < 1 || m_pInfo->lHeight < 0) {
        return false;
    }
    const int32_t bps = m_pInfo->lBps;
    const int32_t spp = m_pInfo->lSpp;
    if ((bps != 1 && bps != 4 && bps != 8 && bps != 16) || (spp != 1 && spp != 3) ||
        m_pInfo->ulRGBOrder > 1) {
        return false;
    }
    const int64_t samples = m_pInfo->ulRGBOrder == kOvkPixelOrder ? spp : 1;
    const int64_t lineBytes = (static_cast<int64_t>(m_pInfo->lWidth) * bps * samples + 7) / 8;
    return m_pInfo->lSync >= lineBytes && LayoutSize() <= std::numeric_limits<uint32_t>::max();
}
