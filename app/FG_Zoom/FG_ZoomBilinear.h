// The scaler's engine: each source row is first scaled horizontally into a work line, then work lines
// are combined vertically, two at a time for an enlargement, summed into an accumulator for a reduction.
// Integer arithmetic, or double precision where the sizes could overflow it.
#pragma once

#include <cstdint>
#include <vector>

#include "FG_Zoom.h"
#include "FG_Zoom2_Param.h"

class FG_ZoomBilinear : public FG_Zoom {
public:
    FG_ZoomBilinear() = default;
    ~FG_ZoomBilinear() override;

    // mode must be 2.
    int Open(int dstWidth, int dstHeight, int srcWidth, int srcHeight, int bitsPerPixel, int mode) override;
    void Close() override;
    int Send(const void* row) override;
    int Read(void* row) override;

private:
    int Allocate();
    void ExpandBits(const std::uint8_t* row);
    void ScaleRow(const void* row, std::uint32_t* out) const;
    int SendEnlarging(const void* row);
    int SendReducing(const void* row);
    void CombineRows(std::uint32_t* out) const;
    void Store(const std::uint32_t* values, void* row) const;

    int mSamples = 0;  // per pixel
    int mWorkBits = 0; // bits per pixel as worked on: 8 for 1-bit images
    int mDstRowBytes = 0;
    int mSrcRowBytes = 0;
    int mRowsReceived = 0;
    int mToggle = 0;  // work line (0 A, 1 B) that takes the next row of a vertical enlargement
    int mPending = 0; // the last row of a box is shared with the next box and must be added once more
    int mHorizontalDouble = 0;
    int mVerticalDouble = 0;
    std::vector<std::uint32_t> mLineA; // dstWidth * samples values each
    std::vector<std::uint32_t> mLineB;
    std::vector<std::uint32_t> mRowValues; // the destination row Read is about to store
    std::vector<std::uint64_t> mSum;       // vertical reduction accumulator, one of the two by precision
    std::vector<double> mSumDouble;
    std::vector<std::uint8_t> mBitLine; // 1-bit rows as one byte per pixel, 0 or 255
    std::vector<FG_Zoom2_Param> mHorizontal;
    std::vector<FG_Zoom2_Param> mVertical;
    std::size_t mVerticalEntry = 0; // entry of the next destination row
};
