// A data source whose scanner is a synthetic page: pixel (x, y) of every sample is (x + 3y + sample) & 0xFF
// for grey and colour, and bit x of row y is set where (x + y) % 3 == 0 for black and white. It counts the
// scan steps it is asked for, so tests see how the transfers drive the scanner.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CapHelpers.h"
#include "FixedPoint.h"
#include "LockDir.h"
#include "TestScanner.h"
#include "TripletTest.h"

namespace test {

inline std::uint8_t SampleAt(std::int32_t pixelType, std::uint32_t x, std::uint32_t y, std::uint32_t sample) {
    if (pixelType == TWPT_BW)
        return (x + y) % 3 == 0;
    return static_cast<std::uint8_t>(x + 3 * y + sample);
}

inline void FillRow(std::int32_t pixelType, std::uint32_t width, std::uint32_t y, std::uint8_t* row) {
    if (pixelType == TWPT_BW) {
        std::memset(row, 0, (width + 7) / 8);
        for (std::uint32_t x = 0; x < width; ++x)
            if (SampleAt(pixelType, x, y, 0))
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        return;
    }
    const std::uint32_t samples = pixelType == TWPT_RGB ? 3 : 1;
    for (std::uint32_t x = 0; x < width; ++x)
        for (std::uint32_t s = 0; s < samples; ++s)
            row[x * samples + s] = SampleAt(pixelType, x, y, s);
}

class CPageSource : public CTestScanner {
public:
    SScanSize size{1200, 1200}; // 1/1200 inch
    TW_UINT16 prepareResult = TWRC_SUCCESS, readResult = TWRC_SUCCESS;
    int prepareCalls = 0, readCalls = 0, finishCalls = 0, recoverCalls = 0;
    std::uint32_t nextRow = 0;

    SScanSize GetScanSize(bool) override { return size; }
    TW_UINT16 PrepareScan() override {
        ++prepareCalls;
        nextRow = 0;
        return prepareResult;
    }
    TW_UINT16 ReadImage(std::uint8_t* buffer, std::uint32_t bytesPerRow, std::uint32_t& rows) override {
        ++readCalls;
        if (readResult != TWRC_SUCCESS)
            return readResult;
        for (std::uint32_t i = 0; i < rows; ++i)
            FillRow(mImageInfo.PixelType, static_cast<std::uint32_t>(mImageInfo.ImageWidth), nextRow++,
                    buffer + std::size_t{i} * bytesPerRow);
        return TWRC_SUCCESS;
    }
    TW_UINT16 FinishScan() override {
        ++finishCalls;
        return TWRC_SUCCESS;
    }
    void RecoverScan() override { ++recoverCalls; }
    void ForceState(std::int32_t state) { mState = state; }
    std::int32_t TransferCount() const { return mTransferCount; }
};

// Opens the page source and puts it into the transfer-ready state, as an application would see it.
class PageSourceTest : public TripletTest {
protected:
    CDataSource& Source() override { return mDS; }
    void SetUp() override {
        ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS);
        mDS.ForceState(CDataSource::kXferReady);
    }
    // A page of width x length pixels of the pixel type, at the source's one resolution.
    void SetPage(std::int32_t pixelType, std::uint32_t width, std::uint32_t length) {
        SetCapSIntValue(mDS.GetCapPool(), ICAP_PIXELTYPE, pixelType);
        mDS.size = {width * 1200.0f / kDpi, length * 1200.0f / kDpi};
    }
    static constexpr float kDpi = 300;
    TW_UINT16 Info(TW_IMAGEINFO& info) { return Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info); }
    TW_UINT16 Block(std::vector<std::uint8_t>& buffer, TW_IMAGEMEMXFER& block) {
        block = TW_IMAGEMEMXFER{};
        block.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        block.Memory.Length = static_cast<TW_UINT32>(buffer.size());
        block.Memory.TheMem = buffer.data();
        return Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
    }

    LockDir mDir;
    CPageSource mDS;
};

} // namespace test
