// Content rectangle of a page: the page is reduced to about 4 mm a pixel, binarised, cleaned of
// small gaps and specks, and narrowed by alternating searches for the longest runs of busy rows
// and busy columns.
#pragma once

#include "OvkImageInfo.h"

#include <cstdint>

// Reduction factor for a resolution of the table (0, 75, 100, 150, 200, 240, 300, 400, 600,
// 1200 dpi); any other resolution throws 2.
int32_t ReductionSize(int32_t resolution);
// Each pixel of dst becomes the rounded mean of the factor x factor square of src.
void Reduct(CImageInfo& dst, CImageInfo& src, int32_t factor);
// Binarises src into the 1-bit dst so that a set bit marks a pixel called white (grey: at or above
// the level, default 90, or between the histogram's peaks when automatic; colour: not dark in all
// three samples, default 75).
void Binalise(CImageInfo& dst, CImageInfo& src, int automatic, int32_t level);

// Start and length of a run of busy rows or columns.
struct tagBLOCKLEN {
    int32_t start;
    int32_t length;
};
using CBlockLen = tagBLOCKLEN;

// One bubble pass from the end: keeps the list ordered longest first.
void SortBlockLen(CBlockLen* list, int32_t n);
// Joins the longest run with the next ones when they are nearly as long (more than 3/4 of it).
void MargeBlockList(CBlockLen* list, int32_t n);

// A 1-bit image of its own on which the content rectangle is searched.
class CImageInfoDetect : public CImageInfo {
public:
    CImageInfoDetect(int32_t width, int32_t height);
    ~CImageInfoDetect() override = default;

    // Closes gaps and removes specks of up to one and then two pixels, along rows and columns.
    void Filter();
    // Narrows r (the whole image on entry) to the content rectangle.
    Ovk::tagRECT* GetRect(Ovk::tagRECT* r);
    int DetectH(Ovk::tagRECT* r);
    int DetectV(Ovk::tagRECT* r);
    void GetHBlockList(CBlockLen* list, int32_t n, const Ovk::tagRECT* r) const;
    void GetVBlockList(CBlockLen* list, int32_t n, const Ovk::tagRECT* r) const;
    // One pass over row y / column x with windows of n + 1 pixels; returns the windows changed.
    int32_t HFilter(int32_t y, int32_t n, int mode);
    int32_t VFilter(int32_t x, int32_t n, int mode);
    // Passes over every row / column; return how many lines changed.
    int32_t HFilter(int32_t n, int mode);
    int32_t VFilter(int32_t n, int mode);

private:
    int32_t m_depth = 0;
};
