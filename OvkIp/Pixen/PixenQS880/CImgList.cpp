// Band list: the page grows band by band in one buffer (reserved at the previous page's size, so a
// batch of like pages reuses it), and joining hands that buffer over.
#include "CImgList.h"

#include "BufferPool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace Ovk::Pixen {

namespace {

tagIMAGEINFO emptySummary() {
    tagIMAGEINFO summary{};
    summary.ulSize = sizeof(tagIMAGEINFO);
    return summary;
}

} // namespace

CImgList::CImgList() noexcept : m_Summary(emptySummary()) {}

CImgList::~CImgList() {
    PopAll();
}

bool CImgList::matchesSummary(const tagIMAGEINFO& band) const noexcept {
    const tagIMAGEINFO& s = m_Summary;
    return band.lBps == s.lBps && band.lSpp == s.lSpp && band.lWidth == s.lWidth && band.lSync == s.lSync &&
           band.lXResolution == s.lXResolution && band.lYResolution == s.lYResolution &&
           (band.lSpp != 3 || band.ulRGBOrder == s.ulRGBOrder);
}

int CImgList::PushBack(CImg& band) {
    if (band.isNull())
        return 1;
    const tagIMAGEINFO& info = band.getInfo();
    if (m_Bands != 0 && (!matchesSummary(info) || std::int64_t{m_Summary.lHeight} + info.lHeight >
                                                      std::numeric_limits<std::int32_t>::max()))
        return 0;
    if (!reserve(m_Used + info.tImageSize))
        throw std::bad_alloc();
    if (m_Bands == 0) {
        m_Summary.lXpos = info.lXpos;
        m_Summary.lYpos = info.lYpos;
        m_Summary.lWidth = info.lWidth;
        m_Summary.lSync = info.lSync;
        m_Summary.lBps = info.lBps;
        m_Summary.lSpp = info.lSpp;
        m_Summary.ulRGBOrder = info.ulRGBOrder;
        m_Summary.lXResolution = info.lXResolution;
        m_Summary.lYResolution = info.lYResolution;
    }
    m_Summary.lHeight += info.lHeight;
    std::memcpy(m_Page + m_Used, band.getImage(), info.tImageSize);
    m_Used += info.tImageSize;
    ++m_Bands;
    band.deleteImg();
    return 1;
}

bool CImgList::reserve(std::size_t bytes) noexcept {
    if (bytes <= m_Capacity)
        return true;
    const std::size_t capacity = std::max({bytes, m_LastPage, 2 * m_Capacity});
    void* grown = m_Page == nullptr ? BufferPool::take(capacity, false) : std::realloc(m_Page, capacity);
    if (grown == nullptr)
        return false;
    m_Page = static_cast<std::uint8_t*>(grown);
    m_Capacity = capacity;
    return true;
}

void CImgList::releasePage() noexcept {
    BufferPool::give(m_Page);
    m_Page = nullptr;
    m_Used = m_Capacity = 0;
    m_Bands = 0;
}

void CImgList::PopAll() noexcept {
    releasePage();
    m_Summary = emptySummary();
}

void CImgList::SpliceAndPopAll(CImg& out) noexcept {
    m_Summary.tImageSize =
        CImg::calcSize(m_Summary.lSync, m_Summary.lHeight, m_Summary.lSpp, m_Summary.ulRGBOrder);
    out.deleteImg();
    const std::size_t size = m_Summary.tImageSize;
    if (m_Bands != 0 && CImg::checkInfo(&m_Summary) && reserve(size)) {
        // Only bands whose records disagree with their geometry leave bytes unwritten; they read as the
        // zero of a new image.
        if (m_Used < size)
            std::memset(m_Page + m_Used, 0, size - m_Used);
        out.m_Info = m_Summary;
        out.m_Info.lpImage = m_Page;
        m_Page = nullptr;
        m_LastPage = size;
    }
    releasePage();
}

} // namespace Ovk::Pixen
