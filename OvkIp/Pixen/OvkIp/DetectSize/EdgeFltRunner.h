// Runs the two shadow filters of a duplex scan line by line and, once the page is complete, mirrors each
// side's shadow edge onto the other side so that both sides get a leading and a trailing edge.
#pragma once

#include "DetectSize/EdgeFlt.h"
#include "DetectSize/ImgLineBuffer.h"

#include <cstdint>

namespace Ovk::DetectSize {

class CEdgeFltRunner {
public:
    // Geometry of both sides (equal), the back sensor's line offset and the end-trim length in mm.
    // Returns false when memory runs out.
    bool init(std::int32_t width, std::int32_t xdpi, std::int32_t ydpi, std::int32_t offset,
              std::int32_t endTrimMm);
    void runLine(const std::uint8_t* front, const std::uint8_t* back, std::int32_t stride);
    // Cleans the filtered edges, mirrors them across the sides and aligns them with square pixels.
    void fixEdge(std::int32_t xdpi, std::int32_t ydpi);

    bool fixed() const { return m_fixed; }
    std::int32_t linesSeen() const { return m_front.seen(); }
    std::int32_t offset() const { return m_offset; }
    const EdgeVector& frontLeading() const { return m_frontLead.pos(); }
    const EdgeVector& frontTrailing() const { return m_bottom.pos(); }
    const EdgeVector& backLeading() const { return m_top.pos(); }
    const EdgeVector& backTrailing() const { return m_backTrail.pos(); }

private:
    CEdgeFlt_TopShadowEdge m_top;    // leading edge, back image
    CEdgeFlt_BtmShadowEdge m_bottom; // trailing edge, front image
    CEdge m_frontLead;
    CEdge m_backTrail;
    CImgLineBuffer m_front;
    CImgLineBuffer m_back;
    std::int32_t m_width = 0;
    std::int32_t m_offset = 0;
    std::int32_t m_needed = 1;
    bool m_fixed = false;
};

} // namespace Ovk::DetectSize
