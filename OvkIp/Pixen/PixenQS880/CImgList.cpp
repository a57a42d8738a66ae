// Band list: bands move in by buffer ownership, so collecting a page costs no copy; the page is copied
// once, when it is joined.
#include "CImgList.h"

#include <algorithm>
#include <cstring>
#include <limits>

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
    if (!m_Bands.empty() && (!matchesSummary(info) || std::int64_t{m_Summary.lHeight} + info.lHeight >
                                                          std::numeric_limits<std::int32_t>::max()))
        return 0;
    auto holder = std::make_unique<CImg>();
    m_Bands.push_back(nullptr); // may throw; nothing has changed yet
    if (m_Bands.size() == 1) {
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
    holder->attachImg(band);
    m_Bands.back() = std::move(holder);
    return 1;
}

void CImgList::PopAll() noexcept {
    m_Bands.clear();
    m_Summary = emptySummary();
}

void CImgList::SpliceAndPopAll(CImg& out) noexcept {
    m_Summary.tImageSize =
        CImg::calcSize(m_Summary.lSync, m_Summary.lHeight, m_Summary.lSpp, m_Summary.ulRGBOrder);
    out.deleteImg();
    out.createImg(&m_Summary);
    std::uint32_t offset = 0;
    while (!m_Bands.empty()) {
        const CImg& band = *m_Bands.front();
        if (!out.isNull()) {
            // A band whose record was changed after it came in must not write past the page.
            const std::uint32_t bytes = std::min(band.getImageSize(), out.getImageSize() - offset);
            std::memcpy(out.getImage() + offset, band.getImage(), bytes);
            offset += bytes;
        }
        m_Bands.pop_front();
    }
}

} // namespace Ovk::Pixen
