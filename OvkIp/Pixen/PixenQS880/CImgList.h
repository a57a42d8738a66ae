// Band list of a whole-page controller: holds the bands of one page in arrival order and a summary
// record of their common geometry and summed height. Each band is copied into the growing page as it
// comes and its own buffer freed at once, so the page is never held twice and joining it copies nothing.
#pragma once

#include "CImg.h"

#include <cstddef>
#include <cstdint>

namespace Ovk::Pixen {

class CImgList {
public:
    CImgList() noexcept;
    ~CImgList();
    CImgList(const CImgList&) = delete;
    CImgList& operator=(const CImgList&) = delete;

    // Takes the band's pixels over (the band is empty afterwards) and gives 1; an empty band gives 1
    // and changes nothing; a band of another geometry gives 0 and stays with the caller. Throws
    // std::bad_alloc when the page cannot grow, with the band still with the caller.
    int PushBack(CImg& band);
    // Deletes every band and resets the summary.
    void PopAll() noexcept;
    // Replaces out by the bands joined top to bottom and deletes them; out is empty when the joined
    // image cannot be created. The summary is kept until the next PopAll.
    void SpliceAndPopAll(CImg& out) noexcept;

    std::size_t size() const noexcept { return m_Bands; }
    bool empty() const noexcept { return m_Bands == 0; }
    const tagIMAGEINFO& summary() const noexcept { return m_Summary; }

private:
    bool matchesSummary(const tagIMAGEINFO& band) const noexcept;
    // Room for `bytes` in the page; false (page unchanged) when memory runs out.
    bool reserve(std::size_t bytes) noexcept;
    void releasePage() noexcept;

    std::size_t m_Bands = 0;
    std::uint8_t* m_Page = nullptr; // the bands so far, top to bottom (BufferPool)
    std::size_t m_Used = 0;
    std::size_t m_Capacity = 0;
    std::size_t m_LastPage = 0; // bytes of the previous page: the next is likely the same
    tagIMAGEINFO m_Summary;
};

} // namespace Ovk::Pixen
