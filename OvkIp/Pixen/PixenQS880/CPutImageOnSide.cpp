// Side-by-side join. Each output row takes the next line of each side (held lines first, then the band's);
// a side without a line is filled. Unused lines are kept as that side's held lines for the next band.
#include "CPutImageOnSide.h"

#include "BitRows.h"
#include "RecordSize.h"
#include "ResultCodes.h"

#include <algorithm>
#include <cstring>

namespace Ovk::Pixen {

namespace {

// The next plane rows of one side: held lines first, then the new band.
class SideLines {
public:
    SideLines(const CImg& held, const CImg& fresh) : m_Held(held), m_New(fresh) {}

    std::int32_t lines() const { return m_Held.getHeight() + m_New.getHeight(); }
    const CImg& format() const { return m_New.isNull() ? m_Held : m_New; }
    bool exhausted() const { return m_Next >= lines(); }
    // Plane rows of the next image line, or null when the side has none left; advances.
    const CImg* next(std::int32_t& line) {
        if (exhausted())
            return nullptr;
        const std::int32_t index = m_Next++;
        if (index < m_Held.getHeight()) {
            line = index;
            return &m_Held;
        }
        line = index - m_Held.getHeight();
        return &m_New;
    }
    std::int32_t used() const { return m_Next; }

private:
    const CImg& m_Held;
    const CImg& m_New;
    std::int32_t m_Next = 0;
};

bool sameFormat(const CImg& a, const CImg& b) {
    return a.getWidth() == b.getWidth() && a.getSync() == b.getSync() && a.getBps() == b.getBps() &&
           a.getSpp() == b.getSpp() && a.getRGBOrder() == b.getRGBOrder() &&
           a.getXResolution() == b.getXResolution() && a.getYResolution() == b.getYResolution();
}

bool compatible(const CImg& a, const CImg& b) {
    return a.getBps() == b.getBps() && a.getSpp() == b.getSpp() && a.getRGBOrder() == b.getRGBOrder() &&
           a.getXResolution() == b.getXResolution() && a.getYResolution() == b.getYResolution();
}

std::int32_t checkSide(const CImg& held, const CImg& fresh) {
    if (!held.isNull() && !fresh.isNull() && !sameFormat(held, fresh))
        return RTN_PAR;
    return RTN_OK;
}

// The lines of a side from `first` on (held lines, then new) as one image; empty when none are left.
std::int32_t remainder(const CImg& held, const CImg& fresh, std::int32_t first, CImg& out) {
    out.deleteImg();
    const std::int32_t total = held.getHeight() + fresh.getHeight();
    if (first >= total)
        return RTN_OK;
    const CImg& format = fresh.isNull() ? held : fresh;
    if (out.createImg(0, 0, format.getWidth(), total - first, format.getSync(), format.getBps(),
                      format.getSpp(), format.getRGBOrder(), format.getXResolution(),
                      format.getYResolution()) == 0)
        return RTN_SEQUENCE;
    if (out.isNull())
        return RTN_MEMORY;
    const std::int32_t planes = format.getRGBOrder() == RGBORDER_LINE ? format.getSpp() : 1;
    for (std::int32_t line = first; line < total; ++line) {
        const bool fromHeld = line < held.getHeight();
        const CImg& src = fromHeld ? held : fresh;
        const std::int32_t at = fromHeld ? line : line - held.getHeight();
        for (std::int32_t plane = 0; plane < planes; ++plane)
            std::memcpy(out.getLine(line - first, plane), src.getLine(at, plane),
                        static_cast<std::size_t>(format.getSync()));
    }
    return RTN_OK;
}

struct RowLayout {
    bool bits;
    std::int32_t leftWidth;
    std::int32_t rightWidth;
    std::int32_t samples; // samples side by side in one plane row
    bool black;
};

void putPart(std::uint8_t* row, const RowLayout& l, bool right, const std::uint8_t* src) {
    const std::int32_t width = right ? l.rightWidth : l.leftWidth;
    const std::int32_t start = right ? l.leftWidth : 0;
    if (l.bits) {
        if (src != nullptr)
            orBits(row, start, src, width);
        else if (l.black)
            setBits(row, start, width);
        return;
    }
    std::uint8_t* dst = row + std::int64_t{start} * l.samples;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(l.samples);
    if (src != nullptr)
        std::memcpy(dst, src, bytes);
    else
        std::memset(dst, l.black ? 0 : 255, bytes);
}

} // namespace

std::int32_t CPutImageOnSide::setInfo(CImg& image, void* info) {
    m_Held[0].deleteImg();
    m_Held[1].deleteImg();
    return setInfoMiddle(image, info);
}

std::int32_t CPutImageOnSide::setInfoMiddle(CImg&, void* info) {
    if (checkRecordSize<tagPUTIMAGEONSIDEINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagPUTIMAGEONSIDEINFO*>(info);
    return RTN_OK;
}

std::int32_t CPutImageOnSide::finish(CImg& image) {
    const std::int32_t result = join(image, true);
    m_Held[0].deleteImg();
    m_Held[1].deleteImg();
    return result;
}

std::int32_t CPutImageOnSide::join(CImg& image, bool final) {
    CImg none;
    CImg& other = m_Info.pOtherImage != nullptr ? *m_Info.pOtherImage : none;
    CImg& leftNew = m_Info.bFront != 0 ? image : other;
    CImg& rightNew = m_Info.bFront != 0 ? other : image;
    if (checkSide(m_Held[0], leftNew) != RTN_OK || checkSide(m_Held[1], rightNew) != RTN_OK)
        return RTN_PAR;
    SideLines left(m_Held[0], leftNew), right(m_Held[1], rightNew);
    if (left.lines() == 0 || right.lines() == 0) {
        // One side has nothing yet: keep the other's lines; a final call hands them out alone.
        const int side = left.lines() == 0 ? 1 : 0;
        CImg& fresh = side == 0 ? leftNew : rightNew;
        CImg kept;
        const std::int32_t result = remainder(m_Held[side], fresh, 0, kept);
        if (result != RTN_OK)
            return result;
        m_Held[side].deleteImg();
        image.deleteImg(); // the partner is the caller's to empty
        if (final)
            image.attachImg(kept);
        else
            m_Held[side].attachImg(kept);
        return RTN_OK;
    }
    const CImg& lf = left.format();
    const CImg& rf = right.format();
    if (!compatible(lf, rf))
        return RTN_PAR;
    if (lf.getBps() != 8 && lf.getBps() != 1)
        return RTN_SEQUENCE;
    const bool planar = lf.getRGBOrder() == RGBORDER_LINE;
    const RowLayout layout{lf.getBps() == 1, lf.getWidth(), rf.getWidth(), planar ? 1 : lf.getSpp(),
                           m_Info.lFill != 0};
    const std::int32_t width = lf.getWidth() + rf.getWidth();
    const std::int64_t rowBits = std::int64_t{width} * lf.getBps() * layout.samples;
    const std::int32_t sync =
        static_cast<std::int32_t>(m_Info.lAlign == 1 ? (rowBits + 7) / 8 : (rowBits + 31) / 32 * 4);
    const std::int32_t height =
        final ? std::max(left.lines(), right.lines()) : std::min(left.lines(), right.lines());
    CImg out;
    if (out.createImg(0, 0, width, height, sync, lf.getBps(), lf.getSpp(), lf.getRGBOrder(),
                      lf.getXResolution(), lf.getYResolution()) == 0)
        return RTN_PAR;
    if (out.isNull())
        return RTN_MEMORY;
    const std::int32_t planes = planar ? lf.getSpp() : 1;
    for (std::int32_t y = 0; y < height; ++y) {
        std::int32_t leftLine = 0, rightLine = 0;
        const CImg* l = left.next(leftLine);
        const CImg* r = right.next(rightLine);
        for (std::int32_t plane = 0; plane < planes; ++plane) {
            std::uint8_t* row = out.getLine(y, plane);
            putPart(row, layout, false, l != nullptr ? l->getLine(leftLine, plane) : nullptr);
            putPart(row, layout, true, r != nullptr ? r->getLine(rightLine, plane) : nullptr);
        }
    }
    CImg keptLeft, keptRight;
    std::int32_t result = remainder(m_Held[0], leftNew, left.used(), keptLeft);
    if (result == RTN_OK)
        result = remainder(m_Held[1], rightNew, right.used(), keptRight);
    if (result != RTN_OK)
        return result;
    m_Held[0].attachImg(keptLeft);
    m_Held[1].attachImg(keptRight);
    image.attachImg(out);
    return RTN_OK;
}

} // namespace Ovk::Pixen
