// Paper detector for a page scanned front and back at once: finds the shadows of the leading edge (back
// image) and the trailing edge (front image), mirrors each onto the other side and fits corners and slant
// per side as the single-side detector does.
#pragma once

#include "DetectSize/DetectSizeGeometry.h"
#include "DetectSize/EdgeFltRunner.h"
#include "DetectSize/Img.h"

#include <cstdint>

namespace Ovk::DetectSize {

class CDetectSizeWithDuplex {
public:
    using tagDETECTSIZEINFO = Ovk::DetectSize::tagDETECTSIZEINFO;

    struct tagOPTION {
        std::int32_t size;
        std::int32_t refAx, refAy, refBx, refBy; // kept, not used here
        std::int32_t reserved5;
        std::int32_t paperLength; // lines; 0 = unknown
        std::int32_t reserved7;
        std::int32_t topMargin;   // lines, fallback rectangle
        std::int32_t leftMargin;  // columns, fallback rectangle
        std::int32_t rightMargin; // columns, fallback rectangle
        std::int32_t reserved11, reserved12;
        std::int32_t cornerMargin; // pixels; negative = 1 mm
        std::int32_t endTrim;      // mm trimmed off frayed shadow ends; negative = 5
        std::int32_t lineOffset;   // lines the back sensor sees a page line later than the front one
        std::int32_t side;         // result: 1 = front, 0 = back
    };
    static_assert(sizeof(tagOPTION) == 17 * 4);

    virtual ~CDetectSizeWithDuplex() = default;

    // Statuses: 0, kStatusBadArgument (option size, resolutions outside 1..kMaxDpi, sides of different
    // geometry, corner margin above kMaxMargin), kStatusNoMemory.
    std::int32_t Initialize(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back,
                            const tagOPTION& option);
    std::int32_t first(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back) {
        return piece(front, back);
    }
    std::int32_t mid(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back) { return piece(front, back); }
    // Ignored when either band has no pixels or lines.
    std::int32_t last(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back);
    // The side chosen by option.side; the edges are fixed by the first call.
    std::int32_t result(tagDETECTSIZEINFO& info, const tagOPTION& option);

    static constexpr std::int32_t kMaxDpi = 100000;
    static constexpr std::int32_t kMaxMargin = 1 << 20; // pixels

private:
    std::int32_t piece(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back);
    SlantPair calc_slant(ConstEdgeSpan lead, const CImg::tagIMGSET& set) const;
    void make_result(tagDETECTSIZEINFO& out, CornerFit& work, const CImg::tagIMGSET& set,
                     std::int32_t lines) const;
    void roll_back(tagDETECTSIZEINFO& out, const CImg::tagIMGSET& set, std::int32_t lines) const;

    bool m_initialized = false;
    tagOPTION m_option{};
    CImg::tagIMGSET m_front{};
    CImg::tagIMGSET m_back{};
    std::int32_t m_S = 0; // shortest slant segment, 5 mm in lines
    std::int32_t m_m = 0; // corner margin in pixels
    CEdgeFltRunner m_runner;
};

} // namespace Ovk::DetectSize
