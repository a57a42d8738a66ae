// Binarisation entry points: 8-bit grey or colour in, 1-bit out (set bit = black), band by band with a
// persistent per-page object behind the record's handle word. Every entry returns 0 or -1 and never
// throws; the last-error cell is cleared on entry (mode 8 leaves its own code there).
#pragma once

#include "OvkImageInfo.h"

#include <cstdint>

// Modes of tagBINFUNCINFO::lMode.
enum : int32_t {
    kBinFixedSlice = 0,
    kBinErrorDiffusion = 1,
    kBinASC = 2,    // accepted, does nothing
    kBinLineAE = 3, // accepted, does nothing
    kBinWeightedGrey = 4,
    kBinMedian = 5,
    kBinAllChannelsDark = 6,
    kBinNone = 7,
    kBinAdaptRegion = 8, // handle form only
};

// The caller owns the record and keeps it (with its handle word) between the band calls of one page.
struct tagBINFUNCINFO {
    uint32_t ulSize;      // kBinFuncInfoStaticSize or kBinFuncInfoHandleSize
    int32_t lMode;        // method, see above
    int32_t lSliceLevel;  // threshold of the first line of a run (mode 8: the brightness level)
    int32_t lSliceLevel2; // running threshold, written back (mode 8: the contrast level)
    int32_t lLineCount;   // lines done since the run began, written back; 0 starts a new run
    void* hBinFunc;       // handle form only: the library's binariser, null until first use
};
// The static form ends before the handle word and uses process-wide shared binarisers.
constexpr uint32_t kBinFuncInfoStaticSize = 5 * sizeof(int32_t);
constexpr uint32_t kBinFuncInfoHandleSize = sizeof(tagBINFUNCINFO);

// Zeroes every word after the size word and sets both slice levels to 128.
void InitBINFUNCINFO(tagBINFUNCINFO* info);
// Binarises lHeight lines of src, from line lYpos of each image, into dst (destination first).
// Handle form: makes the binariser on first use. Static form with both images null: InitBINFUNCINFO only.
// -1 for a bad record, mode or image; 0 otherwise (also when a method does not apply to the images).
int BinalizeRectEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info);
// One line through the shared binariser of the mode (modes 0 to 6, handle-form size).
int BinalizeLineEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info);
// The record's binariser, made when the handle word is null; null for mode 7, an unknown mode, no memory
// or a handle word that this library did not hand out (or already released).
void* CreateBinalizeHandle(tagBINFUNCINFO* info);
// Deletes the handle-form record's binariser and clears the handle word.
void ReleaseBinalizeHandle(tagBINFUNCINFO* info);
// Slice level for a brightness 0..254; -1 from 255 on.
int32_t BrightnessToSlicelevel(uint32_t brightness);
