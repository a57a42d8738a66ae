// Rows flow through two work lines: the horizontal pass writes one, the vertical pass reads one or two
// (enlargement) or adds one into the accumulator (reduction). A source row on the border of two boxes
// is added to both, so Read feeds it again to the next box itself.
#include "FG_ZoomBilinear.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Beyond these sizes products of samples and weights could leave 32 bits.
constexpr int kLimit8 = 16777216;
constexpr int kLimit16 = 65536;

bool NeedsDouble(int dst, int src, int limit) {
    return (limit <= src && dst < src) || (limit <= dst && dst > src);
}

// One sample of one destination pixel from the source samples (stride: samples per pixel).
template <typename Acc, typename Sample>
std::uint32_t ScaleSample(const Sample* src, int stride, const FG_Zoom2_Param& e, bool reduce,
                          Acc weightEach) {
    Acc sum;
    if (!reduce) {
        sum = Acc(src[e.first * stride]) * Acc(e.firstWeight);
        if (e.nextWeight != 0)
            sum += Acc(src[(e.first + 1) * stride]) * Acc(e.nextWeight);
    } else {
        sum = Acc(src[e.first * stride]) * Acc(e.firstWeight);
        for (int j = e.first + 1; j <= e.lastFull; ++j)
            sum += Acc(src[j * stride]) * weightEach;
        if (e.nextWeight != 0)
            sum += Acc(src[(e.lastFull + 1) * stride]) * Acc(e.nextWeight);
    }
    return static_cast<std::uint32_t>(sum / Acc(e.divisor));
}

template <typename Acc, typename Sample>
void ScaleLine(const Sample* src, std::uint32_t* out, const std::vector<FG_Zoom2_Param>& table, int srcWidth,
               int samples) {
    const int dstWidth = static_cast<int>(table.size());
    if (srcWidth == dstWidth) {
        std::copy(src, src + static_cast<std::size_t>(dstWidth) * samples, out);
        return;
    }
    if (srcWidth == 1) {
        for (int i = 0; i < dstWidth; ++i)
            std::copy(src, src + samples, out + static_cast<std::size_t>(i) * samples);
        return;
    }
    const bool reduce = dstWidth < srcWidth;
    for (int i = 0; i < dstWidth; ++i)
        for (int s = 0; s < samples; ++s)
            out[static_cast<std::size_t>(i) * samples + s] =
                ScaleSample<Acc>(src + s, samples, table[i], reduce, Acc(dstWidth));
}

template <typename Acc>
void Blend(const std::uint32_t* a, const std::uint32_t* b, const FG_Zoom2_Param& e, std::uint32_t* out,
           std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Acc sum = Acc(a[i]) * Acc(e.firstWeight);
        if (e.nextWeight != 0)
            sum += Acc(b[i]) * Acc(e.nextWeight);
        out[i] = static_cast<std::uint32_t>(sum / Acc(e.divisor));
    }
}

template <typename Acc>
void Accumulate(std::vector<Acc>& sum, const std::vector<std::uint32_t>& line, std::int64_t weight,
                bool clear) {
    if (clear)
        std::fill(sum.begin(), sum.end(), Acc(0));
    for (std::size_t i = 0; i < sum.size(); ++i)
        sum[i] += Acc(line[i]) * Acc(weight);
}

template <typename Acc> void Divide(const std::vector<Acc>& sum, std::int32_t divisor, std::uint32_t* out) {
    for (std::size_t i = 0; i < sum.size(); ++i)
        out[i] = static_cast<std::uint32_t>(sum[i] / Acc(divisor));
}

} // namespace

FG_ZoomBilinear::~FG_ZoomBilinear() {
    FG_ZoomBilinear::Close();
}

int FG_ZoomBilinear::Open(int dstWidth, int dstHeight, int srcWidth, int srcHeight, int bitsPerPixel,
                          int mode) {
    Close();
    if (dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0 ||
        FG_Zoom_SamplePerPixel(bitsPerPixel) == 0 || mode != 2)
        return kFGZoomBadArgument;
    const int limit = FG_Zoom_BitsPerSample(bitsPerPixel) == 16 ? kLimit16 : kLimit8;
    mHorizontalDouble = NeedsDouble(dstWidth, srcWidth, limit);
    mVerticalDouble = NeedsDouble(dstHeight, srcHeight, limit);
    mMode = mode;
    mDstWidth = dstWidth;
    mDstHeight = dstHeight;
    mSrcWidth = srcWidth;
    mSrcHeight = srcHeight;
    mBitsPerPixel = bitsPerPixel;
    mSamples = FG_Zoom_SamplePerPixel(bitsPerPixel);
    mWorkBits = bitsPerPixel == 1 ? 8 : bitsPerPixel;
    mDstRowBytes = static_cast<int>((static_cast<std::int64_t>(dstWidth) * bitsPerPixel + 7) / 8);
    mSrcRowBytes = static_cast<int>((static_cast<std::int64_t>(srcWidth) * bitsPerPixel + 7) / 8);
    if (const int rc = Allocate(); rc != kFGZoomDone) {
        Close();
        return rc;
    }
    if (dstWidth < srcWidth)
        mHorizontalDouble |= FG_ZoomReduceParams(mHorizontal.data(), dstWidth, srcWidth);
    else
        FG_ZoomEnlargeParams(mHorizontal.data(), dstWidth, srcWidth);
    if (dstHeight < srcHeight)
        mVerticalDouble |= FG_ZoomReduceParams(mVertical.data(), dstHeight, srcHeight);
    else
        FG_ZoomEnlargeParams(mVertical.data(), dstHeight, srcHeight);
    return kFGZoomDone;
}

int FG_ZoomBilinear::Allocate() {
    const std::size_t values = static_cast<std::size_t>(mDstWidth) * mSamples;
    try {
        mLineA.assign(values, 0);
        mLineB.assign(values, 0);
        mRowValues.assign(values, 0);
        if (mVerticalDouble)
            mSumDouble.assign(values, 0.0);
        else
            mSum.assign(values, 0);
        mHorizontal.assign(static_cast<std::size_t>(mDstWidth), FG_Zoom2_Param{});
        mVertical.assign(static_cast<std::size_t>(mDstHeight), FG_Zoom2_Param{});
        if (mBitsPerPixel == 1)
            mBitLine.assign(static_cast<std::size_t>(mSrcWidth), 0);
    } catch (const std::bad_alloc&) {
        return kFGZoomNoMemory;
    } catch (const std::length_error&) {
        return kFGZoomNoMemory;
    }
    return kFGZoomDone;
}

void FG_ZoomBilinear::Close() {
    mLineA = {};
    mLineB = {};
    mRowValues = {};
    mSum = {};
    mSumDouble = {};
    mBitLine = {};
    mHorizontal = {};
    mVertical = {};
    mVerticalEntry = 0;
    mSamples = mWorkBits = mDstRowBytes = mSrcRowBytes = mRowsReceived = mToggle = mPending = 0;
    mHorizontalDouble = mVerticalDouble = 0;
    mReady = mMode = mDstWidth = mDstHeight = mSrcWidth = mSrcHeight = mBitsPerPixel = 0;
}

void FG_ZoomBilinear::ExpandBits(const std::uint8_t* row) {
    for (int x = 0; x < mSrcWidth; ++x)
        mBitLine[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
}

void FG_ZoomBilinear::ScaleRow(const void* row, std::uint32_t* out) const {
    if (FG_Zoom_BitsPerSample(mBitsPerPixel) == 16) {
        const auto* src = static_cast<const std::uint16_t*>(row);
        if (mHorizontalDouble)
            ScaleLine<double>(src, out, mHorizontal, mSrcWidth, mSamples);
        else
            ScaleLine<std::uint64_t>(src, out, mHorizontal, mSrcWidth, mSamples);
        return;
    }
    const auto* src = mBitsPerPixel == 1 ? mBitLine.data() : static_cast<const std::uint8_t*>(row);
    if (mHorizontalDouble)
        ScaleLine<double>(src, out, mHorizontal, mSrcWidth, mSamples);
    else
        ScaleLine<std::uint64_t>(src, out, mHorizontal, mSrcWidth, mSamples);
}

int FG_ZoomBilinear::Send(const void* row) {
    if (mVertical.empty())
        return kFGZoomOutOfOrder;
    if (!row && !mPending)
        return kFGZoomBadArgument;
    // A row past the source height has no box left to go to.
    if (mReady > 0 || mRowsReceived >= mSrcHeight)
        return kFGZoomOutOfOrder;
    if (row && mBitsPerPixel == 1)
        ExpandBits(static_cast<const std::uint8_t*>(row));
    return mDstHeight < mSrcHeight ? SendReducing(row) : SendEnlarging(row);
}

int FG_ZoomBilinear::SendEnlarging(const void* row) {
    ScaleRow(row, mToggle ? mLineB.data() : mLineA.data());
    const int before = mRowsReceived;
    if (mVerticalEntry < mVertical.size()) {
        const FG_Zoom2_Param& e = mVertical[mVerticalEntry];
        if (before == 0 ? (mSrcHeight == 1 || mSrcHeight == mDstHeight) : before >= e.first)
            mReady = e.runOrLast;
    }
    if (mDstHeight > mSrcHeight && mSrcHeight >= 2)
        mToggle ^= 1;
    ++mRowsReceived;
    return kFGZoomDone;
}

int FG_ZoomBilinear::SendReducing(const void* row) {
    if (mVerticalEntry >= mVertical.size())
        return kFGZoomOutOfOrder;
    if (!mPending)
        ScaleRow(row, mLineB.data());
    const FG_Zoom2_Param& e = mVertical[mVerticalEntry];
    const int r = mRowsReceived;
    const bool first = r == e.first;
    const std::int64_t weight = first ? e.firstWeight : r > e.lastFull ? e.nextWeight : mDstHeight;
    if (mVerticalDouble)
        Accumulate(mSumDouble, mLineB, weight, first);
    else
        Accumulate(mSum, mLineB, weight, first);
    if (r == e.runOrLast) {
        mReady = 1;
        if (e.partialWeight != 0) {
            mPending = 1; // this row opens the next box as well
            return kFGZoomDone;
        }
    }
    ++mRowsReceived;
    return kFGZoomDone;
}

void FG_ZoomBilinear::CombineRows(std::uint32_t* out) const {
    const FG_Zoom2_Param& e = mVertical[mVerticalEntry];
    if (mDstHeight < mSrcHeight) {
        if (mVerticalDouble)
            Divide(mSumDouble, e.divisor, out);
        else
            Divide(mSum, e.divisor, out);
        return;
    }
    if (mDstHeight == mSrcHeight) {
        std::copy(mLineA.begin(), mLineA.end(), out);
        return;
    }
    // Row q went into line q % 2 when the lines alternate; a single source row stays in line A.
    const bool alternate = mSrcHeight >= 2;
    const std::uint32_t* upper = alternate && (e.first % 2) ? mLineB.data() : mLineA.data();
    const std::uint32_t* lower = upper == mLineA.data() ? mLineB.data() : mLineA.data();
    if (mVerticalDouble)
        Blend<double>(upper, lower, e, out, mLineA.size());
    else
        Blend<std::uint64_t>(upper, lower, e, out, mLineA.size());
}

void FG_ZoomBilinear::Store(const std::uint32_t* values, void* row) const {
    const std::size_t count = static_cast<std::size_t>(mDstWidth) * mSamples;
    if (mBitsPerPixel == 1) {
        auto* out = static_cast<std::uint8_t*>(row);
        std::memset(out, 0, static_cast<std::size_t>(mDstRowBytes));
        for (std::size_t x = 0; x < count; ++x)
            if (values[x] >= 128)
                out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    } else if (FG_Zoom_BitsPerSample(mBitsPerPixel) == 16) {
        auto* out = static_cast<std::uint16_t*>(row);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<std::uint16_t>(values[i]);
    } else {
        auto* out = static_cast<std::uint8_t*>(row);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<std::uint8_t>(values[i]);
    }
}

int FG_ZoomBilinear::Read(void* row) {
    if (mVertical.empty())
        return kFGZoomOutOfOrder;
    if (!row)
        return kFGZoomBadArgument;
    if (mReady <= 0 || mVerticalEntry >= mVertical.size())
        return kFGZoomOutOfOrder;
    CombineRows(mRowValues.data());
    Store(mRowValues.data(), row);
    ++mVerticalEntry;
    --mReady;
    if (!mPending)
        return kFGZoomDone;
    const int rc = Send(nullptr);
    mPending = 0;
    return rc;
}
