// A data source built only for the source manager's tests. It signals the application that opened it
// through the entry the manager gave (from its own thread and from a second one), reports who called it,
// throws on one triplet, and forgets its Id at close as a data source does that drops its instance then.
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "twain.h"

namespace {

TW_IDENTITY makeIdentity() {
    TW_IDENTITY identity{};
    identity.Version.MajorNum = 1;
    identity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    identity.ProtocolMinor = TWON_PROTOCOLMINOR;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_DS2;
    snprintf(identity.Manufacturer, sizeof identity.Manufacturer, "%s", "Test Makers");
    snprintf(identity.ProductFamily, sizeof identity.ProductFamily, "%s", "Test Family");
    snprintf(identity.ProductName, sizeof identity.ProductName, "%s", TEST_SOURCE_NAME);
    return identity;
}

TW_IDENTITY self = makeIdentity();
TW_IDENTITY application{};
TW_ENTRYPOINT manager{};
bool isOpen = false;
TW_UINT16 condition = TWCC_SUCCESS;
TW_UINT32 deviceEventReads = 0;

TW_UINT16 failWith(TW_UINT16 code) {
    condition = code;
    return TWRC_FAILURE;
}

TW_UINT16 signal(TW_UINT16 message) {
    if (!manager.DSM_Entry)
        return failWith(TWCC_OPERATIONERROR);
    return manager.DSM_Entry(&self, &application, DG_CONTROL, DAT_NULL, message, nullptr);
}

TW_UINT16 signalFromThread(TW_UINT16 message) {
    TW_UINT16 result = TWRC_FAILURE;
    std::thread([&] { result = signal(message); }).join();
    return result;
}

TW_UINT16 identityTriplet(pTW_IDENTITY origin, TW_UINT16 msg, TW_IDENTITY* data) {
    switch (msg) {
    case MSG_GET:
        self.Id = data->Id;
        *data = self;
        return TWRC_SUCCESS;
    case MSG_OPENDS:
        if (isOpen)
            return failWith(TWCC_SEQERROR);
#ifdef TEST_SOURCE_REFUSES_OPEN
        return failWith(TWCC_CHECKDEVICEONLINE);
#endif
        isOpen = true;
        application = *origin;
#ifdef TEST_SOURCE_OVERWRITES_ID
        self.Id = 1; // the number it had before any manager told it its own
#else
        self.Id = data->Id;
#endif
        *data = self;
        return TWRC_SUCCESS;
    case MSG_CLOSEDS:
        isOpen = false;
        self.Id = 0;
        return TWRC_SUCCESS;
    default:
        return failWith(TWCC_BADPROTOCOL);
    }
}

TW_UINT16 controlTriplet(pTW_IDENTITY origin, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (dat == DAT_USERINTERFACE && msg == MSG_ENABLEDS)
        return signal(MSG_XFERREADY);
    if (dat == DAT_USERINTERFACE && msg == MSG_ENABLEDSUIONLY)
        return signalFromThread(MSG_CLOSEDSOK);
    if (dat == DAT_DEVICEEVENT && msg == MSG_GET) {
        static_cast<TW_DEVICEEVENT*>(data)->Event = TWDE_CUSTOMEVENTS + ++deviceEventReads;
        return TWRC_SUCCESS;
    }
    if (dat == DAT_PASSTHRU && msg == MSG_PASSTHRU) {
        auto* passThru = static_cast<TW_PASSTHRU*>(data);
        *static_cast<TW_UINT32*>(passThru->pData) = origin->Id;
        passThru->DataBytesXfered = sizeof(TW_UINT32);
        return TWRC_SUCCESS;
    }
    if (dat == DAT_XFERGROUP)
        throw std::runtime_error("a data source that breaks the rules");
    return failWith(TWCC_BADPROTOCOL);
}

} // namespace

extern "C" TW_UINT16 DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                              TW_MEMREF pData) {
    if (DG == DG_CONTROL && DAT == DAT_IDENTITY)
        return identityTriplet(pOrigin, MSG, static_cast<TW_IDENTITY*>(pData));
    if (DG == DG_CONTROL && DAT == DAT_ENTRYPOINT && MSG == MSG_SET) {
        manager = *static_cast<TW_ENTRYPOINT*>(pData);
        return TWRC_SUCCESS;
    }
    if (DG == DG_CONTROL && DAT == DAT_STATUS && MSG == MSG_GET) {
        static_cast<TW_STATUS*>(pData)->ConditionCode = condition;
        condition = TWCC_SUCCESS;
        return TWRC_SUCCESS;
    }
    if (!isOpen)
        return failWith(TWCC_SEQERROR);
    if (DG == DG_CONTROL)
        return controlTriplet(pOrigin, DAT, MSG, pData);
    return failWith(TWCC_BADPROTOCOL);
}
