// Straight-line geometry of the whole-page corner finder. Lines keep the three forms apart (sloped,
// vertical, horizontal) so that an upright page edge needs no infinite slope.
#include "DetectSize/OvkStraight.h"

#include "DetectSize/DetectSizeGeometry.h"
#include "DetectSize/OvkDetectSlantAndSize.h"

namespace Ovk::DetectSize {

namespace {

constexpr std::uint8_t kPaper = 128; // a probe stops at the first pixel brighter than this

enum class Form { Sloped, Vertical, Horizontal };

Form form(const tagSTRAIGHT& l) {
    if (l.x != 0)
        return Form::Vertical;
    return l.y != 0 ? Form::Horizontal : Form::Sloped;
}

bool paper(const CImg& image, std::int32_t x, std::int32_t y) {
    return image.get(x, y) > kPaper;
}

std::int32_t probe(const CImg& image, Ovk::tagPOINT& point, std::int32_t fixed, bool alongColumn,
                   bool fromEnd) {
    const std::int32_t n = alongColumn ? image.height() : image.width();
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t t = fromEnd ? n - 1 - i : i;
        const Ovk::tagPOINT p = alongColumn ? Ovk::tagPOINT{fixed, t} : Ovk::tagPOINT{t, fixed};
        if (paper(image, p.x, p.y)) {
            point = p;
            return 0;
        }
    }
    return 1;
}

using PointProbe = std::int32_t (*)(const CImg&, Ovk::tagPOINT&, std::int32_t);

std::int32_t straight(tagSTRAIGHT& line, const CImg& image, std::int32_t extent, std::int32_t k,
                      PointProbe get) {
    Ovk::tagPOINT p1{}, p2{};
    std::int32_t status = get(image, p1, extent / 2 - extent / 8 - k);
    if (status == 0)
        status = get(image, p2, extent / 2 + extent / 8 + k);
    return status == 0 ? CalcStraight(line, p1, p2) : status;
}

using StraightFinder = std::int32_t (*)(tagSTRAIGHT&, const CImg&, std::int32_t);

std::int32_t retry(tagSTRAIGHT& line, const CImg& image, StraightFinder find) {
    std::int32_t status = 0;
    for (std::int32_t k = 0; k < 10; ++k)
        if ((status = find(line, image, k)) == 0)
            return 0;
    return status;
}

} // namespace

std::int32_t CalcStraight(tagSTRAIGHT& line, Ovk::tagPOINT p1, Ovk::tagPOINT p2) {
    line = {};
    if (p1.x == p2.x && p1.y == p2.y)
        return 5;
    if (p1.x == p2.x) {
        line.x = p1.x;
    } else if (p1.y == p2.y) {
        line.y = p1.y;
    } else {
        line.slope = static_cast<double>(p1.y - p2.y) / (p1.x - p2.x);
        line.intercept =
            static_cast<double>((std::int64_t{p2.x} * p1.y - std::int64_t{p1.x} * p2.y) / (p2.x - p1.x));
    }
    return 0;
}

std::int32_t SetXGetY(const tagSTRAIGHT& line, std::int32_t x) {
    return trunc_to_int(line.slope * x + line.intercept);
}

std::int32_t GetTopPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t x) {
    return probe(image, point, x, true, false);
}

std::int32_t GetBottomPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t x) {
    return probe(image, point, x, true, true);
}

std::int32_t GetLeftPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t y) {
    return probe(image, point, y, false, false);
}

std::int32_t GetRightPoint(const CImg& image, Ovk::tagPOINT& point, std::int32_t y) {
    return probe(image, point, y, false, true);
}

std::int32_t GetTopStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k) {
    return straight(line, image, image.width(), k, GetTopPoint);
}

std::int32_t GetBottomStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k) {
    return straight(line, image, image.width(), k, GetBottomPoint);
}

std::int32_t GetLeftStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k) {
    return straight(line, image, image.height(), k, GetLeftPoint);
}

std::int32_t GetRightStraight(tagSTRAIGHT& line, const CImg& image, std::int32_t k) {
    return straight(line, image, image.height(), k, GetRightPoint);
}

std::int32_t GetPaperLine(tagSTRAIGHT& top, tagSTRAIGHT& bottom, tagSTRAIGHT& left, tagSTRAIGHT& right,
                          const CImg& image) {
    std::int32_t status = retry(top, image, GetTopStraight);
    if (status == 0)
        status = retry(bottom, image, GetBottomStraight);
    if (status == 0)
        status = retry(left, image, GetLeftStraight);
    if (status == 0)
        status = retry(right, image, GetRightStraight);
    return status;
}

std::int32_t CalcPointFrom2Straights(const tagSTRAIGHT& l1, const tagSTRAIGHT& l2, Ovk::tagPOINT& point) {
    const Form f1 = form(l1), f2 = form(l2);
    if (f1 == Form::Sloped && f2 == Form::Sloped) {
        if (l1.slope == l2.slope)
            return 4;
        const double d = l1.slope - l2.slope;
        point = {trunc_to_int((l2.intercept - l1.intercept) / d),
                 trunc_to_int((l1.slope * l2.intercept - l2.slope * l1.intercept) / d)};
        return 0;
    }
    if (f1 == f2)
        return 3;
    if (f1 != Form::Sloped && f2 != Form::Sloped) {
        const tagSTRAIGHT& v = f1 == Form::Vertical ? l1 : l2;
        const tagSTRAIGHT& h = f1 == Form::Vertical ? l2 : l1;
        point = {trunc_to_int(v.x), trunc_to_int(h.y)};
        return 0;
    }
    const tagSTRAIGHT& s = f1 == Form::Sloped ? l1 : l2;
    const tagSTRAIGHT& o = f1 == Form::Sloped ? l2 : l1;
    if (form(o) == Form::Vertical) {
        point = {trunc_to_int(o.x), trunc_to_int(s.slope * o.x + s.intercept)};
        return 0;
    }
    // A flat "sloped" line never meets a horizontal one.
    if (s.slope == 0)
        return 4;
    point = {trunc_to_int((o.y - s.intercept) / s.slope), trunc_to_int(o.y)};
    return 0;
}

std::int32_t CalcSlantFrom4Straight(const tagSTRAIGHT& top, const tagSTRAIGHT& bottom,
                                    const tagSTRAIGHT& left, const tagSTRAIGHT& right,
                                    tagSLANTSIZEINFO2& record) {
    const tagSTRAIGHT* pairs[4][2] = {{&left, &top}, {&top, &right}, {&left, &bottom}, {&bottom, &right}};
    for (int i = 0; i < 4; ++i) {
        Ovk::tagPOINT p{};
        if (const std::int32_t status = CalcPointFrom2Straights(*pairs[i][0], *pairs[i][1], p); status != 0)
            return status;
        record.lCorner[2 * i] = p.x;
        record.lCorner[2 * i + 1] = p.y;
    }
    return 0;
}

} // namespace Ovk::DetectSize
