// Every triplet's result goes through one accumulator that keeps the first failure; no step stops early,
// so one refused capability never keeps the others from being sent or read.
#include "TlvDeviceCntlrCAPs.h"

#include <cstring>

#include "QSCapIds.h"
#include "TlvCapRows.h"
#include "VX_TWAINCommon.h"

namespace {

// Paper codes of the data source by the panel's paper choice (A4, A4 with size detection, A5, A6, B5,
// B6, Legal, Letter), upright and rotated; any other choice is A4.
constexpr std::int32_t kPaperUpright[] = {0, 0, 1, 3, 5, 6, 8, 9};
constexpr std::int32_t kPaperRotated[] = {0, 0, 2, 4, 5, 7, 8, 9};
// Dots per inch by the panel's resolution choice; any other choice is 200.
constexpr float kResolutions[] = {150.0f, 200.0f, 300.0f, 400.0f, 600.0f};

template <typename T, std::size_t N> T Pick(const T (&table)[N], std::int32_t index, T otherwise) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : otherwise;
}

VX_CapItem ClearedItem() {
    VX_CapItem item;
    std::memset(&item, 0, sizeof item);
    return item;
}

} // namespace

void TlvDeviceCntlrCAPs::SResult::note(int rc) {
    VX_TWAINCommon::setResult(static_cast<TW_INT16>(rc), cell, &success);
}

void TlvDeviceCntlrCAPs::sendWord(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 word, SResult& result) {
    VX_CapItem item = ClearedItem();
    item.word = word;
    result.note(mHandler.setDSCapability(cap, itemType, item));
}

bool TlvDeviceCntlrCAPs::setCCAPsValues(const TlvScanSettingMdl* model, bool dialogMode, bool pageListEmpty,
                                        TW_INT16* pResult) {
    SResult result{true, pResult};
    // The data source shows no progress window of its own.
    sendWord(CAP_INDICATORS, TWTY_BOOL, 0, result);
    if (!model)
        return result.success;
    if (!dialogMode && !pageListEmpty && sourceStillHoldsSentSettings())
        return result.success;
    sendAll(*model, dialogMode, result);
    if (!model->isUseDriverSetting())
        sendOverrides(*model, result);
    mSentState.reset();
    if (result.success) {
        TlvScanSettingMdl state;
        SResult reads;
        readAll(state, reads);
        if (reads.success)
            mSentState = state;
    }
    return result.success;
}

bool TlvDeviceCntlrCAPs::sourceStillHoldsSentSettings() {
    if (!mSentState)
        return false;
    TlvScanSettingMdl now;
    SResult reads;
    readAll(now, reads);
    return reads.success && now == *mSentState;
}

void TlvDeviceCntlrCAPs::sendAll(const TlvScanSettingMdl& model, bool dialogMode, SResult& result) {
    // The check of the first page is one of the data source's own settings: without the dialog it is in
    // force only while those settings are.
    const bool noPrescan = !dialogMode && !model.isUseDriverSetting();
    for (const TlvCapRow& row : TlvCapSendOrder()) {
        if (!row.put) {
            sendWord(row.cap, row.itemType, static_cast<TW_UINT32>(row.window), result);
            continue;
        }
        VX_CapItem item = ClearedItem();
        row.put(model, item);
        if (row.cap == CCAP_OVK_PRESCAN && noPrescan)
            item.word = 0;
        result.note(mHandler.setDSCapability(row.cap, row.itemType, item));
    }
}

void TlvDeviceCntlrCAPs::sendOverrides(const TlvScanSettingMdl& model, SResult& result) {
    const std::int32_t colour = model.scnStColType();
    if (colour == 3) {
        VX_CapItem none = ClearedItem();
        VX_TWAINCommon::str32FromNSData(none.str32, TlvScanSettingMdl::noneHalftone());
        result.note(mHandler.setDSCapability(ICAP_HALFTONES, TWTY_STR32, none));
        sendWord(CCAP_OVK_TEXTENHANCE, TWTY_INT32, 0, result);
    }
    const TW_UINT32 pixelType = colour == 3 ? TWPT_BW : colour == 2 ? TWPT_GRAY : TWPT_RGB;
    sendWord(ICAP_PIXELTYPE, TWTY_UINT16, pixelType, result);
    sendWord(CCAP_OVK_DETECTPAGETYPE, TWTY_INT32, colour == 0 ? 1 : 0, result);

    const std::int32_t paper = model.scnStPapSizeType();
    const std::int32_t code = Pick(model.scnStDirectionType() == 0 ? kPaperUpright : kPaperRotated, paper, 0);
    sendWord(CCAP_OVKM_CUSTOM_SCANAREA, TWTY_INT32, 0, result);
    sendWord(CCAP_OVKM_PAPERSIZE, TWTY_INT32, static_cast<TW_UINT32>(code), result);
    sendWord(CCAP_OVK_DETECTPAGESIZE, TWTY_INT32, paper == 0 ? 1 : 0, result);

    VX_CapItem resolution = ClearedItem();
    VX_TWAINCommon::floatToFix32(resolution.fix, Pick(kResolutions, model.scnStResType(), 200.0f));
    result.note(mHandler.setDSCapability(ICAP_XRESOLUTION, TWTY_FIX32, resolution));
    result.note(mHandler.setDSCapability(ICAP_YRESOLUTION, TWTY_FIX32, resolution));

    const std::int32_t sides = model.scnStReaderSideType();
    sendWord(CAP_DUPLEXENABLED, TWTY_BOOL, sides == 0 ? 0 : 1, result);
    sendWord(CCAP_OVK_BLANKSKIP, TWTY_INT32, sides == 2 ? 1 : 0, result);
    sendWord(CCAP_OVK_FOLDLARGESIZE, TWTY_INT32, 0, result);

    sendWord(CCAP_OVK_DESKEW, TWTY_INT32, model.isRevisionSlope() ? 1 : 0, result);
    if (model.isRecCharDir())
        sendWord(CCAP_OVK_DATAORIENTATION, TWTY_INT32, 1, result);
    sendWord(CCAP_OVK_RECOGNIZE_DIRECTION, TWTY_INT32, model.isRecCharDir() ? 1 : 0, result);
}

bool TlvDeviceCntlrCAPs::getCCAPsValues(TlvScanSettingMdl* model, TW_INT16* pResult) {
    if (pResult)
        *pResult = 0;
    SResult result{true, pResult};
    // Read into a copy, so that a failed read leaves the model as it was rather than half cleared.
    TlvScanSettingMdl scratch = model ? *model : TlvScanSettingMdl();
    readAll(scratch, result);
    if (model && result.success)
        *model = scratch;
    return result.success;
}

void TlvDeviceCntlrCAPs::readAll(TlvScanSettingMdl& model, SResult& result) {
    for (const TlvCapRow& row : TlvCapReadOrder()) {
        if (!row.put) {
            sendWord(row.cap, row.itemType, static_cast<TW_UINT32>(row.window), result);
            continue;
        }
        VX_CapItem item;
        TW_UINT16 itemType = 0;
        result.note(mHandler.getDSCapability(MSG_GETCURRENT, row.cap, item, itemType));
        row.take(model, item);
    }
}
