// The DAT_CAPABILITY messages. A capability handler may answer first; otherwise the capability's own
// container answers MSG_GET and a temporary one value answers the current and default values. A reset
// sets the default as MSG_SET would, so that the capabilities that follow it follow.
#include <memory>
#include <vector>

#include "CapIds.h"
#include "ContainerBlock.h"
#include "DataSource.h"

TW_UINT16 CDataSource::FindCapability(TW_MEMREF data, TW_CAPABILITY*& cap, CCapability*& capability) {
    cap = static_cast<TW_CAPABILITY*>(data);
    if (!cap)
        return TWCC_BADVALUE;
    capability = mCapPool ? mCapPool->GetCapability(CapID(cap->Cap)) : nullptr;
    return capability ? TWCC_SUCCESS : TWCC_CAPUNSUPPORTED;
}

CDataSource::CapHandler CDataSource::GetCapHandler(TW_UINT16 capId) const {
    for (std::size_t i = 0; i < CAPHANDLERS_COUNT; ++i) {
        if (sGeneralCapHandlers[i].capId == capId)
            return sGeneralCapHandlers[i].handler;
    }
    return nullptr;
}

TW_UINT16 CDataSource::GetCapability(pTW_IDENTITY, TW_MEMREF data) {
    TW_CAPABILITY* cap = nullptr;
    CCapability* capability = nullptr;
    if (const TW_UINT16 code = FindCapability(data, cap, capability))
        return Fail(code);
    bool handled = false;
    cap->hContainer = nullptr;
    if (CapHandler handler = GetCapHandler(CapID(cap->Cap))) {
        if (const TW_UINT16 code = (this->*handler)(MSG_GET, cap, capability, handled))
            return Fail(code);
    }
    if (!handled) {
        cap->ConType = capability->GetContainerType();
        cap->hContainer = capability->CreateNativeContainer();
    }
    return cap->hContainer ? TWRC_SUCCESS : Fail(TWCC_LOWMEMORY);
}

TW_UINT16 CDataSource::AnswerOneValue(TW_MEMREF data, EOneValueAnswer answer) {
    TW_CAPABILITY* cap = nullptr;
    CCapability* capability = nullptr;
    if (const TW_UINT16 code = FindCapability(data, cap, capability))
        return Fail(code);
    const CapHandler handler = GetCapHandler(CapID(cap->Cap));
    // A list without a handler of its own (CAP_SUPPORTEDCAPS) has no single value: all of it is its
    // current and its default value.
    if (!handler && capability->GetContainerType() == TWON_ARRAY)
        return GetCapability(nullptr, data);
    // Only the current value lets the handler see the pool's capability; the others get the temporary.
    const bool passPoolCap = answer == EOneValueAnswer::kCurrent;
    bool handled = false;
    cap->hContainer = nullptr;
    // Handlers may bring the pool's value up to date on MSG_GET, so the current value is read after them.
    if (handler && passPoolCap) {
        if (const TW_UINT16 code = (this->*handler)(MSG_GET, cap, capability, handled))
            return Fail(code);
    }
    CapItem value(capability->GetItemSize(), 0);
    capability->GetValue(value, answer == EOneValueAnswer::kDefault ? kCapDefault : kCapCurrent);
    CCapOneValue temporary(capability->GetItemType(), true, value);
    if (handler && !passPoolCap) {
        if (const TW_UINT16 code = (this->*handler)(MSG_GET, cap, &temporary, handled))
            return Fail(code);
    }
    if (!handled) {
        cap->ConType = TWON_ONEVALUE;
        cap->hContainer = temporary.CreateNativeContainer();
    }
    return cap->hContainer ? TWRC_SUCCESS : Fail(TWCC_LOWMEMORY);
}

TW_UINT16 CDataSource::GetCurrentCapability(pTW_IDENTITY, TW_MEMREF data) {
    return AnswerOneValue(data, EOneValueAnswer::kCurrent);
}

TW_UINT16 CDataSource::GetDefaultCapability(pTW_IDENTITY, TW_MEMREF data) {
    return AnswerOneValue(data, EOneValueAnswer::kDefault);
}

// The answer is the value the capability holds afterwards, as MSG_GETCURRENT reads it.
TW_UINT16 CDataSource::ResetCapability(pTW_IDENTITY, TW_MEMREF data) {
    TW_CAPABILITY* cap = nullptr;
    CCapability* capability = nullptr;
    if (const TW_UINT16 code = FindCapability(data, cap, capability))
        return Fail(code);
    // What MSG_QUERYSUPPORT does not offer is refused, so the answers agree.
    if ((SupportedOperations(*capability) & TWQC_RESET) == 0)
        return Fail(TWCC_CAPBADOPERATION);
    if (const TW_UINT16 code = ResetToDefault(CapID(cap->Cap)))
        return Fail(code);
    return AnswerOneValue(data, EOneValueAnswer::kCurrent);
}

TW_UINT16 CDataSource::ResetToDefault(TW_UINT16 capId) {
    // The frame is kept as the scan area, which goes back to its default with what it depends on.
    if (capId == ICAP_FRAMES) {
        ResetScanArea();
        return TWCC_SUCCESS;
    }
    return ApplyCapabilityValue(capId, kCapDefault);
}

TW_UINT16 CDataSource::ApplyCapabilityValue(TW_UINT16 capId, ECapProperty property) {
    CCapability* capability = mCapPool ? mCapPool->GetCapability(capId) : nullptr;
    if (!capability)
        return TWCC_CAPUNSUPPORTED;
    CapItem value(capability->GetItemSize(), 0);
    // A list holds no single value to apply.
    if (!capability->GetValue(value, property))
        return TWCC_SUCCESS;
    const CCapOneValue oneValue(capability->GetItemType(), false, value);
    const std::unique_ptr<void, decltype(&DisposeContainer)> container(oneValue.CreateNativeContainer(),
                                                                       &DisposeContainer);
    if (!container)
        return TWCC_LOWMEMORY;
    TW_CAPABILITY cap{capId, TWON_ONEVALUE, container.get()};
    return StoreCapability(cap, *capability, capId);
}

TW_UINT16 CDataSource::StoreCapability(TW_CAPABILITY& cap, CCapability& capability, TW_UINT16 handlerId) {
    bool handled = false;
    if (CapHandler handler = GetCapHandler(handlerId)) {
        if (const TW_UINT16 code = (this->*handler)(MSG_SET, &cap, &capability, handled))
            return code;
    }
    return handled ? TWCC_SUCCESS : capability.AcceptsNativeContainer(cap.ConType, cap.hContainer);
}

// The application's container is only read: it stays the application's to dispose. An enumeration or a
// range sets the current value it names; the list or bounds it would narrow the choice to are not kept,
// which TWRC_CHECKSTATUS tells the application (it may read back what applies with MSG_GET).
TW_UINT16 CDataSource::SetCapability(pTW_IDENTITY, TW_MEMREF data) {
    TW_CAPABILITY* cap = nullptr;
    CCapability* capability = nullptr;
    if (const TW_UINT16 code = FindCapability(data, cap, capability))
        return Fail(code);
    if (const TW_UINT16 code = StoreCapability(*cap, *capability, CapID(cap->Cap)))
        return Fail(code);
    const bool constrains = cap->ConType == TWON_ENUMERATION || cap->ConType == TWON_RANGE;
    return constrains ? SetConditionCode(TWCC_SUCCESS, TWRC_CHECKSTATUS) : TWRC_SUCCESS;
}

// Every capability back to its power-on value: all values first, so that none is set against another not
// yet reset, then each as its own reset sets it, which brings the lists and those that follow in line.
TW_UINT16 CDataSource::ResetAllCapabilities(pTW_IDENTITY, TW_MEMREF) {
    if (!mCapPool)
        return Fail(TWCC_SEQERROR);
    std::vector<TW_UINT16> resettable;
    for (const auto& [id, capability] : mCapPool->Capabilities()) {
        capability->Reset();
        if (SupportedOperations(*capability) & TWQC_RESET)
            resettable.push_back(id);
    }
    for (TW_UINT16 id : resettable)
        ResetToDefault(id);
    return TWRC_SUCCESS;
}

void CDataSource::SyncDependentCapabilities() {
    SyncCapability(ICAP_PIXELTYPE);
    SyncCapability(CCAP_OVKM_PAPERSIZE);
}

TW_INT32 CDataSource::SupportedOperations(const CCapability& capability) {
    TW_INT32 operations = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
    if (!capability.IsReadOnly())
        operations |= TWQC_SET | TWQC_RESET;
    return operations;
}

// A one value of TWTY_INT32 with the TWQC_* operations the capability takes.
TW_UINT16 CDataSource::QuerySupportCapability(pTW_IDENTITY, TW_MEMREF data) {
    TW_CAPABILITY* cap = nullptr;
    CCapability* capability = nullptr;
    if (const TW_UINT16 code = FindCapability(data, cap, capability))
        return Fail(code);
    const TW_INT32 operations = SupportedOperations(*capability);
    cap->ConType = TWON_ONEVALUE;
    cap->hContainer = NewContainer(TWON_ONEVALUE, TWTY_INT32);
    CContainerBlock block(cap->hContainer, TWON_ONEVALUE);
    if (!block.Write(offsetof(TW_ONEVALUE, Item), operations))
        return Fail(TWCC_LOWMEMORY);
    return TWRC_SUCCESS;
}

void CDataSource::SyncCapability(TW_UINT16 capId) {
    ApplyCapabilityValue(capId, kCapCurrent);
}
