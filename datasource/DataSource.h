// CDataSource: the application's connection to the data source. Generic TWAIN behaviour (states,
// triplet and capability dispatch, condition codes); a scanner subclass fills the pure operations.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "BatchState.h"
#include "CapPool.h"
#include "DataSourceNotificationHandler.h"
#include "ExclusiveLock.h"
#include "PageBitmap.h"
#include "UIController.h"
#include "Value.h"
#include "twain.h"

// Width and height of the scan in 1/1200 inch.
struct SScanSize {
    float width = 0;
    float height = 0;
};

// Bit of a data-source state in a triplet row's set of allowed states.
constexpr std::uint32_t StateBit(int state) {
    return 1u << state;
}

class CDataSource {
public:
    // Internal states; 3 is unused. TWAIN states are these plus 3 (closed = 3 ... transferring = 7).
    enum EState : std::int32_t { kClosed = 0, kOpen = 1, kEnabled = 2, kXferReady = 4, kTransferring = 5 };

    using TripletHandler = TW_UINT16 (CDataSource::*)(pTW_IDENTITY origin, TW_MEMREF data);
    struct STripletRow {
        TW_UINT32 dg;
        TW_UINT16 dat;
        TW_UINT16 msg;
        TripletHandler handler;
        std::uint32_t states; // bit n set: allowed in mState n
    };
    // Answers a capability message before (or instead of) the generic container logic; returns a
    // condition code and sets handled when it produced the whole answer.
    using CapHandler = TW_UINT16 (CDataSource::*)(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                                  bool& handled);
    struct SCapHandlerRow {
        TW_UINT16 capId;
        CapHandler handler;
    };

    static constexpr std::uint32_t kAnyState = StateBit(kClosed) | StateBit(kOpen) | StateBit(kEnabled) |
                                               StateBit(kXferReady) | StateBit(kTransferring);
    static constexpr std::uint32_t kNotClosed = kAnyState & ~StateBit(kClosed);

    static const STripletRow sTripletHandlers[];
    static const std::size_t TRIPLETHANDLER_COUNT;
    static const SCapHandlerRow sGeneralCapHandlers[];
    static const std::size_t CAPHANDLERS_COUNT;
    static const SMakeCapDesc sGeneralCapDesc[];
    static const std::size_t CAPDESC_COUNT;
    static constexpr char kLockName[] = "k_3100";
    // The pause after each refusal of the scanner lock (LockRetryDelay.cpp).
    static const std::chrono::milliseconds kLockRetryDelay;

    // The process's single instance, created on first use; null only when memory is short.
    static CDataSource* CurrentDataSource();
    // Ends the single instance (after MSG_CLOSEDS); the next call of CurrentDataSource makes a fresh one.
    static void DestroyCurrentDataSource();
    // Everything DS_Entry does; never throws.
    static TW_UINT16 Entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                           TW_MEMREF data) noexcept;

    CDataSource();
    virtual ~CDataSource();
    CDataSource(const CDataSource&) = delete;
    CDataSource& operator=(const CDataSource&) = delete;

    // For a host that ends its process, or unloads the source, without closing it. The dialog's windows
    // may have outlived their QApplication or meet Qt's statics already gone, so they are left as they
    // stand, reachable to the end and never touched again; the rest of the session ends with the instance.
    void LeaveDialogBehind();

    // Looks the triplet up, checks the state and runs its handler; failures leave a condition code.
    TW_UINT16 Dispatch(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    virtual const STripletRow* GetTripletHandler(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) const;
    virtual CapHandler GetCapHandler(TW_UINT16 capId) const;
    virtual TW_UINT16 GetConditionCode() const { return mConditionCode; }
    // Stores the condition code and returns rc unchanged.
    virtual TW_UINT16 SetConditionCode(TW_UINT16 conditionCode, TW_UINT16 rc);

    // Triplet handlers, in table order.
    virtual TW_UINT16 GetIdentity(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 OpenDS(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 CloseDS(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 EnableDS(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 EnableDSUIOnly(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 DisableDS(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 PendingEndXfers(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetPendingXfers(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ResetPendingXfers(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 SetupMemXfer(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetStatus(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetXferGroup(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetDeviceEvent(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 PassThru(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetCapability(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetCurrentCapability(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetDefaultCapability(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ResetCapability(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 SetCapability(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetImageLayout(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetDefaultImageLayout(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ResetImageLayout(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 SetImageLayout(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetImageInfo(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ImageMemXfer(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ImageNativeXfer(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ImageFileXfer(pTW_IDENTITY origin, TW_MEMREF data);
    // TWAIN 2 additions to the table.
    virtual TW_UINT16 SetEntryPoint(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 QuerySupportCapability(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ResetAllCapabilities(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetSetupFileXfer(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 GetDefaultSetupFileXfer(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 SetSetupFileXfer(pTW_IDENTITY origin, TW_MEMREF data);
    virtual TW_UINT16 ResetSetupFileXfer(pTW_IDENTITY origin, TW_MEMREF data);
    // MSG_STOPFEEDER: a source without a feeder of its own knows none to stop.
    virtual TW_UINT16 StopFeeder(pTW_IDENTITY origin, TW_MEMREF data);
    // DAT_STATUSUTF8: the text of StatusText for the status the application hands in, in memory of the
    // manager's that the application frees; TWCC_BADVALUE when there is no text for it.
    TW_UINT16 GetStatusUTF8(pTW_IDENTITY origin, TW_MEMREF data);
    // What the data source can say of a status it gave beyond its condition code; none by default.
    virtual std::optional<std::string> StatusText(const TW_STATUS& status) const;

    // Generic capability handlers.
    virtual TW_UINT16 HandlePhysicalSize(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                         bool& handled);
    virtual TW_UINT16 HandleCapFrames(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                      bool& handled);
    virtual TW_UINT16 HandlePixelType(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                      bool& handled);
    virtual TW_UINT16 HandleBitDepth(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                     bool& handled);
    virtual TW_UINT16 HandleEnableDSUIOnly(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                           bool& handled);

    // Creates mCapPool with the generic capabilities; false when memory is short.
    virtual bool SetupCapabilities();
    // Fills the dialog's parameter dictionary; the base stores the pool under kUIParamCapabilityPool.
    virtual bool SetupUserInterfaceParameters(fnd::Dictionary& params);
    virtual std::int32_t GetPendingDocumentCount() { return mPendingXfers ? 1 : 0; }
    // Delivers a message to the application: through the source manager's callback, or as the
    // notification "DSM Notification" when the data source lies inside the host program's own folder.
    // object: what the notification that caused the message carried.
    virtual TW_UINT16 InvokeCallback(TW_CALLBACK& callback, const fnd::Value& object);
    // Saves the settings where the message calls for it, then signals the application.
    virtual TW_UINT16 HandleNotification(TW_UINT16 message, const fnd::Value& object);
    virtual TW_UINT16 HandleXferReadyNotification(const fnd::Value& object);
    virtual TW_UINT16 HandleCloseRequestNotification(const fnd::Value& object);
    virtual TW_UINT16 HandleCloseDsOkayNotification(const fnd::Value& object);
    virtual TW_UINT16 HandleDeviceEventNotification(const fnd::Value& object);

    // Finds and prepares the scanner after open; false: no usable scanner.
    virtual bool SetupScanner() = 0;
    // Releases the scanner at close, stopping any scan still running.
    virtual void TerminateScanner() = 0;
    virtual TW_UINT16 PrepareScan() = 0;
    virtual TW_UINT16 ReadImage(std::uint8_t* buffer, std::uint32_t bytesPerRow, std::uint32_t& rows) = 0;
    virtual TW_UINT16 FinishScan() = 0;
    virtual void RecoverScan() {}
    // The settings blob in the preferences file: false when nothing usable is stored, or when the file
    // could not be written.
    virtual bool LoadCustomCapabilities();
    virtual bool SaveCustomCapabilities();
    // Redirects a capability id before lookup (the scanner's back-side twins).
    virtual TW_UINT16 CapID(TW_UINT16 capId) { return capId; }
    // Re-applies a capability's current value through its handler so that dependent capabilities follow.
    virtual void SyncCapability(TW_UINT16 capId);
    // Sets a capability (its id already redirected) back to its default as a MSG_SET of the default does,
    // so that the capabilities that follow it follow; a condition code.
    virtual TW_UINT16 ResetToDefault(TW_UINT16 capId);
    // The TWQC_* operations MSG_QUERYSUPPORT offers for the capability; the others are refused.
    static TW_INT32 SupportedOperations(const CCapability& capability);
    virtual SScanSize GetScanSize(bool detected);

    // The frame back to its default: the four scan-area capabilities, which hold it, to their defaults.
    virtual void ResetScanArea();
    // True when the application's container holds a frame exactly as ICAP_FRAMES reads now.
    bool ShowsFrame(const TW_CAPABILITY* cap) const;
    // Pulls the whole current page by memory transfer, described first when the image information was not
    // asked for; origin null: not counted as a transfer. The page belongs to the caller; on failure it is
    // empty and the answer is the failing code.
    TW_UINT16 TransferTiffImage(pTW_IDENTITY origin, SPageBitmap& page);
    // Bytes of one row of the described image; 0 when it has no pixels.
    static std::uint32_t BytesPerRow(const TW_IMAGEINFO& info);

    std::int32_t GetState() const { return mState; }
    CCapPool* GetCapPool() const { return mCapPool.get(); }
    const TW_IDENTITY& GetOwnIdentity() const { return mIdentity; }
    // Writes what this data source describes of itself into identity, keeping the Id there.
    void DescribeIdentity(TW_IDENTITY& identity) const;
    // The data source's preferences file read whole; none when it is missing or damaged.
    static std::optional<fnd::Dictionary> GetDataSourcePreference();
    // The pause after each refusal of the scanner lock; tests shorten it.
    void SetLockRetryDelay(std::chrono::milliseconds delay) { mLockRetryDelay = delay; }

protected:
    TW_UINT16 Fail(TW_UINT16 conditionCode) { return SetConditionCode(conditionCode, TWRC_FAILURE); }
    // DAT_IMAGEMEMXFER, DAT_IMAGENATIVEXFER or DAT_IMAGEFILEXFER: the triplets that take the page.
    static bool IsPageTransfer(TW_UINT16 dat);
    // False for a page transfer by another mechanism than ICAP_XFERMECH agreed.
    bool IsAgreedMechanism(TW_UINT16 dat) const;
    // PrepareScan until the page is ready or the scanner gives up.
    TW_UINT16 PrepareFirstBlock();
    bool HasValidImageInfo() const { return mBatch.IsImageDescribed() && mBytesPerRow > 0; }

    std::int32_t mState = kClosed;
    TW_UINT16 mConditionCode = TWCC_SUCCESS;
    alignas(8) TW_IDENTITY mIdentity{}; // aligned so that callees may read Id as a plain 32-bit word
    std::uint8_t mPendingXfers = 0;
    // The batch's sheets, kept images, stop and fault, and whether the current image is described.
    CBatchState mBatch;
    std::unique_ptr<CCapPool> mCapPool;
    std::unique_ptr<CExclusiveLockObject> mLock;
    std::uint8_t mShowUI = 0;
    std::uint8_t mEnabledWithoutUI = 0;
    TW_IMAGEINFO mImageInfo{};
    std::uint32_t mBytesPerRow = 0;
    std::uint32_t mRowsTransferred = 0;
    std::int32_t mTransferCount = 0;
    std::unique_ptr<CUIController> mUIController;
    // The application that opened the data source: where its messages go.
    alignas(8) TW_IDENTITY mApplication{};
    // Where DAT_IMAGEFILEXFER without data writes the page (DAT_SETUPFILEXFER).
    TW_SETUPFILEXFER mFileSetup = DefaultFileSetup();
    std::vector<std::pair<TW_UINT16, std::unique_ptr<CCapability>>> mStoredSessionValues;
    std::unique_ptr<ComOrvikElectronicsK3100DataSourceNotificationHandler> mNotificationHandler =
        std::make_unique<ComOrvikElectronicsK3100DataSourceNotificationHandler>(*this);

private:
    std::chrono::milliseconds mLockRetryDelay = kLockRetryDelay;

    // The four notifications of the dialog and the data source's timers, from enable to disable.
    void RegisterNotificationHandlers();
    void RemoveNotificationHandlers();
    // Posts "XferReadyNotification" and answers the code its handler left under "Result".
    TW_UINT16 PostXferReady();
    // The application of the open session (by its Id and names).
    bool IsSessionApplication(const TW_IDENTITY& origin) const;
    bool AcquireScannerLock();
    void ReleaseScannerLock();
    void ReleaseUIController(bool saveIfShown);
    void TearDown();
    // Copies of the per-session capabilities as the stored settings gave them at open.
    void KeepStoredSessionValues();
    TW_UINT16 EnableWithDialog(int flag);
    // The one-value answers of MSG_GETCURRENT (and MSG_RESET) and MSG_GETDEFAULT.
    enum class EOneValueAnswer { kCurrent, kDefault };
    TW_UINT16 AnswerOneValue(TW_MEMREF data, EOneValueAnswer answer);
    // The MSG_SET path: the handler of handlerId first, then the generic store unless it answered; a
    // condition code.
    TW_UINT16 StoreCapability(TW_CAPABILITY& cap, CCapability& capability, TW_UINT16 handlerId);
    // Sets a capability to its own current or default value as a MSG_SET of that value does.
    TW_UINT16 ApplyCapabilityValue(TW_UINT16 capId, ECapProperty property);
    TW_UINT16 FindCapability(TW_MEMREF data, TW_CAPABILITY*& cap, CCapability*& capability);
    // The image layout of the current or the default frame.
    TW_UINT16 AnswerImageLayout(TW_MEMREF data, ECapProperty property);
    TW_UINT16 ReadBlock(pTW_IDENTITY origin, TW_IMAGEMEMXFER& block, std::uint8_t* buffer, TW_UINT32 length);
    TW_UINT16 PullPage(pTW_IDENTITY origin, std::vector<std::uint8_t>& pixels);
    // A failed block gives the page up: the scanner recovers, and a page asked for again starts anew.
    void AbandonPage();
    static std::vector<std::uint8_t> EncodeFileContents(TW_UINT16 format, const SPageBitmap& page);
    static TW_SETUPFILEXFER DefaultFileSetup();
    // The format of the standard file transfer: the current ICAP_IMAGEFILEFORMAT.
    TW_UINT16 FileFormat() const;
    // Brings the capabilities that follow the pixel type and the paper size in line with their current
    // values (after the stored settings are loaded, and after a reset of all).
    void SyncDependentCapabilities();
    // Pulls the page and writes it to the named file in the format.
    TW_UINT16 WriteFileTransfer(pTW_IDENTITY origin, TW_UINT16 format, const std::string& name);
};
