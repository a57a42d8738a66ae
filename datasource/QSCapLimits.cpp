// The limits are those of the consumers: edge-emphasis kernels 1 to 5 (0 off), the bleed-through and the
// colour detector's sensitivity levels 1 to 7, the blank-skip slider 0 to 100, switches 0 or 1, and a
// transfer count of -1 (all) or a positive number of pages.
#include "QSCapLimits.h"

#include "OrvkQSDS.h"
#include "QSCapIds.h"

namespace {

struct SCapLimits {
    TW_UINT16 capId;
    std::int32_t minimum;
    std::int32_t maximum;
};

constexpr std::int32_t kMaxXferCount = 32767;

constexpr SCapLimits kLimits[] = {
    {CAP_XFERCOUNT, -1, kMaxXferCount},     {CCAP_OVK_EDGEEMPHASIS, 0, 5},
    {CCAP_OVK_BLEEDTHROUGH, 0, 1},          {CCAP_OVK_BLEEDTHROUGH_THRESHOLD, 1, 7},
    {CCAP_OVK_DETECTPAGETYPE, 0, 1},        {CCAP_OVK_DETECTPAGETYPE_THRESHOLD, 1, 7},
    {CCAP_OVK_DETECTPAGETYPE_AMOUNT, 1, 7}, {CCAP_OVK_BLANKSKIP, 0, 1},
    {CCAP_OVK_BLANKSKIPSLICE3, 0, 100},     {CCAP_OVK_DESKEW, 0, 1},
    {CCAP_OVK_RECOGNIZE_DIRECTION, 0, 1},   {CCAP_OVK_PRESCAN, 0, 1},
};

} // namespace

bool IsWithinCapLimits(TW_UINT16 capId, std::int32_t value) {
    // No page count of zero: a batch that may deliver nothing is no batch.
    if (capId == CAP_XFERCOUNT && value == 0)
        return false;
    for (const SCapLimits& limits : kLimits)
        if (limits.capId == capId)
            return value >= limits.minimum && value <= limits.maximum;
    return true;
}

// The value is read from a copy that takes the application's container, so a refused value changes
// nothing and no handler runs for it.
TW_UINT16 COrvkQSDS::SetCapability(pTW_IDENTITY origin, TW_MEMREF data) {
    const auto* cap = static_cast<const TW_CAPABILITY*>(data);
    const CCapability* capability =
        cap && GetCapPool() ? GetCapPool()->GetCapability(CapID(cap->Cap)) : nullptr;
    if (capability && capability->GetItemType() != TWTY_FLOAT32 && !IsStringType(capability->GetItemType())) {
        const std::unique_ptr<CCapability> proposed = capability->Duplicate();
        std::int32_t value = 0;
        if (proposed && proposed->AcceptsNativeContainer(cap->ConType, cap->hContainer) == TWCC_SUCCESS &&
            proposed->ReadValue(value) && !IsWithinCapLimits(cap->Cap, value))
            return Fail(TWCC_BADVALUE);
    }
    return CDataSource::SetCapability(origin, data);
}
