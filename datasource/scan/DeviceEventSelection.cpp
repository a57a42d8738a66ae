// CAP_DEVICEEVENT: the device events an application asked for. A client hears only of those; this
// maker's own application gets every event it was built around, whether it asked or not.
#include <algorithm>

#include "ClientApp.h"
#include "ContainerBlock.h"
#include "OrvkQSDS.h"

namespace {

// The events the scanner reports (0x8001, "none", is only ever read, never sent).
constexpr TW_UINT16 kReportedEvents[] = {COrvkQSDS::kDeviceEventScanReady, COrvkQSDS::kDeviceEventScanning,
                                         COrvkQSDS::kDeviceEventIdleTick};

bool IsReported(TW_UINT16 event) {
    return std::find(std::begin(kReportedEvents), std::end(kReportedEvents), event) !=
           std::end(kReportedEvents);
}

// The events of an application's array of TWTY_UINT16; false when it is no such array or names an event
// this scanner never reports.
bool ReadSelection(const TW_CAPABILITY& cap, std::vector<CapItem>& events) {
    if (cap.ConType != TWON_ARRAY)
        return false;
    const CContainerBlock block(cap.hContainer, TWON_ARRAY);
    TW_UINT16 itemType = 0;
    TW_UINT32 count = 0;
    if (!block.Read(0, itemType) || itemType != TWTY_UINT16 ||
        !block.Read(offsetof(TW_ARRAY, NumItems), count))
        return false;
    for (TW_UINT32 i = 0; i < count; ++i) {
        TW_UINT16 event = 0;
        if (!block.Read(offsetof(TW_ARRAY, ItemList) + i * sizeof event, event) || !IsReported(event))
            return false;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&event);
        CapItem item(bytes, bytes + sizeof event);
        if (std::find(events.begin(), events.end(), item) == events.end())
            events.push_back(std::move(item));
    }
    return true;
}

} // namespace

std::unique_ptr<CCapability> COrvkQSDS::MakeDeviceEventSelection(std::vector<CapItem> events) {
    return std::make_unique<CCapArray>(TWTY_UINT16, false, std::move(events));
}

// MSG_SET replaces the selection; every getter answers it as an array (the default: none selected).
TW_UINT16 COrvkQSDS::HandleDeviceEventSelection(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                                bool& handled) {
    if (msg == MSG_SET) {
        std::vector<CapItem> events;
        if (!ReadSelection(*cap, events))
            return TWCC_BADVALUE;
        mCapPool->AppendCapability(CAP_DEVICEEVENT, MakeDeviceEventSelection(std::move(events)));
        handled = true;
        return TWCC_SUCCESS;
    }
    if (msg != MSG_GET)
        return TWCC_SUCCESS;
    const bool current = capability == mCapPool->GetCapability(CAP_DEVICEEVENT);
    cap->ConType = TWON_ARRAY;
    cap->hContainer =
        current ? capability->CreateNativeContainer() : MakeDeviceEventSelection({})->CreateNativeContainer();
    handled = true;
    return TWCC_SUCCESS;
}

TW_UINT16 COrvkQSDS::ResetToDefault(TW_UINT16 capId) {
    if (capId != CAP_DEVICEEVENT || !mCapPool)
        return CDataSource::ResetToDefault(capId);
    mCapPool->AppendCapability(CAP_DEVICEEVENT, MakeDeviceEventSelection({}));
    return TWCC_SUCCESS;
}

bool COrvkQSDS::WantsDeviceEvent(std::uint32_t event) const {
    if (CClientApp::CurrentId() == CClientApp::kOwnApplication)
        return true;
    const auto* selection =
        dynamic_cast<const CCapArray*>(mCapPool ? mCapPool->GetCapability(CAP_DEVICEEVENT) : nullptr);
    for (std::uint32_t i = 0; selection && i < selection->GetValueCount(); ++i) {
        TW_UINT16 selected = 0;
        auto* bytes = reinterpret_cast<std::uint8_t*>(&selected);
        if (selection->GetValueAtIndex(i, std::span(bytes, sizeof selected)) && selected == event)
            return true;
    }
    return false;
}

TW_UINT16 COrvkQSDS::HandleDeviceEventNotification(const fnd::Value& object) {
    return WantsDeviceEvent(mDeviceEvent) ? CDataSource::HandleDeviceEventNotification(object) : TWRC_SUCCESS;
}
