// Pending-transfer bookkeeping and the image layout, which reads and writes the frame through the
// ICAP_FRAMES handler. The page transfers themselves come with the scanner's scan sequence.
#include <cstddef>

#include "CapHelpers.h"
#include "CapIds.h"
#include "ContainerBlock.h"
#include "DataSource.h"

namespace {

constexpr TW_UINT16 kScanArea[] = {CCAP_OVKM_SCANAREA_X, CCAP_OVKM_SCANAREA_Y, CCAP_OVKM_SCANAREA_WIDTH,
                                   CCAP_OVKM_SCANAREA_HEIGHT};

} // namespace

TW_UINT16 CDataSource::GetPendingXfers(pTW_IDENTITY, TW_MEMREF data) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(data);
    if (!pending)
        return Fail(TWCC_BADVALUE);
    // A page that went out waits in state 7 for its MSG_ENDXFER while the batch goes on: the count is then
    // that of the transfers after it.
    const bool batchRuns = mPendingXfers || (mState == kTransferring && mBatch.IsImageTransferred());
    pending->Count = static_cast<TW_UINT16>(batchRuns ? GetPendingDocumentCount() : 0);
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::PendingEndXfers(pTW_IDENTITY, TW_MEMREF data) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(data);
    if (!pending)
        return Fail(TWCC_BADVALUE);
    mPendingXfers = 0;
    mBatch.ForgetImageInfo();
    pending->Count = static_cast<TW_UINT16>(GetPendingDocumentCount());
    if (pending->Count != 0) {
        mState = kXferReady;
        mPendingXfers = 1;
    } else {
        mState = kEnabled;
    }
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::ResetPendingXfers(pTW_IDENTITY, TW_MEMREF data) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(data);
    if (!pending)
        return Fail(TWCC_BADVALUE);
    if (mPendingXfers) {
        mPendingXfers = 0;
        mState = kEnabled;
    }
    pending->Count = 0;
    mBatch.ForgetImageInfo();
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::GetImageLayout(pTW_IDENTITY, TW_MEMREF data) {
    return AnswerImageLayout(data, kCapCurrent);
}

// The ICAP_FRAMES handler answers the current frame for the pool's capability and the default frame for
// a temporary one value, as it does MSG_GETCURRENT and MSG_GETDEFAULT.
TW_UINT16 CDataSource::AnswerImageLayout(TW_MEMREF data, ECapProperty property) {
    auto* layout = static_cast<TW_IMAGELAYOUT*>(data);
    CCapability* frames = mCapPool ? mCapPool->GetCapability(ICAP_FRAMES) : nullptr;
    CapHandler handler = GetCapHandler(ICAP_FRAMES);
    if (!layout)
        return Fail(TWCC_BADVALUE);
    if (!frames || !handler)
        return Fail(TWCC_LOWMEMORY);
    CapItem value(frames->GetItemSize(), 0);
    frames->GetValue(value, kCapDefault);
    CCapOneValue temporary(frames->GetItemType(), true, value);
    TW_CAPABILITY cap{ICAP_FRAMES, TWON_DONTCARE16, nullptr};
    bool handled = false;
    if (const TW_UINT16 code =
            (this->*handler)(MSG_GET, &cap, property == kCapCurrent ? frames : &temporary, handled))
        return Fail(code);
    const std::unique_ptr<void, decltype(&DisposeContainer)> container(cap.hContainer, &DisposeContainer);
    CContainerBlock block(cap.hContainer, cap.ConType);
    if (!handled || !block.Read(offsetof(TW_ONEVALUE, Item), layout->Frame))
        return Fail(TWCC_LOWMEMORY);
    layout->DocumentNumber = 1;
    layout->PageNumber = 1;
    layout->FrameNumber = 1;
    return TWRC_SUCCESS;
}

void CDataSource::ResetScanArea() {
    for (TW_UINT16 id : kScanArea)
        ResetCapValue(mCapPool.get(), id);
}

TW_UINT16 CDataSource::ResetImageLayout(pTW_IDENTITY origin, TW_MEMREF data) {
    ResetScanArea();
    return GetImageLayout(origin, data);
}

// The current frame stays as it is.
TW_UINT16 CDataSource::GetDefaultImageLayout(pTW_IDENTITY, TW_MEMREF data) {
    return AnswerImageLayout(data, kCapDefault);
}

TW_UINT16 CDataSource::SetImageLayout(pTW_IDENTITY, TW_MEMREF data) {
    const auto* layout = static_cast<const TW_IMAGELAYOUT*>(data);
    CCapability* frames = mCapPool ? mCapPool->GetCapability(ICAP_FRAMES) : nullptr;
    CapHandler handler = GetCapHandler(ICAP_FRAMES);
    if (!layout)
        return Fail(TWCC_BADVALUE);
    if (!frames || !handler)
        return Fail(TWCC_LOWMEMORY);
    const std::unique_ptr<void, decltype(&DisposeContainer)> container(
        NewContainer(TWON_ONEVALUE, TWTY_FRAME), &DisposeContainer);
    CContainerBlock block(container.get(), TWON_ONEVALUE);
    if (!block.Write(offsetof(TW_ONEVALUE, Item), layout->Frame))
        return Fail(TWCC_LOWMEMORY);
    TW_CAPABILITY cap{ICAP_FRAMES, TWON_ONEVALUE, container.get()};
    bool handled = false;
    if (const TW_UINT16 code = (this->*handler)(MSG_SET, &cap, frames, handled))
        return Fail(code);
    return handled ? TWRC_SUCCESS : Fail(TWCC_LOWMEMORY);
}
