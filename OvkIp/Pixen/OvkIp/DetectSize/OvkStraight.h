// Straight-line corner finder for a whole page: four paper edges from two probes each (the first pixel
// brighter than 128 seen from the image's border), and the corners where those lines meet.
#pragma once

#include "Blank/OutlineChain.h"
#include "DetectSize/Img.h"

#include <cstdint>

struct tagSLANTSIZEINFO2;

namespace Ovk::DetectSize {

// A sloped line y = slope * x + intercept has x and y at 0; a vertical line sets x, a horizontal one y.
struct tagSTRAIGHT {
    double slope;
    double intercept;
    double x;
    double y;
};

// Statuses besides 0: 1 no paper pixel on the probe, 3 two vertical or two horizontal lines,
// 4 parallel sloped lines, 5 a line through one point.
std::int32_t CalcStraight(tagSTRAIGHT& line, Ovk::tagPOINT p1, Ovk::tagPOINT p2);
std::int32_t SetXGetY(const tagSTRAIGHT& line, std::int32_t x);
std::int32_t GetTopPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t x);
std::int32_t GetBottomPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t x);
std::int32_t GetLeftPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t y);
std::int32_t GetRightPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t y);
// Probes k pixels further apart than the middle quarter of the image.
std::int32_t GetTopStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k);
std::int32_t GetBottomStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k);
std::int32_t GetLeftStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k);
std::int32_t GetRightStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k);
// Each edge with spacings 0..9 until one succeeds; the last failure when none does.
std::int32_t GetPaperLine(tagSTRAIGHT& top, tagSTRAIGHT& bottom, tagSTRAIGHT& left, tagSTRAIGHT& right,
                          const CImg& image);
std::int32_t CalcPointFrom2Straights(const tagSTRAIGHT& l1, const tagSTRAIGHT& l2, Ovk::tagPOINT& point);
// Corners left-top, right-top, left-bottom, right-bottom into the record's corner fields.
std::int32_t CalcSlantFrom4Straight(const tagSTRAIGHT& top, const tagSTRAIGHT& bottom,
                                    const tagSTRAIGHT& left, const tagSTRAIGHT& right,
                                    tagSLANTSIZEINFO2& record);

} // namespace Ovk::DetectSize
