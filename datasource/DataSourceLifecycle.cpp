// Opening, enabling, disabling and closing the data source. The scanner lock is held exactly while the
// data source is open; a close in any state releases everything, so no later open is locked out.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "CapIds.h"
#include "ClientApp.h"
#include "DataSource.h"
#include "HostIntegration.h"
#include "ManagerEntryPoints.h"

namespace {

constexpr int kLockAttempts = 3;
// Values one application negotiates for its own batches; the next application must not inherit them.
constexpr TW_UINT16 kSessionCaps[] = {CAP_XFERCOUNT, ICAP_XFERMECH};
// A dialog left standing as its process ends; kept here, so that it counts as reachable, not as lost.
CUIController* sDialogLeftBehind = nullptr;

} // namespace

bool CDataSource::AcquireScannerLock() {
    for (int attempt = 1; attempt <= kLockAttempts; ++attempt) {
        if (mLock->LockObject())
            return true;
        // Also after the last refusal: a caller that retries at once then finds the other scan ended.
        std::this_thread::sleep_for(mLockRetryDelay);
    }
    std::fprintf(stderr, "K3100: the scanner is in use by another program (lock %s)\n",
                 mLock->Path().c_str());
    return false;
}

void CDataSource::ReleaseScannerLock() {
    if (mLock)
        mLock->UnlockObject();
    mLock.reset();
}

bool CDataSource::IsSessionApplication(const TW_IDENTITY& origin) const {
    const auto sameText = [](const TW_STR32& a, const TW_STR32& b) {
        return std::strncmp(a, b, sizeof(TW_STR32)) == 0;
    };
    return mState != kClosed && TW_UINT32{origin.Id} == TW_UINT32{mApplication.Id} &&
           sameText(origin.Manufacturer, mApplication.Manufacturer) &&
           sameText(origin.ProductFamily, mApplication.ProductFamily) &&
           sameText(origin.ProductName, mApplication.ProductName);
}

TW_UINT16 CDataSource::OpenDS(pTW_IDENTITY origin, TW_MEMREF data) {
    // A manager that passes on a second open by the application of the open session forgets this data
    // source when it is refused (the public one does), and that session's close would then never come:
    // the open is answered with the session as it stands. Any other second open is refused, and the live
    // session, its application and its Id stay as they are.
    if (origin && IsSessionApplication(*origin)) {
        if (auto* identity = static_cast<pTW_IDENTITY>(data))
            DescribeIdentity(*identity);
        return TWRC_SUCCESS;
    }
    if (mState != kClosed)
        return Fail(TWCC_OPERATIONERROR);
    // Without the manager's entry points (DAT_ENTRYPOINT before the open) no message could reach the
    // application, which would wait for MSG_XFERREADY in vain: refused here rather than at the enable.
    if (!ManagerEntryPoints::IsSet() && !IsEmbeddedInHost()) {
        std::fprintf(stderr, "K3100: opened without the source manager's entry points (DAT_ENTRYPOINT); "
                             "the application must identify itself as a TWAIN 2 application (DF_APP2)\n");
        return Fail(TWCC_OPERATIONERROR);
    }
    // The Id and whatever else the manager keeps in the record stay the manager's.
    if (auto* identity = static_cast<pTW_IDENTITY>(data)) {
        mIdentity.Id = identity->Id;
        DescribeIdentity(*identity);
    }
    if (origin) {
        mApplication = *origin;
        CClientApp::BeginSession(*origin);
    }
    std::string problem;
    mLock = CExclusiveLockObject::CreateExclusiveLockObject(kLockName, &problem);
    if (!mLock) {
        // No lock file can be had: a file the source is denied, not a scanner in use that the user
        // would wait for in vain.
        std::fprintf(stderr, "K3100: %s\n", problem.c_str());
        return Fail(TWCC_DENIED);
    }
    TW_UINT16 failure = TWCC_SUCCESS;
    if (!AcquireScannerLock())
        failure = TWCC_MAXCONNECTIONS;
    else if (!SetupCapabilities())
        failure = TWCC_LOWMEMORY;
    if (failure == TWCC_SUCCESS) {
        LoadCustomCapabilities();
        KeepStoredSessionValues();
        SyncDependentCapabilities();
        if (!SetupScanner())
            failure = TWCC_NODS;
    }
    if (failure != TWCC_SUCCESS) {
        mCapPool.reset();
        ReleaseScannerLock();
        return Fail(failure);
    }
    mShowUI = 0;
    mBatch.ForgetImageInfo();
    mTransferCount = 0;
    mState = kOpen;
    return TWRC_SUCCESS;
}

void CDataSource::ReleaseUIController(bool saveIfShown) {
    if (!mUIController)
        return;
    mUIController->cancelDelayedMessages();
    if (saveIfShown && mShowUI && mCapPool && mUIController->isMainWindowVisible())
        SaveCustomCapabilities();
    mUIController.reset();
}

void CDataSource::LeaveDialogBehind() {
    if (mUIController)
        sDialogLeftBehind = mUIController.release();
}

void CDataSource::KeepStoredSessionValues() {
    mStoredSessionValues.clear();
    for (TW_UINT16 id : kSessionCaps)
        if (const CCapability* capability = mCapPool->GetCapability(id))
            mStoredSessionValues.emplace_back(id, capability->Duplicate());
}

void CDataSource::TearDown() {
    ReleaseUIController(false);
    if (mEnabledWithoutUI && mCapPool) {
        // Only the dialog's user chooses what is stored; an application's own batch settings are not.
        for (auto& [id, stored] : mStoredSessionValues)
            mCapPool->AppendCapability(id, std::move(stored));
        SaveCustomCapabilities();
    }
    mStoredSessionValues.clear();
    mCapPool.reset();
    TerminateScanner();
    mShowUI = 0;
    mBatch.ForgetImageInfo();
    mPendingXfers = 0;
    mEnabledWithoutUI = 0;
    mState = kClosed;
    RemoveNotificationHandlers();
    ReleaseScannerLock();
}

TW_UINT16 CDataSource::CloseDS(pTW_IDENTITY, TW_MEMREF) {
    if (mState != kClosed)
        TearDown();
    CClientApp::EndSession();
    // The next open brings its own: the manager that gave these may be gone by then.
    ManagerEntryPoints::Clear();
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::EnableDS(pTW_IDENTITY, TW_MEMREF data) {
    const auto* ui = static_cast<const TW_USERINTERFACE*>(data);
    if (!ui)
        return Fail(TWCC_BADVALUE);
    if (ui->ShowUI && !GetUIControllerFactory())
        return Fail(TWCC_OPERATIONERROR);
    mShowUI = ui->ShowUI ? 1 : 0;
    mTransferCount = 0;
    if (ui->ShowUI)
        return EnableWithDialog(1);
    RegisterNotificationHandlers();
    mEnabledWithoutUI = 1;
    const TW_UINT16 rc = PostXferReady();
    if (rc != TWRC_SUCCESS) {
        // The application never heard of the transfer, so it still sees an open, disabled source.
        mPendingXfers = 0;
        mEnabledWithoutUI = 0;
        mState = kOpen;
        RemoveNotificationHandlers();
    }
    return rc;
}

TW_UINT16 CDataSource::EnableDSUIOnly(pTW_IDENTITY, TW_MEMREF) {
    if (!GetUIControllerFactory())
        return Fail(TWCC_OPERATIONERROR);
    mShowUI = 0;
    return EnableWithDialog(0);
}

TW_UINT16 CDataSource::EnableWithDialog(int flag) {
    RegisterNotificationHandlers();
    fnd::Dictionary params;
    if (SetupUserInterfaceParameters(params))
        mUIController = GetUIControllerFactory()();
    if (!mUIController) {
        // The dialog could not be built (its interface file is missing or damaged, or memory ran out).
        RemoveNotificationHandlers();
        return Fail(TWCC_OPERATIONERROR);
    }
    mUIController->setupMainUIWithParam(params, flag);
    mUIController->showMainWindow();
    mEnabledWithoutUI = 0;
    mState = kEnabled;
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::DisableDS(pTW_IDENTITY, TW_MEMREF) {
    ReleaseUIController(true);
    RemoveNotificationHandlers();
    mState = kOpen;
    return TWRC_SUCCESS;
}

bool CDataSource::SetupUserInterfaceParameters(fnd::Dictionary& params) {
    params.set(kUIParamCapabilityPool, fnd::Value::pointer(mCapPool.get()));
    return true;
}
