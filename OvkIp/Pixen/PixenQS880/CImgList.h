// Band list of a whole-page controller: owns the bands of one page in arrival order and a summary
// record of their common geometry and summed height, so the page can be joined with one copy.
#pragma once

#include "CImg.h"

#include <cstddef>
#include <deque>
#include <memory>

namespace Ovk::Pixen {

class CImgList {
public:
    CImgList() noexcept;
    ~CImgList();
    CImgList(const CImgList&) = delete;
    CImgList& operator=(const CImgList&) = delete;

    // Takes the band's buffer over (the band is empty afterwards) and gives 1; an empty band gives 1
    // and changes nothing; a band of another geometry gives 0 and stays with the caller. Throws
    // std::bad_alloc when the holder cannot be created, with the band still with the caller.
    int PushBack(CImg& band);
    // Deletes every band and resets the summary.
    void PopAll() noexcept;
    // Replaces out by the bands joined top to bottom and deletes them; out is empty when the joined
    // image cannot be created. The summary is kept until the next PopAll.
    void SpliceAndPopAll(CImg& out) noexcept;

    std::size_t size() const noexcept { return m_Bands.size(); }
    bool empty() const noexcept { return m_Bands.empty(); }
    const tagIMAGEINFO& summary() const noexcept { return m_Summary; }

private:
    bool matchesSummary(const tagIMAGEINFO& band) const noexcept;

    std::deque<std::unique_ptr<CImg>> m_Bands;
    tagIMAGEINFO m_Summary;
};

} // namespace Ovk::Pixen
