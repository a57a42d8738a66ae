// Per-column edge search of the single-side size detector: each new line is compared with the line D - 1
// lines above it, so a paper edge shows as a run of large differences whatever the band boundaries are.
#pragma once

#include "DetectSize/slant_fnc.h"

#include <cstdint>
#include <vector>

namespace Ovk::DetectSize {

// Edge vectors: E0 brightening run, E1 darkening run, E2 leading edge (made from E0 and E1 at the end),
// E3 trailing edge.
struct EdgeSet {
    EdgeVector e[4];
};

class CCalcEdge {
public:
    // Returns 0, kStatusBadArgument for a width or distance below 1, kStatusNoMemory.
    std::int32_t initialize(std::int32_t width, std::int32_t ydpi, const std::uint8_t thresholds[2],
                            std::int32_t distance);
    std::int32_t start() const { return 0; }
    // One line of samples, stride bytes apart; the line is copied, so the caller may reuse its buffer.
    void search(const std::uint8_t* samples, std::int32_t stride, EdgeSet& edges);
    void end() {}

    std::int32_t comparisons() const { return m_count; }
    std::int32_t distance() const { return m_distance; }

private:
    void compare(const std::uint8_t* oldest, const std::uint8_t* newest, EdgeSet& edges);

    std::uint8_t m_t1 = 0;
    std::uint8_t m_t2 = 0;
    std::int32_t m_distance = 0;
    std::int32_t m_runLimit = 1; // lines in 0.25 mm
    std::int32_t m_width = 0;
    std::int32_t m_count = 0;          // comparisons made (the y of the edges)
    std::int64_t m_lines = 0;          // lines received
    std::vector<std::uint8_t> m_store; // ring of D lines of one sample each
    std::vector<std::uint8_t> m_run;
};

} // namespace Ovk::DetectSize
