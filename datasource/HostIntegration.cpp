// How the data source reaches its host application: the notifications of the dialog and of its own
// timers become TWAIN messages, and each message reaches the application through the source manager
// (DAT_NULL), or, for a data source embedded in the maker's own application, as "DSM Notification".
#include "HostIntegration.h"

#include <string>
#include <string_view>

#include "DataSource.h"
#include "DataSourcePreferences.h"
#include "EmbeddingHost.h"
#include "ManagerEntryPoints.h"
#include "NotificationNames.h"

bool IsEmbeddedInHost() {
    // The maker's bundle identifiers share the data source's own prefix ("com.orvikElectronics.").
    const std::string_view own = kDSBundleIdentifier;
    const std::string_view makerPrefix = own.substr(0, own.rfind('.') + 1);
    return fnd::embeddingHost().starts_with(makerPrefix);
}

void CDataSource::RegisterNotificationHandlers() {
    using Handler = ComOrvikElectronicsK3100DataSourceNotificationHandler;
    mNotificationHandler->addNotificationHandler(
        static_cast<Handler::Method>(&CDataSource::HandleXferReadyNotification), kXferReadyNotification);
    mNotificationHandler->addNotificationHandler(
        static_cast<Handler::Method>(&CDataSource::HandleCloseRequestNotification),
        kCloseRequestNotification);
    mNotificationHandler->addNotificationHandler(
        static_cast<Handler::Method>(&CDataSource::HandleCloseDsOkayNotification), kCloseDSOkayNotification);
    mNotificationHandler->addNotificationHandler(
        static_cast<Handler::Method>(&CDataSource::HandleDeviceEventNotification), kDeviceEventNotification);
}

void CDataSource::RemoveNotificationHandlers() {
    mNotificationHandler->removeNotificationHandlers();
}

TW_UINT16 CDataSource::PostXferReady() {
    fnd::Dictionary userInfo{{"Result", fnd::Dictionary()}};
    fnd::NotificationCenter::defaultCenter().post(kXferReadyNotification, fnd::Value::absent(), &userInfo);
    const fnd::Dictionary* result = userInfo.get("Result").asDictionary();
    const std::optional<std::uint16_t> code = result ? result->get("Code").asUInt16() : std::nullopt;
    // No handler answered: the application would wait for a transfer that never comes.
    return code ? *code : Fail(TWCC_BUMMER);
}

TW_UINT16 CDataSource::HandleXferReadyNotification(const fnd::Value& object) {
    return HandleNotification(MSG_XFERREADY, object);
}

TW_UINT16 CDataSource::HandleCloseRequestNotification(const fnd::Value& object) {
    return HandleNotification(MSG_CLOSEDSREQ, object);
}

TW_UINT16 CDataSource::HandleCloseDsOkayNotification(const fnd::Value& object) {
    return HandleNotification(MSG_CLOSEDSOK, object);
}

TW_UINT16 CDataSource::HandleDeviceEventNotification(const fnd::Value& object) {
    return HandleNotification(MSG_DEVICEEVENT, object);
}

TW_UINT16 CDataSource::HandleNotification(TW_UINT16 message, const fnd::Value& object) {
    if (mCapPool) {
        // The dialog writes the pool directly; what follows the pixel type is brought in line before
        // the application hears of it.
        SyncCapability(ICAP_PIXELTYPE);
        const bool saveRequested = message == MSG_CLOSEDSREQ && object.asBool().value_or(false);
        if (message == MSG_CLOSEDSOK || (mShowUI && (message == MSG_XFERREADY || saveRequested)))
            SaveCustomCapabilities();
    }
    if (message == MSG_XFERREADY) {
        mPendingXfers = 1;
        mState = kXferReady;
        mBatch.ForgetImageInfo();
    }
    TW_CALLBACK callback{};
    callback.Message = static_cast<TW_INT16>(message);
    return InvokeCallback(callback, object);
}

TW_UINT16 CDataSource::InvokeCallback(TW_CALLBACK& callback, const fnd::Value&) {
    if (IsEmbeddedInHost()) {
        fnd::Dictionary userInfo{
            {"ORIGIN", fnd::Value::pointer(&mIdentity)},  {"DG", fnd::Value(TW_UINT32{DG_CONTROL})},
            {"DAT", fnd::Value(TW_UINT16{DAT_CALLBACK})}, {"MSG", fnd::Value(TW_UINT16{MSG_INVOKE_CALLBACK})},
            {"DATA", fnd::Value::pointer(&callback)},
        };
        fnd::NotificationCenter::defaultCenter().post(kDSMNotification, fnd::Value::absent(), &userInfo);
        return TWRC_SUCCESS;
    }
    // TWAIN 2: a message to the application that opened the source, through the entry the manager gave.
    const TW_UINT16 rc = ManagerEntryPoints::Call(&mIdentity, &mApplication, DG_CONTROL, DAT_NULL,
                                                  static_cast<TW_UINT16>(callback.Message), nullptr);
    return rc == TWRC_FAILURE ? Fail(TWCC_OPERATIONERROR) : rc;
}
