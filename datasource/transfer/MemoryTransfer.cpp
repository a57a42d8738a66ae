// Image information and the memory transfer of CDataSource: a page leaves in blocks of whole rows, pulled
// from the scanner's PrepareScan / ReadImage / FinishScan steps. Whole rows keep every block decodable on
// its own, and the proposed buffer is sized from the page so that most pages go out in one block.
#include <algorithm>
#include <cmath>
#include <new>

#include "CapHelpers.h"
#include "ClientApp.h"
#include "DataSource.h"
#include "FixedPoint.h"
#include "ManagerEntryPoints.h"

namespace {

constexpr TW_UINT32 kMinBuffer = 0x8000;             // bytes
constexpr TW_UINT32 kPreferredBuffer = 0x200000;     // bytes, before the page is known
constexpr std::uint64_t kLongPageBudget = 0x400000;  // bytes, pages over 14 inches
constexpr std::uint64_t kShortPageBudget = 0xE00000; // bytes
constexpr double kLongPageInches = 14.0;

// Samples and bits per sample of a pixel type; {0, 0} for a type this source cannot deliver.
std::pair<TW_INT16, TW_INT16> SampleLayout(std::int32_t pixelType) {
    switch (pixelType) {
    case TWPT_BW:
        return {1, 1};
    case TWPT_GRAY:
        return {1, 8};
    case TWPT_RGB:
        return {3, 8};
    default:
        return {0, 0};
    }
}

std::uint8_t* BlockMemory(const TW_MEMORY& memory, TW_UINT32& length) {
    length = memory.Length;
    if (!(memory.Flags & TWMF_HANDLE))
        return static_cast<std::uint8_t*>(memory.TheMem);
    return static_cast<std::uint8_t*>(ManagerEntryPoints::Lock(memory.TheMem));
}

} // namespace

TW_UINT16 CDataSource::GetImageInfo(pTW_IDENTITY, TW_MEMREF data) {
    auto* info = static_cast<TW_IMAGEINFO*>(data);
    if (!info)
        return Fail(TWCC_BADVALUE);
    const float xResolution = GetCapFloatValue(mCapPool.get(), ICAP_XRESOLUTION);
    const float yResolution = GetCapFloatValue(mCapPool.get(), ICAP_YRESOLUTION);
    const SScanSize size = GetScanSize(true);
    const std::int32_t pixelType = GetCapSIntValue(mCapPool.get(), ICAP_PIXELTYPE);
    const auto [samples, bits] = SampleLayout(pixelType);
    *info = TW_IMAGEINFO{};
    info->XResolution = FloatToFix32(xResolution);
    info->YResolution = FloatToFix32(yResolution);
    info->ImageWidth = SaturateToInt32(size.width * (xResolution / 1200.0));
    info->ImageLength = SaturateToInt32(size.height * (yResolution / 1200.0));
    info->SamplesPerPixel = samples;
    for (TW_INT16 i = 0; i < samples; ++i)
        info->BitsPerSample[i] = bits;
    info->BitsPerPixel = static_cast<TW_INT16>(samples * bits);
    info->Planar = static_cast<TW_BOOL>(GetCapUIntValue(mCapPool.get(), ICAP_PLANARCHUNKY));
    info->PixelType = static_cast<TW_INT16>(pixelType);
    info->Compression = static_cast<TW_UINT16>(GetCapUIntValue(mCapPool.get(), ICAP_COMPRESSION));
    // Every transfer divides by the row length: a page without rows or pixels cannot be delivered.
    if (samples == 0 || info->ImageWidth <= 0 || info->ImageLength <= 0 || yResolution <= 0) {
        mBatch.ForgetImageInfo();
        return Fail(TWCC_BADVALUE);
    }
    mBytesPerRow = BytesPerRow(*info);
    mImageInfo = *info;
    // Asked again in state 7 the page is only described anew: its transfer goes on where it stood.
    if (mState != kTransferring)
        mRowsTransferred = 0;
    mBatch.ImageDescribed();
    return TWRC_SUCCESS;
}

std::uint32_t CDataSource::BytesPerRow(const TW_IMAGEINFO& info) {
    const auto width = static_cast<std::uint64_t>(std::max<TW_INT32>(info.ImageWidth, 0));
    const std::uint64_t bytes = info.BitsPerPixel == 1 ? (width + 7) / 8 : width * info.SamplesPerPixel;
    return bytes > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(bytes);
}

TW_UINT16 CDataSource::SetupMemXfer(pTW_IDENTITY, TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPMEMXFER*>(data);
    if (!setup)
        return Fail(TWCC_BADVALUE);
    setup->MinBufSize = kMinBuffer;
    setup->MaxBufSize = TWON_DONTCARE32;
    setup->Preferred = kPreferredBuffer;
    if (HasValidImageInfo()) {
        const double inches = mImageInfo.ImageLength / Fix32ToFloat(mImageInfo.YResolution);
        const std::uint64_t budget = inches > kLongPageInches ? kLongPageBudget : kShortPageBudget;
        const std::uint64_t rows = std::max<std::uint64_t>(
            1, std::min<std::uint64_t>(mImageInfo.ImageLength, budget / mBytesPerRow));
        const auto size = static_cast<TW_UINT32>(std::min<std::uint64_t>(rows * mBytesPerRow, 0xFFFFFFFEu));
        setup->MinBufSize = std::min(size, kMinBuffer);
        setup->MaxBufSize = std::max(size, kPreferredBuffer);
        setup->Preferred = size;
    }
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::ImageMemXfer(pTW_IDENTITY origin, TW_MEMREF data) {
    auto* block = static_cast<TW_IMAGEMEMXFER*>(data);
    if (!block)
        return Fail(TWCC_BADVALUE);
    if (!HasValidImageInfo())
        return TWRC_CANCEL;
    TW_UINT32 length = 0;
    std::uint8_t* buffer = BlockMemory(block->Memory, length);
    // A buffer without room for one row would make every block empty and the transfer endless.
    if (!buffer || length < mBytesPerRow)
        return Fail(TWCC_BADVALUE);
    mState = kTransferring;
    block->Compression = TWCP_NONE;
    block->BytesPerRow = mBytesPerRow;
    block->Columns = static_cast<TW_UINT32>(mImageInfo.ImageWidth);
    block->Rows = block->XOffset = block->YOffset = block->BytesWritten = 0;
    TW_UINT16 rc = mRowsTransferred == 0 ? PrepareFirstBlock() : TWRC_SUCCESS;
    if (rc == TWRC_SUCCESS)
        rc = ReadBlock(origin, *block, buffer, length);
    if (block->Memory.Flags & TWMF_HANDLE)
        ManagerEntryPoints::Unlock(block->Memory.TheMem);
    if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE)
        AbandonPage();
    return rc;
}

void CDataSource::AbandonPage() {
    mRowsTransferred = 0;
    RecoverScan();
}

TW_UINT16 CDataSource::PrepareFirstBlock() {
    TW_UINT16 rc = TWRC_CHECKSTATUS;
    while (rc == TWRC_CHECKSTATUS) {
        mConditionCode = TWCC_SUCCESS;
        rc = PrepareScan();
        if (rc == TWRC_CHECKSTATUS && mConditionCode != TWCC_SUCCESS)
            break;
    }
    return rc;
}

TW_UINT16 CDataSource::ReadBlock(pTW_IDENTITY origin, TW_IMAGEMEMXFER& block, std::uint8_t* buffer,
                                 TW_UINT32 length) {
    const auto pageRows = static_cast<std::uint32_t>(mImageInfo.ImageLength);
    std::uint32_t wanted = std::min(length / mBytesPerRow, pageRows - mRowsTransferred);
    // This client shows nothing of a page that arrives in a single block.
    if (CClientApp::CurrentId() == CClientApp::kOfficeClient && mRowsTransferred == 0 && wanted == pageRows &&
        pageRows > 1)
        wanted /= 2;
    std::uint32_t rows = wanted;
    const TW_UINT16 rc = ReadImage(buffer, mBytesPerRow, rows);
    if (rc != TWRC_SUCCESS)
        return rc;
    rows = std::min(rows, wanted);
    block.Rows = rows;
    block.YOffset = mRowsTransferred;
    block.BytesWritten = mBytesPerRow * rows;
    mRowsTransferred += rows;
    if (mRowsTransferred < pageRows)
        return TWRC_SUCCESS;
    const TW_UINT16 finished = FinishScan();
    if (finished != TWRC_SUCCESS)
        return finished;
    mRowsTransferred = 0;
    if (origin)
        ++mTransferCount;
    mPendingXfers = 0;
    mState = kTransferring;
    mBatch.ImageTransferred();
    return TWRC_XFERDONE;
}

TW_UINT16 CDataSource::TransferTiffImage(pTW_IDENTITY origin, SPageBitmap& page) {
    page = SPageBitmap{};
    // A host need not ask for the information before a whole page: it is taken as if it had.
    if (!HasValidImageInfo()) {
        TW_IMAGEINFO info{};
        if (const TW_UINT16 rc = GetImageInfo(origin, &info); rc != TWRC_SUCCESS)
            return rc;
    }
    const std::uint64_t bytes =
        std::uint64_t{mBytesPerRow} * static_cast<std::uint32_t>(mImageInfo.ImageLength);
    if (bytes > 0xFFFFFFFFu)
        return Fail(TWCC_LOWMEMORY);
    try {
        page.pixels.resize(bytes);
    } catch (const std::bad_alloc&) {
        return Fail(TWCC_LOWMEMORY);
    }
    page.width = static_cast<std::uint32_t>(mImageInfo.ImageWidth);
    page.height = static_cast<std::uint32_t>(mImageInfo.ImageLength);
    page.samplesPerPixel = static_cast<std::uint16_t>(mImageInfo.SamplesPerPixel);
    page.bitsPerSample = static_cast<std::uint16_t>(mImageInfo.BitsPerPixel / mImageInfo.SamplesPerPixel);
    page.bytesPerRow = mBytesPerRow;
    page.xResolution = Fix32ToFloat(mImageInfo.XResolution);
    page.yResolution = Fix32ToFloat(mImageInfo.YResolution);
    const TW_UINT16 rc = PullPage(origin, page.pixels);
    if (rc != TWRC_XFERDONE) {
        page = SPageBitmap{};
        return rc;
    }
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::PullPage(pTW_IDENTITY origin, std::vector<std::uint8_t>& pixels) {
    TW_IMAGEMEMXFER block{};
    block.Memory.Flags = TWMF_DSOWNS | TWMF_POINTER;
    std::size_t filled = 0;
    for (;;) {
        block.Memory.TheMem = pixels.data() + filled;
        block.Memory.Length = static_cast<TW_UINT32>(pixels.size() - filled);
        const TW_UINT16 rc = ImageMemXfer(origin, &block);
        filled += block.BytesWritten;
        if (rc != TWRC_SUCCESS)
            return rc;
        // A block that moved nothing would repeat for ever.
        if (block.BytesWritten == 0) {
            AbandonPage();
            return Fail(TWCC_OPERATIONERROR);
        }
    }
}
