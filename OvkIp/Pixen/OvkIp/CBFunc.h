// CBFunc: base of the binarisers and the fixed-slice method. Start stores the line pointers, strides and
// levels once per call; Rect then runs the virtual Line once per line, whose pixel loop is inline code.
#pragma once

#include "COvkIP.h"
#include "OvkBinalize.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

class CBFunc : public COvkIP {
public:
    using COvkIP::Line;
    using COvkIP::Rect;
    using COvkIP::Start;

    virtual void SetDst(tagOVKIMAGEINFO* dst);
    virtual void SetSrc(tagOVKIMAGEINFO* src);
    virtual void SetSlice(tagBINFUNCINFO* info);
    virtual void SetBInfo(tagBINFUNCINFO* info);
    virtual int Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info);
    // One line with the object's own slice and count (the record's are not read), then the write-back.
    virtual void Line(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info);
    // Start, every line, then the running slice and the count written back into info.
    virtual void Rect(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info);
    // Fixed slice: black where the pixel is below the current slice.
    void Line() override;
    void Rect() override;
    // Whether the method applies to these images; Start and the one-line call do nothing when it does not.
    virtual bool Accepts(const tagOVKIMAGEINFO* /*dst*/, const tagOVKIMAGEINFO* /*src*/) const {
        return true;
    }

protected:
    // Clears the destination line, then packs one bit per pixel, most significant first.
    template <class IsBlack> void PackLine(IsBlack isBlack) {
        std::memset(m_dst, 0, static_cast<size_t>(m_dstSync));
        for (int32_t x8 = 0; x8 < m_width; x8 += 8) {
            const int32_t n = std::min(8, m_width - x8);
            unsigned bits = 0;
            for (int32_t i = 0; i < n; ++i) {
                bits |= static_cast<unsigned>(isBlack(x8 + i)) << (7 - i);
            }
            m_dst[x8 >> 3] = static_cast<unsigned char>(bits);
        }
    }
    // Moves both line pointers to the next line and counts the line.
    void NextLine();
    void WriteBack(tagBINFUNCINFO* info) const;

    int32_t m_srcSync = 0; // bytes of one source plane line
    int32_t m_dstSync = 0;
    unsigned char* m_dst = nullptr;
    unsigned char* m_src = nullptr;
    ptrdiff_t m_srcStride = 0; // bytes from a source line to the next (three planes in line order)
    ptrdiff_t m_dstStride = 0;
    int32_t m_slice = 128;
    int32_t m_sliceLevel = 128;
    int32_t m_sliceLevel2 = 128;
    int32_t m_width = 0;
    int32_t m_lines = 0;
    int32_t m_lineCount = 0;
    uint32_t m_order = kOvkPixelOrder;
    int32_t m_xres = 300; // dpi
    int32_t m_yres = 300; // dpi
};

// Modes 2 and 3: accepted for compatibility, they binarise nothing.
class CBFuncASC : public CBFunc {
public:
    bool Accepts(const tagOVKIMAGEINFO*, const tagOVKIMAGEINFO*) const override { return false; }
};
class CBFuncLineAE : public CBFuncASC {};
