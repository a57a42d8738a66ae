// Duplex paper detector. Both sides' bands arrive together; the edges are fixed once, at the first result,
// and each side is then fitted in its own coordinates (the back side shifted back by the sensor offset).
#include "DetectSize/DetectSizeWithDuplex.h"

#include "DetectSize/DetectSizeStatus.h"
#include "DetectSize/SampleLayout.h"

namespace Ovk::DetectSize {

namespace {

bool resolution_ok(const CImg::tagIMGSET& set, std::int32_t maxDpi) {
    return set.xdpi >= 1 && set.ydpi >= 1 && set.xdpi <= maxDpi && set.ydpi <= maxDpi;
}

bool same_geometry(const CImg::tagIMGSET& f, const CImg::tagIMGSET& b) {
    return f.width == b.width && f.height == b.height && f.sync == b.sync && f.bpp == b.bpp &&
           f.xdpi == b.xdpi && f.ydpi == b.ydpi && f.pixelorder == b.pixelorder;
}

} // namespace

std::int32_t CDetectSizeWithDuplex::Initialize(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back,
                                               const tagOPTION& option) {
    m_initialized = false;
    if (option.size != static_cast<std::int32_t>(sizeof(tagOPTION)) || !resolution_ok(front, kMaxDpi) ||
        !resolution_ok(back, kMaxDpi) || front.width < 1 || front.width != back.width ||
        front.xdpi != back.xdpi || front.ydpi != back.ydpi || option.cornerMargin > kMaxMargin)
        return kStatusBadArgument;
    m_option = option;
    if (m_option.endTrim < 0)
        m_option.endTrim = 5;
    m_front = front;
    m_back = back;
    m_front.pImg = m_back.pImg = nullptr;
    m_front.sync = m_back.sync = 0;
    if (!m_runner.init(front.width, front.xdpi, front.ydpi, option.lineOffset, m_option.endTrim))
        return kStatusNoMemory;
    m_S = front.ydpi * 50 / 254;
    m_m = option.cornerMargin >= 0 ? option.cornerMargin : front.xdpi * 10 / 254;
    m_initialized = true;
    return kStatusOk;
}

std::int32_t CDetectSizeWithDuplex::piece(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back) {
    if (!m_initialized)
        return kStatusBadArgument;
    if (front.height <= 0)
        return kStatusOk;
    SampleLayout layout{};
    if (front.pImg == nullptr || back.pImg == nullptr || !same_geometry(front, back) ||
        front.width != m_front.width || !sample_layout(front, layout))
        return kStatusBadArgument;
    const std::uint8_t* f = front.pImg + layout.offset;
    const std::uint8_t* b = back.pImg + layout.offset;
    for (std::int32_t y = 0; y < front.height; ++y, f += front.sync, b += back.sync)
        m_runner.runLine(f, b, layout.stride);
    return kStatusOk;
}

std::int32_t CDetectSizeWithDuplex::last(const CImg::tagIMGSET& front, const CImg::tagIMGSET& back) {
    if (front.pImg == nullptr || back.pImg == nullptr || front.height == 0 || back.height == 0)
        return kStatusOk;
    return piece(front, back);
}

std::int32_t CDetectSizeWithDuplex::result(tagDETECTSIZEINFO& info, const tagOPTION& option) {
    if (!m_initialized || option.size != static_cast<std::int32_t>(sizeof(tagOPTION)))
        return kStatusBadArgument;
    take_result_options(m_option, option);
    m_option.side = option.side;
    if (!m_runner.fixed())
        m_runner.fixEdge(m_front.xdpi, m_front.ydpi);
    const bool front = option.side == 1;
    const EdgeVector& lead = front ? m_runner.frontLeading() : m_runner.backLeading();
    const EdgeVector& trail = front ? m_runner.frontTrailing() : m_runner.backTrailing();
    const CImg::tagIMGSET& set = front ? m_front : m_back;
    const std::int32_t shift = front ? 0 : m_runner.offset();
    const std::int32_t lines = m_runner.linesSeen() - shift;
    if (firstValid(lead) >= lastValid(lead) || firstValid(trail) >= lastValid(trail)) {
        roll_back(info, set, lines);
        return kStatusOk;
    }
    CornerFit work;
    work.slant = calc_slant(lead, set);
    work.rect = calc_rect(lead, trail);
    calc_points(work, lead, trail, m_m);
    for (PointL& p : work.P)
        p.y -= shift;
    make_result(info, work, set, lines);
    return kStatusOk;
}

SlantPair CDetectSizeWithDuplex::calc_slant(ConstEdgeSpan lead, const CImg::tagIMGSET& set) const {
    const std::int32_t f = firstValid(lead), l = lastValid(lead);
    if (f >= l)
        return {1, 0};
    const std::int32_t minLength = set.xdpi > set.ydpi ? m_S * set.ydpi / set.xdpi : m_S;
    return fit_slant(lead, f, l, minLength);
}

void CDetectSizeWithDuplex::make_result(tagDETECTSIZEINFO& out, CornerFit& work, const CImg::tagIMGSET& set,
                                        std::int32_t lines) const {
    scale_back(work, set.xdpi, set.ydpi);
    fill_info(out, work, set.width, lines);
    const bool tooShort = m_option.paperLength != 0 && m_option.paperLength > lines - m_option.topMargin;
    if (tooShort || !corners_in_order(out))
        roll_back(out, set, lines);
}

void CDetectSizeWithDuplex::roll_back(tagDETECTSIZEINFO& out, const CImg::tagIMGSET& set,
                                      std::int32_t lines) const {
    roll_back_result(out, {m_option.topMargin, m_option.leftMargin, m_option.rightMargin}, set.width, lines);
}

} // namespace Ovk::DetectSize
