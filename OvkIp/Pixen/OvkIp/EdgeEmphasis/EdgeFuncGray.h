// CEdgeFuncGray: the band driver of edge emphasis. It feeds a page's lines one by one to its line
// operations, which may hold a line back; here they copy, so a page passes unchanged and undelayed.
#pragma once

#include "EdgeEmphasis/EdgeFunc.h"

class CEdgeFuncGray : public CEdgeFunc {
public:
    int Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) override;
    int Finish(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) override;
    int Cont(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info) override;
    bool Fits(const tagOVKIMAGEINFO& image, bool newPage) const override;
    int32_t HeldLines() const override;

protected:
    // Called on a page's first line, before the level table; may throw std::bad_alloc.
    virtual void NewBuffer(const tagOVKIMAGEINFO& /*src*/) {}
    // Lines this class lags behind its input.
    virtual int DelayLineNum() const { return 0; }
    virtual void SetInfo(const tagEDGEINFO* info) { static_cast<tagEDGEINFO&>(*this) = *info; }
    // Builds the level table once per object; may throw std::bad_alloc.
    virtual void MakeLevelTable() {}
    virtual int32_t BytesPerPixel() const { return 1; }
    // Line operations on one line of width pixels; each returns 1 when it wrote dst, 0 when it held the line.
    virtual int LineStart1(uint8_t* dst, const uint8_t* src, int32_t width);
    virtual int LineStart2(uint8_t* dst, const uint8_t* src, int32_t width) {
        return LineStart1(dst, src, width);
    }
    virtual int LineCont(uint8_t* dst, const uint8_t* src, int32_t width) {
        return LineStart1(dst, src, width);
    }
    // Writes the held line (no source); 0 when none was held.
    virtual int LineFinish(uint8_t* /*dst*/, int32_t /*width*/) { return 0; }

    int32_t m_width = 0; // pixels of the page in progress, 0 before its first line
};
