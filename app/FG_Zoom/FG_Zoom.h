// A scaler that resizes an image row by row without holding it: Open with the sizes and the pixel
// format, Send the source rows from the top, and after each Send Read while ReadyCount() is above 0.
// FG_Zoom is the facade callers keep; it owns the engine that does the work.
#pragma once

#include <cstdint>
#include <memory>

// Answers of Open, Send and Read. Bad argument: a zero size, an unknown pixel format, a missing row.
// Out of order: not open or already open, rows still to read, no row ready, more rows than the source has.
inline constexpr int kFGZoomDone = 0;
inline constexpr int kFGZoomNoMemory = 1;
inline constexpr int kFGZoomBadArgument = 2;
inline constexpr int kFGZoomOutOfOrder = 3;

// Samples per pixel and bits per sample of the accepted formats (1, 8, 16, 24, 32, 48, 64 bits per
// pixel); 0 for any other value.
int FG_Zoom_SamplePerPixel(int bitsPerPixel);
int FG_Zoom_BitsPerSample(int bitsPerPixel);

struct FG_ZoomSize {
    int width;
    int height;
};
// The size of a width x height image fitted into the box with its proportions (ratios in single
// precision, truncated); neither side is ever below 1, so a thin page still gets a scalable size.
FG_ZoomSize FG_Zoom_FitInBox(int width, int height, int boxWidth, int boxHeight);

class FG_ZoomBilinear;

class FG_Zoom {
public:
    FG_Zoom();
    virtual ~FG_Zoom();
    FG_Zoom(const FG_Zoom&) = delete;
    FG_Zoom& operator=(const FG_Zoom&) = delete;

    // mode 2 (area average / bilinear) is the one callers use; reductions, tiny sources and 1-bit
    // images are always scaled in mode 2.
    virtual int Open(int dstWidth, int dstHeight, int srcWidth, int srcHeight, int bitsPerPixel, int mode);
    virtual void Close();
    // row: one packed source row, read during the call; the scaler keeps no pointer to it.
    virtual int Send(const void* row);
    // row: room for one packed destination row ((dstWidth * bitsPerPixel + 7) / 8 bytes).
    virtual int Read(void* row);
    // Destination rows that Read can deliver now.
    int ReadyCount() const;

protected:
    int mReady = 0;
    int mMode = 0;
    int mDstWidth = 0;
    int mDstHeight = 0;
    int mSrcWidth = 0;
    int mSrcHeight = 0;
    int mBitsPerPixel = 0;

private:
    std::unique_ptr<FG_ZoomBilinear> mEngine;
};
