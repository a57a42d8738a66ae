// The facade: picks the final mode, owns the engine and passes every call on to it.
#include "FG_Zoom.h"

#include <algorithm>
#include <new>

#include "FG_ZoomBilinear.h"

namespace {
// At or below this many source pixels an axis is always averaged, whatever mode was asked for.
constexpr int kTinySide = 5;
} // namespace

int FG_Zoom_SamplePerPixel(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 8:
    case 16:
        return 1;
    case 24:
    case 48:
        return 3;
    case 32:
    case 64:
        return 4;
    default:
        return 0;
    }
}

int FG_Zoom_BitsPerSample(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return 1;
    case 8:
    case 24:
    case 32:
        return 8;
    case 16:
    case 48:
    case 64:
        return 16;
    default:
        return 0;
    }
}

FG_ZoomSize FG_Zoom_FitInBox(int width, int height, int boxWidth, int boxHeight) {
    if (width <= 0 || height <= 0)
        return {width, height};
    FG_ZoomSize size{boxWidth, boxHeight};
    const float ratio = static_cast<float>(height) / static_cast<float>(width);
    if (ratio > static_cast<float>(boxHeight) / static_cast<float>(boxWidth))
        size.width = static_cast<int>(boxHeight * (static_cast<float>(width) / static_cast<float>(height)));
    else
        size.height = static_cast<int>(boxWidth * ratio);
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    return size;
}

FG_Zoom::FG_Zoom() = default;

FG_Zoom::~FG_Zoom() {
    FG_Zoom::Close();
}

int FG_Zoom::Open(int dstWidth, int dstHeight, int srcWidth, int srcHeight, int bitsPerPixel, int mode) {
    if (mEngine)
        return kFGZoomOutOfOrder;
    mMode = mode;
    if (dstWidth < srcWidth || dstHeight < srcHeight)
        mMode = 2;
    else if ((srcWidth <= kTinySide || srcHeight <= kTinySide) && mode != 1)
        mMode = 2;
    else if (bitsPerPixel == 1)
        mMode = 2;
    if (mMode != 0 && mMode != 2)
        return kFGZoomBadArgument;
    mEngine.reset(new (std::nothrow) FG_ZoomBilinear);
    if (!mEngine)
        return kFGZoomBadArgument;
    mDstWidth = dstWidth;
    mDstHeight = dstHeight;
    mSrcWidth = srcWidth;
    mSrcHeight = srcHeight;
    mBitsPerPixel = bitsPerPixel;
    // The engine only does mode 2: after mode 0 it refuses, and the facade stays open until Close.
    return mEngine->Open(dstWidth, dstHeight, srcWidth, srcHeight, bitsPerPixel, mMode);
}

void FG_Zoom::Close() {
    if (mEngine)
        mEngine->Close();
    mEngine.reset();
    mReady = mMode = mDstWidth = mDstHeight = mSrcWidth = mSrcHeight = mBitsPerPixel = 0;
}

int FG_Zoom::Send(const void* row) {
    return mEngine ? mEngine->Send(row) : kFGZoomOutOfOrder;
}

int FG_Zoom::Read(void* row) {
    return mEngine ? mEngine->Read(row) : kFGZoomOutOfOrder;
}

int FG_Zoom::ReadyCount() const {
    return mEngine ? mEngine->mReady : mReady;
}
