// The scanner's additions to opening, enabling and closing: every batch starts from a clean sheet count
// and scan mode, the roller reminder runs once per session, and the two notifications that can end a
// scan from outside (the host quitting, the dialog dropping its prescan) are observed while enabled.
#include "COrvkQS.h"
#include "CapHelpers.h"
#include "ClientApp.h"
#include "NotificationNames.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"

TW_UINT16 COrvkQSDS::OpenDS(pTW_IDENTITY origin, TW_MEMREF data) {
    const TW_UINT16 rc = CDataSource::OpenDS(origin, data);
    if (rc == TWRC_SUCCESS) {
        mXferReadyTimer.Reset();
        mRollerCheckPending = 1;
        mBatch.Open();
        mDeviceEvent = kDeviceEventNone;
    }
    return rc;
}

TW_UINT16 COrvkQSDS::CloseDS(pTW_IDENTITY origin, TW_MEMREF data) {
    mXferReadyTimer.Reset();
    mRollerCheckPending = 0;
    return CDataSource::CloseDS(origin, data);
}

TW_UINT16 COrvkQSDS::EnableDS(pTW_IDENTITY origin, TW_MEMREF data) {
    const auto* ui = static_cast<const TW_USERINTERFACE*>(data);
    const CClientApp* client = CClientApp::Current();
    if (!client)
        return Fail(TWCC_SEQERROR);
    if (!ui)
        return Fail(TWCC_BADVALUE);
    // These clients cannot take pages whose pixel type changes from one page to the next.
    if (!ui->ShowUI && client->IsDisableDetectPageType())
        SetCapUIntValue(GetCapPool(), CCAP_OVK_DETECTPAGETYPE, 0);
    ShowRollerExchangeAlert();
    if (ui->ShowUI)
        CheckCapabilities();
    mBatch.Enable();
    mDeviceEvent = kDeviceEventNone;
    RegisterScanNotificationHandlers();
    return CDataSource::EnableDS(origin, data);
}

TW_UINT16 COrvkQSDS::EnableDSUIOnly(pTW_IDENTITY origin, TW_MEMREF data) {
    const auto* ui = static_cast<const TW_USERINTERFACE*>(data);
    ShowRollerExchangeAlert();
    if (ui && ui->ShowUI)
        CheckCapabilities();
    RegisterScanNotificationHandlers();
    return CDataSource::EnableDSUIOnly(origin, data);
}

void COrvkQSDS::RegisterScanNotificationHandlers() {
    using Handler = ComOrvikElectronicsK3100DataSourceNotificationHandler;
    mNotificationHandler->addNotificationHandler(
        static_cast<Handler::Method>(&COrvkQSDS::HandleApplicationWillTerminateNotification),
        kApplicationWillTerminateNotification);
    mNotificationHandler->addNotificationHandler(
        static_cast<Handler::Method>(&COrvkQSDS::HandleDestroyImageRequestNotification),
        kDestroyImageRequestNotification);
}

TW_UINT16 COrvkQSDS::HandleApplicationWillTerminateNotification(const fnd::Value&) {
    // A host that quits mid-batch would otherwise leave the sheet in the scanner and the session open.
    if (mState == kXferReady || mState == kTransferring) {
        TW_PENDINGXFERS pending{};
        ResetPendingXfers(nullptr, &pending);
    }
    if (mState == kEnabled)
        DisableDS(nullptr, nullptr);
    if (mState == kOpen)
        CloseDS(nullptr, nullptr);
    return TWRC_SUCCESS;
}

TW_UINT16 COrvkQSDS::HandleDestroyImageRequestNotification(const fnd::Value&) {
    RecoverScan();
    return TWRC_SUCCESS;
}
