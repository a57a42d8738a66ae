// Band controller: pairs one filter with its band mode and turns each call (an image and its image state)
// into the right sequence of the filter's operations; whole-page filters get their bands gathered here.
#pragma once

#include "CIPBase.h"
#include "CImgList.h"
#include "ResultCodes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace Ovk::Pixen {

// Band modes of a controller.
inline constexpr std::int32_t BANDMODE_BAND = 0;     // each non-empty band goes to the filter at once
inline constexpr std::int32_t BANDMODE_HOLD = 2;     // as BAND, but the last band always reaches IPLast
inline constexpr std::int32_t BANDMODE_HOLD_ALT = 3; // same behaviour as HOLD
inline constexpr std::int32_t BANDMODE_PAGE = 4;     // bands are gathered, the filter runs once on the page

template <class T = CIPBase> class CIPController {
public:
    CIPController() = default;
    CIPController(const CIPController&) = delete;
    CIPController& operator=(const CIPController&) = delete;

    // The band driver: runs the filter on image in state state with record info and writes one trace
    // line. RTN_SEQUENCE for a state outside 0..3; RTN_MEMORY when memory runs out inside; RTN_PAR when
    // no filter exists yet or a whole-page band does not match the bands already gathered.
    std::int32_t execIP(CImg& image, void* info, tagIMAGESTATE state);
    // The band logic shared by first and middle bands.
    std::int32_t IPMiddle(CImg& band, void* info);

    // Creates the filter on first use, giving the controller its mode; later calls return the existing
    // filter, which must be an F (one controller serves one step). Throws std::bad_alloc.
    template <class F, class... Args> F& createIP(std::int32_t mode, Args&&... args) {
        if (!m_pIP) {
            m_pIP = std::make_unique<F>(std::forward<Args>(args)...);
            m_nMode = mode;
            m_bFirst = true;
        }
        return static_cast<F&>(*m_pIP);
    }

    // A whole step: createIP, then execIP. A filter that cannot be created gives RTN_MEMORY and the
    // next call tries again.
    template <class F, class... Args>
    std::int32_t runStep(std::int32_t mode, CImg& image, void* info, tagIMAGESTATE state, Args&&... args) {
        try {
            createIP<F>(mode, std::forward<Args>(args)...);
        } catch (const std::bad_alloc&) {
            return RTN_MEMORY;
        }
        return execIP(image, info, state);
    }

    // Ends a page stopped before its last band (an abort, a jam, a failed band): the gathered bands and
    // the filter go, with every buffer the filter holds; the next page creates the filter again.
    void abandonPage() noexcept {
        dropBands();
        m_pIP.reset();
    }
    // The same for a filter whose state belongs to the session rather than the page: only the bands go.
    void dropBands() noexcept {
        m_ImgList.PopAll();
        m_bFirst = true;
    }

    T* getIP() const noexcept { return m_pIP.get(); }
    std::int32_t getMode() const noexcept { return m_nMode; }
    // For steps whose mode follows their parameters.
    void setMode(std::int32_t mode) noexcept { m_nMode = mode; }
    bool isFirst() const noexcept { return m_bFirst; }
    const CImgList& getImgList() const noexcept { return m_ImgList; }

private:
    std::int32_t dispatch(CImg& image, void* info, tagIMAGESTATE state);
    std::int32_t runWhole(CImg& image, void* info);
    std::int32_t IPLast(CImg& band, void* info);
    std::int32_t joinPage(CImg& lastBand);

    std::unique_ptr<T> m_pIP;
    std::int32_t m_nMode = BANDMODE_BAND;
    bool m_bFirst = true; // no band of the current page has reached the filter yet
    CImgList m_ImgList;
};

extern template class CIPController<CIPBase>;

// abandonPage for every controller of a step (one per side, or per side and copy).
template <class T, std::size_t N> void abandonEach(CIPController<T> (&steps)[N]) noexcept {
    for (CIPController<T>& step : steps)
        step.abandonPage();
}

} // namespace Ovk::Pixen
