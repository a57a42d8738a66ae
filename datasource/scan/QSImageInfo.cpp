// The scanner's image information: the page is scanned first when its size, type or direction is only
// known afterwards; the generic description is turned for the page's orientation and folded sheets, and
// row lengths are kept even for one client that cannot take odd ones.
#include "CapHelpers.h"
#include "ClientApp.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "ScanParam.h"

TW_UINT16 COrvkQSDS::GetImageInfo(pTW_IDENTITY origin, TW_MEMREF data) {
    auto* info = static_cast<TW_IMAGEINFO*>(data);
    if (!info)
        return Fail(TWCC_BADVALUE);
    const bool office = CClientApp::CurrentId() == CClientApp::kOfficeClient;
    if (office && origin && mBatch.IsImageInfoPoisoned())
        return Fail(TWCC_SEQERROR);
    TW_UINT16 rc = ScanBeforeDescribing();
    if (rc == TWRC_SUCCESS)
        rc = CDataSource::GetImageInfo(origin, data);
    if (rc != TWRC_SUCCESS) {
        if (office && origin)
            mBatch.PoisonImageInfo(); // a repeated request of this transfer fails too
        return rc;
    }
    TurnImageInfo(*info);
    if (office && info->SamplesPerPixel == 1)
        EvenRowLength(*info);
    mImageInfo = *info;
    return TWRC_SUCCESS;
}

TW_UINT16 COrvkQSDS::ScanBeforeDescribing() {
    const CCapPool* pool = GetCapPool();
    const bool detects = GetCapSIntValue(pool, CCAP_OVK_DETECTPAGESIZE) ||
                         GetCapSIntValue(pool, CCAP_OVK_DETECTPAGETYPE) ||
                         GetCapSIntValue(pool, CCAP_OVK_RECOGNIZE_DIRECTION);
    // Size, type and direction are only known once the page has been scanned; an image in hand was.
    if (mBatch.IsSheetInProgress() || !detects)
        return TWRC_SUCCESS;
    const bool openCount = static_cast<TW_INT16>(GetCapSIntValue(pool, CAP_XFERCOUNT)) == -1;
    if (!GetCapSIntValue(pool, CCAP_OVK_BLANKSKIP) || !openCount || mBatch.IsPrescan())
        return PrepareFirstBlock();
    // Nothing in hand with blank skip on an open count: describing it would report a page never measured
    // (0 x 0), so find the next page that is not blank the way the transfer-ready signal does.
    const bool found = PerformSkipBlankPages(nullptr) == 0 && mBatch.IsSheetInProgress();
    return found ? TWRC_SUCCESS : Fail(TWCC_OPERATIONERROR);
}

void COrvkQSDS::TurnImageInfo(TW_IMAGEINFO& info) {
    const CCapPool* pool = GetCapPool();
    const bool direction = GetCapSIntValue(pool, CCAP_OVK_RECOGNIZE_DIRECTION) != 0;
    const bool detectSize = GetCapSIntValue(pool, CCAP_OVK_DETECTPAGESIZE) != 0;
    if (direction || detectSize)
        return; // the scanned page already has its final shape
    const auto orientation = static_cast<std::uint32_t>(GetCapSIntValue(pool, CCAP_OVK_DATAORIENTATION));
    if (GetCapSIntValue(pool, CCAP_OVK_FOLDLARGESIZE))
        info.ImageWidth *= 2; // both halves of the folded sheet side by side
    if (orientation == k3100::kRotate90 || orientation == k3100::kRotate270) {
        const TW_INT32 width = info.ImageWidth;
        info.ImageWidth = info.ImageLength;
        info.ImageLength = width;
    }
    mBytesPerRow = BytesPerRow(info);
}

void COrvkQSDS::EvenRowLength(TW_IMAGEINFO& info) {
    if (info.PixelType == TWPT_BW && mBytesPerRow % 2 == 1 && mBytesPerRow != 1) {
        mBytesPerRow &= ~1u;
        info.ImageWidth = static_cast<TW_INT32>(mBytesPerRow * 8);
    } else if (info.PixelType == TWPT_GRAY) {
        mBytesPerRow &= ~1u;
        info.ImageWidth = static_cast<TW_INT32>(mBytesPerRow);
    }
}
