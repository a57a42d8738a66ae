// Resolution reduction with moire suppression: each line is low-pass filtered and decimated
// horizontally, then a window of lines is filtered and decimated vertically. Pages may come whole
// or in bands; the result is the same either way.
#pragma once

#include "Moire/MoireMask.h"
#include "OvkImageInfo.h"

#include <cstdint>
#include <memory>
#include <vector>

// The caller owns the record and keeps it between the calls of one page.
struct tagREDUCEMOIREFILTERINFO {
    uint32_t ulSize;
    int32_t lCommand;   // 0 create, 1 first band, 2 next band, 3 end, 4 release, 5 whole page
    int32_t lMaskMode;  // 1: the caller's mask below; otherwise the built-in one
    int16_t* pMask;     // the caller's coefficients (not owned)
    int32_t lMaskTaps;  // number of coefficients
    int32_t lMaskScale; // Q14 scale of the coefficients
    int32_t lDstXResolution;
    int32_t lDstYResolution;
    int32_t lDstWidth;
    int32_t lDstHeight; // lines of the whole output page
    int32_t lSrcXResolution;
    int32_t lSrcYResolution;
    int32_t lSrcWidth;
    int32_t lSrcHeight;        // lines of the whole input page
    void* hReduceMoire;        // the reducer (ReduceMoire, MaskFilterV)
    void* hResolutionConvertV; // ResolutionConvertV
    void* hMaskFilterH;        // MaskFilterH
    void* hResolutionConvertH; // ResolutionConvertH
    int32_t lHeldLines;        // lines the vertical window holds after the first band
};

enum : int32_t {
    kMoireCreate = 0,
    kMoireFirstBand = 1,
    kMoireNextBand = 2,
    kMoireEnd = 3,
    kMoireRelease = 4,
    kMoireWholePage = 5,
};

// One configured pass over a page: a horizontal mask with an optional pixel table, then a
// vertical window with an optional line table. Tables keep the pixels or lines whose entry is
// non-zero; no table keeps all of them.
class COvkReduceMoire {
public:
    struct Setup {
        MoireMask horizontal;
        std::vector<uint16_t> keepPixels;
        MoireMask vertical;
        std::vector<uint16_t> keepLines;
        int64_t pageLines;
    };
    explicit COvkReduceMoire(Setup setup);

    // Filters the band's lines into dst; returns the lines written (at most dst's height on entry).
    int32_t band(tagOVKIMAGEINFO* dst, const tagOVKIMAGEINFO* src);
    // Releases the lines the window still holds, repeating the page's last line below it.
    int32_t end(tagOVKIMAGEINFO* dst);
    int64_t linesOut() const { return m_linesOut; }
    int32_t heldLines() const { return m_setup.vertical.taps() - 1; }

private:
    int32_t emit(tagOVKIMAGEINFO* dst, int32_t written, int64_t last);
    void prepare(const tagOVKIMAGEINFO* src, const tagOVKIMAGEINFO* dst);
    bool keepLine(int64_t index) const;

    Setup m_setup;
    int32_t m_samples = 0;
    int32_t m_outWidth = 0;
    std::unique_ptr<MoireWindow> m_window;
    std::vector<uint8_t> m_line;
    MaskScratch m_work;
    int64_t m_next = 0;
    int64_t m_linesOut = 0;
};

// 0 or a negative code: -1 no record or no mask for the resolutions or images that do not match,
// -2 no memory, -4 bad size, command, image or handle.
int ReduceMoire(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info);
// The passes one at a time, without decimation or without filtering (commands 0 to 4).
int MaskFilterH(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info);
int MaskFilterV(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info);
int ResolutionConvertH(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info);
int ResolutionConvertV(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info);
