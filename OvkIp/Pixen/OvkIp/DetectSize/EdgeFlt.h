// Shadow-edge filters of the duplex detector. On a bright backing the paper's leading edge throws a dark
// shadow line that the back sensor sees, and its trailing edge one that the front sensor sees; each filter
// marks, per column, the line next to that dark run.
#pragma once

#include "DetectSize/ImgLineBuffer.h"
#include "DetectSize/slant_fnc.h"

#include <cstdint>

namespace Ovk::DetectSize {

// One edge position per column (-1 = none) with the length of the dark run that set it.
class CEdge {
public:
    virtual ~CEdge() = default;
    // Returns false when memory runs out.
    virtual bool init(std::int32_t width);
    // Aligns the vector with square pixels (see normalize_edge).
    virtual void normalize(std::int32_t xdpi, std::int32_t ydpi);

    EdgeVector& pos() { return m_pos; }
    const EdgeVector& pos() const { return m_pos; }

protected:
    EdgeVector m_pos;
    std::vector<std::int32_t> m_run;
};

class CEdgeFlt : public CEdge {
public:
    using CEdge::init;
    // Windows from the resolutions: decimation steps xs, ys for the filter's target resolution.
    bool init(std::int32_t width, std::int32_t xdpi, std::int32_t ydpi);
    // Looks at page line `line` of the queue in columns 0 .. width - 1.
    virtual void filter(const CImgLineBuffer& queue, std::int32_t line, std::int32_t width) = 0;
    // Drops short runs and frayed ends, then smooths with a running median.
    virtual void noizegate(std::int32_t xdpi, std::int32_t ydpi);
    virtual std::int32_t getFltTrgDPI() const { return 150; }
    virtual std::int32_t getFltTopTrgDPI() const = 0;
    virtual std::int32_t getFltBottomTrgDPI() const = 0;
    virtual std::int32_t getFltLeftTrgDPI() const { return 0; }
    virtual std::int32_t getFltRightTrgDPI() const { return 0; }

    std::int32_t windowUp() const { return m_up; }     // lines
    std::int32_t windowDown() const { return m_down; } // lines

protected:
    virtual void trim() {}

    std::int32_t m_up = 0;
    std::int32_t m_down = 0;
};

class CEdgeFlt_ShadowEdge : public CEdgeFlt {
public:
    void setEndTrim(std::int32_t millimetres, std::int32_t ydpi);

protected:
    // Removes positions at both ends that bend away (sign +1: to smaller y, -1: to larger y).
    void trim() override;
    virtual int trimSign() const = 0;

private:
    void trimEnd(std::int32_t from, std::int32_t step, std::int32_t limit);

    std::int32_t m_endTrim = 0; // pixels
};

// Leading edge on the back image: the first dark run of a column, positioned on the line after it.
class CEdgeFlt_TopShadowEdge : public CEdgeFlt_ShadowEdge {
public:
    void filter(const CImgLineBuffer& queue, std::int32_t line, std::int32_t width) override;
    std::int32_t getFltTopTrgDPI() const override { return 5; }
    std::int32_t getFltBottomTrgDPI() const override { return 0; }

protected:
    int trimSign() const override { return 1; }
};

// Trailing edge on the front image: the last dark run of a column, positioned on the line before it.
class CEdgeFlt_BtmShadowEdge : public CEdgeFlt_ShadowEdge {
public:
    void filter(const CImgLineBuffer& queue, std::int32_t line, std::int32_t width) override;
    std::int32_t getFltTopTrgDPI() const override { return 0; }
    std::int32_t getFltBottomTrgDPI() const override { return 5; }

protected:
    int trimSign() const override { return -1; }
};

} // namespace Ovk::DetectSize
