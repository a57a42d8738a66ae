// Edge-emphasis request record and CEdgeFunc, the base of the objects that emphasise one page band by band.
// A kernel needs the line below the one it writes, so an object holds back one line per band and emits it
// at the start of the next band.
#pragma once

#include "COvkIP.h"
#include "OvkImageInfo.h"

#include <cstdint>

// The caller owns the record and passes the same one to every band call of a page.
struct tagEDGEINFO {
    uint32_t ulSize;      // kEdgeInfoSize; kEdgeInfoOldSize selects the process-wide functions
    uint32_t ulLevel;     // emphasis level code; 1 after InitEDGEINFO
    uint32_t ulLineCount; // source lines taken in so far, written back; 0 for a new page
    uintptr_t hEdgeFunc;  // the image kind before creation, then the library's object, 0 after release
};
constexpr uint32_t kEdgeInfoSize = sizeof(tagEDGEINFO);
constexpr uint32_t kEdgeInfoOldSize = 12; // size, level, line count: no object word

// Image kinds in hEdgeFunc before creation.
constexpr uintptr_t kEdgeKindGrey0 = 0; // also "create from the source" when the band calls see it
constexpr uintptr_t kEdgeKindGrey = 1;
constexpr uintptr_t kEdgeKindLineOrder = 3;
constexpr uintptr_t kEdgeKindPixelOrder = 5;

class CEdgeFunc : public COvkIP, public tagEDGEINFO {
public:
    using COvkIP::Finish;
    using COvkIP::Start;

    CEdgeFunc() : tagEDGEINFO{} {}

    // First band: emphasises src into dst (which may be src) and sets dst's lHeight to the lines finished;
    // returns 1. Cont: a middle band, as many lines out as in. Finish: the held line and the last band,
    // into a dst with room for both. Each writes the record's line count back.
    virtual int Start(tagOVKIMAGEINFO* /*dst*/, tagOVKIMAGEINFO* /*src*/, tagEDGEINFO* /*info*/) { return 0; }
    virtual int Finish(tagOVKIMAGEINFO* /*dst*/, tagOVKIMAGEINFO* /*src*/, tagEDGEINFO* /*info*/) {
        return 0;
    }
    virtual int Cont(tagOVKIMAGEINFO* /*dst*/, tagOVKIMAGEINFO* /*src*/, tagEDGEINFO* /*info*/) { return 0; }

    // Whether image suits this object: 8-bit samples in its layout and, inside a page, the page's width.
    virtual bool Fits(const tagOVKIMAGEINFO& image, bool newPage) const = 0;
    // Lines taken in and not yet written out.
    virtual int32_t HeldLines() const = 0;
};

// Bytes from one line of image to the next: all planes in line order.
inline ptrdiff_t GetRGBSync(const tagOVKIMAGEINFO& image) {
    return image.ulRGBOrder == kOvkLineOrder ? ptrdiff_t{image.lSync} * image.lSpp : image.lSync;
}
// Lines first .. first + count - 1 of in (fewer when in ends sooner) as a record of their own.
tagOVKIMAGEINFO GetBand(const tagOVKIMAGEINFO& in, int32_t first, int32_t count);
