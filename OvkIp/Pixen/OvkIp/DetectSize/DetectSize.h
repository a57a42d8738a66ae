// Single-side paper detector: watches every column for the lines where the paper's leading and trailing
// edges pass, fits the skew from the leading edge's outline and reports corners, slant and bounding
// rectangle. It keeps only a window of D lines, so it runs while the page is still being read.
#pragma once

#include "DetectSize/CalcEdge.h"
#include "DetectSize/DetectSizeGeometry.h"
#include "DetectSize/Img.h"

#include <cstdint>

namespace Ovk::DetectSize {

class CDetectSize {
public:
    using tagDETECTSIZEINFO = Ovk::DetectSize::tagDETECTSIZEINFO;

    // Negative words select the detector's default where one is named.
    struct tagOPTION {
        std::int32_t size;
        std::int32_t refAx, refAy, refBx, refBy; // points on the paper's upper edge; all >= 0 to check them
        std::int32_t reserved5;
        std::int32_t paperLength; // lines; 0 = unknown
        std::int32_t reserved7;
        std::int32_t topMargin;      // lines, fallback rectangle
        std::int32_t leftMargin;     // columns, fallback rectangle
        std::int32_t rightMargin;    // columns, fallback rectangle
        std::int32_t edgeThreshold;  // low byte; default 10
        std::int32_t trailThreshold; // low byte; default 50
        std::int32_t cornerMargin;   // pixels; default 1 mm
        std::int32_t distance;       // comparison distance D in lines when positive; default 1 mm
    };
    static_assert(sizeof(tagOPTION) == 15 * 4);

    virtual ~CDetectSize() = default;

    // Statuses: 0, kStatusBadArgument (option size, resolution outside 1..kMaxDpi, D of 0, corner margin
    // above kMaxMargin), kStatusNoMemory.
    std::int32_t Initialize(const CImg::tagIMGSET& page, const tagOPTION& option);
    std::int32_t first(const CImg::tagIMGSET& band) { return piece(band); }
    std::int32_t mid(const CImg::tagIMGSET& band) { return piece(band); }
    // A band without pixels or lines is ignored.
    std::int32_t last(const CImg::tagIMGSET& band);
    // Meant to run once: it works on the edge vectors in place.
    virtual std::int32_t result(tagDETECTSIZEINFO& info, const tagOPTION& option);
    // Whole image: Initialize, one band and the result.
    virtual std::int32_t result(const CImg::tagIMGSET& image, tagDETECTSIZEINFO& info,
                                const tagOPTION& option);

    std::int32_t comparisons() const { return m_search.comparisons(); }
    // The page's geometry and resolutions as given to Initialize (no pixels).
    const CImg::tagIMGSET& page() const { return m_page; }

    static constexpr std::int32_t kMaxDpi = 100000;
    static constexpr std::int32_t kMaxMargin = 1 << 20; // pixels

private:
    std::int32_t piece(const CImg::tagIMGSET& band);
    void align_resolution();
    void prepare_edges();
    void calc_slant();
    bool IsTooLongPaper() const;
    void make_result(tagDETECTSIZEINFO& info);
    bool revise_result(tagDETECTSIZEINFO& info) const;
    bool contour_fits() const;
    bool reference_points_fit(const tagDETECTSIZEINFO& info) const;
    FallbackMargins margins() const;

    bool m_initialized = false;
    std::int32_t m_T = 118; // 10 mm in pixels
    std::int32_t m_m = 25;  // corner margin in pixels
    CImg::tagIMGSET m_page{};
    CImg::tagIMGSET m_work{};
    CornerFit m_fit;
    EdgeSet m_edges;
    tagOPTION m_option{};
    CCalcEdge m_search;
};

} // namespace Ovk::DetectSize
