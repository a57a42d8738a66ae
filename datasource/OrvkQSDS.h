// COrvkQSDS: the K3100's data source. It adds the scanner's capability set (front and back twins, the
// side selector), handlers that keep dependent capabilities consistent, the paper list and the sizes
// computed from it; the device and the scan sequence grow here.
#pragma once

#include <chrono>
#include <memory>

#include "DataSource.h"
#include "Value.h"
#include "scan/AlertPresenter.h"
#include "scan/ScopedTimer.h"

namespace k3100 {
class COrvkQS;
}
struct tagScanParam;

class COrvkQSDS : public CDataSource {
public:
    // Custom device events reported by DAT_DEVICEEVENT.
    static constexpr std::uint32_t kDeviceEventNone = 0x8001;
    static constexpr std::uint32_t kDeviceEventScanReady = 0x8002;
    static constexpr std::uint32_t kDeviceEventScanning = 0x8003;
    static constexpr std::uint32_t kDeviceEventIdleTick = 0x8004;

    // A sheet the scanner has counted reaches the reading position within a few seconds; past this the
    // scanner's report is taken to be wrong and the batch ends.
    static constexpr std::chrono::milliseconds kMorePaperLimit{10000};

    COrvkQSDS();
    ~COrvkQSDS() override;

    // How long a batch waits for paper the scanner announced; tests shorten it.
    void SetMorePaperLimit(std::chrono::milliseconds limit) { mMorePaperLimit = limit; }

    // One row of the dialog's reset list: simpleMode 1 = also reset when the simple mode is prepared.
    struct SUIRelatedCap {
        TW_UINT16 capId;
        TW_UINT16 simpleMode;
    };

    static const SMakeCapDesc sQSDSCapDesc[];
    static const std::size_t QSDSCAPDESC_COUNT;
    static const SCapHandlerRow sQSDSCapHandlers[];
    static const std::size_t QSDSCAPHANDLERS_COUNT;
    static const SUIRelatedCap sUIRelatedCaps[];
    static const std::size_t sUIRelatedCapsCount;

    // Opens the session of the first scanner found and takes its maximum scan length; false when no
    // scanner is there or it does not answer, which makes the open fail.
    bool SetupScanner() override;
    void TerminateScanner() override;

    // ---- Scan steps of a sheet (scan control); the batch's counts live in mBatch (BatchState.h) ----
    // Answer of PrepareScan that asks its caller to prepare again (with condition code 0).
    static constexpr TW_UINT16 kPrepareAgain = TWRC_CHECKSTATUS;
    // Condition code of a jamless request that found no paper (answered with kPrepareAgain).
    static constexpr TW_UINT16 kConditionNoPaper = 20;
    // Flags of the scan panel: continue and stop enabled, scanning text; both enabled, waiting text;
    // only stop enabled, scanning text; nothing enabled, waiting text.
    static constexpr std::uint32_t kPanelScanning = 0x10003;
    static constexpr std::uint32_t kPanelWaiting = 3;
    static constexpr std::uint32_t kPanelStopOnly = 0x10002;
    static constexpr std::uint32_t kPanelIdle = 0;
    // CCAP_OVK_MANUALFEED value that also starts on paper lying in the feeder.
    static constexpr std::int32_t kManualFeedAutoStart = 3;
    // No paper, paper jam, cover open, double feed: the errors jamless mode swallows.
    static bool IsFeedError(std::uint32_t error);

    // Makes the next image available: starts a new sheet or continues the current one. TWRC_SUCCESS,
    // kPrepareAgain, TWRC_CANCEL (the batch stops) or a failure with its condition code.
    TW_UINT16 PrepareScan() override;
    TW_UINT16 ReadImage(std::uint8_t* buffer, std::uint32_t bytesPerRow, std::uint32_t& rows) override;
    TW_UINT16 FinishScan() override;
    void RecoverScan() override;
    // One tick of the user interface during long device operations: the progress window's and the scan
    // panel's stop buttons reach the batch here.
    virtual void Idle();
    // The user's stop: the batch ends once the sheet under way is delivered whole.
    void StopAfterSheet();
    // Paper lies in the feeder. error (may be null) receives the status read's error code.
    virtual bool IsDocumentReady(std::uint32_t* error = nullptr);
    // Scans one image into the device's page buffer; 0 or a scanner error code.
    virtual std::uint32_t ScanPage(tagScanParam& param);
    // ScanPage, then the page's blank flag; a blank or failed page is discarded at once.
    virtual std::uint32_t IsBlankPage(std::uint8_t& blank);
    // Prepares and scans until a page that is not blank is ready or the batch ends; blank (may be null)
    // receives the last page's blank flag. 0 when an image is ready, else a scanner error code.
    virtual std::uint32_t PerformSkipBlankPages(std::uint8_t* blank);
    // The modal wait of the manual feed: true when the user chose to stop, false to go on.
    bool WaitForUserAction(bool autoStart);
    // Scans a page for the dialog's preview (modes 1 and 2).
    virtual TW_UINT16 Prescan();
    // Runs the final filter on a kept prescan image; 0 or a scanner error code.
    virtual std::uint32_t ApplyFinalImageFilter();
    // The dialog in setup mode, without a scan.
    virtual TW_UINT16 CreateUserInterface();
    bool SetupUserInterfaceParameters(fnd::Dictionary& params) override;

    TW_UINT16 PassThru(pTW_IDENTITY origin, TW_MEMREF data) override;
    // The application's stop: StopAfterSheet. Taken where transfers wait (TWAIN's state 6), and from the
    // maker's application also during its idle tick, in the middle of a page.
    TW_UINT16 StopFeeder(pTW_IDENTITY origin, TW_MEMREF data) override;
    TW_UINT16 GetDeviceEvent(pTW_IDENTITY origin, TW_MEMREF data) override;
    // The scan parameters of a new sheet from the current capabilities. continuous: feed on while paper
    // is ready; prescanMode 0 none, 1 positioning prescan, 2 prescan kept for transfer. With the gamma
    // mode on, the tone tables carry the curves and the levels are 0; otherwise the levels apply.
    tagScanParam MakeScanParam(bool continuous, std::uint32_t prescanMode);
    // Hands the data source an opened scanner (owned from now on); null detaches it.
    void AttachScanner(std::unique_ptr<k3100::COrvkQS> scanner);
    k3100::COrvkQS* GetScanner() const { return mScanner.get(); }

    bool SetupCapabilities() override;
    CapHandler GetCapHandler(TW_UINT16 capId) const override;
    // Hides direction recognition from one client and sends requests to the back twin while the side
    // selector is -1.
    TW_UINT16 CapID(TW_UINT16 capId) override;
    // Refuses values outside the capability's limits (QSCapLimits.h) with TWCC_BADVALUE.
    TW_UINT16 SetCapability(pTW_IDENTITY origin, TW_MEMREF data) override;
    TW_UINT16 HandleCapFrames(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                              bool& handled) override;
    // The default frame is the default paper's whole page: the paper goes back to its default with it.
    void ResetScanArea() override;
    // The size the scan delivers, in 1/1200 inch. detected: the page size found on the last page may
    // be used when detection is on.
    SScanSize GetScanSize(bool detected) override;

    // The selected paper's size in 1/1200 inch; the physical size for a free area or an unknown paper.
    SScanSize GetCurrentPaperSize();
    // Shows the alert of a scanner error code and answers what the batch should do: TWRC_SUCCESS go on,
    // TWRC_CANCEL stop, TWRC_CHECKSTATUS (2) try again. Clears the condition code; a jam, double feed,
    // open cover or empty feeder that stops the batch is kept as the batch's fault for DAT_STATUS.
    virtual TW_UINT16 ShowAlert(std::uint32_t code);
    // Reports a pending failure first, otherwise the fault that stopped the last batch, once; a fault the
    // scanner reported carries its class in Data.
    TW_UINT16 GetStatus(pTW_IDENTITY origin, TW_MEMREF data) override;
    // The alert's text of the scanner fault a status carries in Data.
    std::optional<std::string> StatusText(const TW_STATUS& status) const override;
    // Once per session, at the first enable without a dialog: reminds the user to exchange a worn roller
    // or pad; with "CheckErrorMessage" in the preferences also shows every error alert once.
    virtual void ShowRollerExchangeAlert();
    // At the first enable: clears the favourite name when the settings no longer match that favourite.
    void CheckCapabilities();

    // The paper list: "OriginalPapers" from the bundle, "CustomPapers" from the preferences.
    const fnd::Dictionary& GetPaperSizes() const { return mPaperSizes; }
    const fnd::Array& GetUserGammaDatas() const { return mUserGammaDatas; }

    // Handlers of the scanner's capabilities, each (message, application's record, pool capability,
    // handled out) -> condition code.
    virtual TW_UINT16 HandleFeederEnabled(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                          bool& handled);
    virtual TW_UINT16 HandleResolution(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                       bool& handled);
    virtual TW_UINT16 HandleThreshold(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                      bool& handled);
    virtual TW_UINT16 HandleDocumentSize(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                         bool& handled);
    virtual TW_UINT16 HandleToneSettings(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                         bool& handled);
    virtual TW_UINT16 HandleSupportedSize(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                          bool& handled);
    virtual TW_UINT16 HandleScanArea(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                     bool& handled);
    virtual TW_UINT16 HandleXferCount(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                      bool& handled);
    virtual TW_UINT16 HandleDuplexEnabled(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                          bool& handled);
    virtual TW_UINT16 HandleAutoFeed(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                     bool& handled);
    virtual TW_UINT16 HandleAutomaticDeskew(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                            bool& handled);
    virtual TW_UINT16 HandleDeviceEventSelection(TW_UINT16 msg, TW_CAPABILITY* cap, CCapability* capability,
                                                 bool& handled);
    // The default of CAP_DEVICEEVENT is an empty selection.
    TW_UINT16 ResetToDefault(TW_UINT16 capId) override;
    // A device event goes to the application only when it selected it (CAP_DEVICEEVENT); this maker's
    // own application receives them all.
    bool WantsDeviceEvent(std::uint32_t event) const;
    TW_UINT16 HandleDeviceEventNotification(const fnd::Value& object) override;

    // Transfer sequencing: opening and enabling for a batch, the end of each image, the transfer-ready
    // signal, and the notifications that can end a scan from outside.
    TW_UINT16 OpenDS(pTW_IDENTITY origin, TW_MEMREF data) override;
    TW_UINT16 CloseDS(pTW_IDENTITY origin, TW_MEMREF data) override;
    TW_UINT16 EnableDS(pTW_IDENTITY origin, TW_MEMREF data) override;
    TW_UINT16 EnableDSUIOnly(pTW_IDENTITY origin, TW_MEMREF data) override;
    // Scans the page first when its size, type or direction must be found before it can be described.
    TW_UINT16 GetImageInfo(pTW_IDENTITY origin, TW_MEMREF data) override;
    // Ends one image's transfer and makes the next one ready: Count 0 no more images, -1 more of an
    // unknown number, n exactly n more.
    TW_UINT16 PendingEndXfers(pTW_IDENTITY origin, TW_MEMREF data) override;
    TW_UINT16 ResetPendingXfers(pTW_IDENTITY origin, TW_MEMREF data) override;
    std::int32_t GetPendingDocumentCount() override;
    // The transfer-ready signal: runs the dialog's prescans, and with blank skip or jamless feeding
    // finds the first image worth delivering before the application hears of it.
    TW_UINT16 InvokeCallback(TW_CALLBACK& callback, const fnd::Value& object) override;
    // The host is quitting: ends the batch, disables and closes.
    virtual TW_UINT16 HandleApplicationWillTerminateNotification(const fnd::Value& object);
    // The dialog dropped its prescan image, and the kept images with it.
    virtual TW_UINT16 HandleDestroyImageRequestNotification(const fnd::Value& object);
    // Posts "XferReadyNotification" with no object: what the transfer-ready timer does when it fires.
    void PerformXferReadyNotification();
    bool IsXferReadyScheduled() const { return mXferReadyTimer.IsScheduled(); }

protected:
    // The page size found on the last scanned page (1/1200 inch); set by the scan.
    SScanSize mDetectedPageSize;
    std::unique_ptr<k3100::COrvkQS> mScanner;
    std::uint32_t mDeviceEvent = kDeviceEventNone;
    std::uint8_t mRollerCheckPending = 0;

private:
    std::chrono::milliseconds mMorePaperLimit = kMorePaperLimit;

    // The alert itself and the user's answer, without the bookkeeping of the fault.
    TW_UINT16 PresentAlert(std::uint32_t code);
    // The CAP_DEVICEEVENT capability holding the selected events.
    static std::unique_ptr<CCapability> MakeDeviceEventSelection(std::vector<CapItem> events);
    static SAlert MakeAlert(std::uint32_t code);
    void FillScanArea(tagScanParam& param);
    // Quarter turns and folded sheets change the delivered shape; also sets the row length.
    void TurnImageInfo(TW_IMAGEINFO& info);
    void EvenRowLength(TW_IMAGEINFO& info);
    void RunExchangeReminder(bool pad, bool backgroundOnly);
    void FillColourMode(tagScanParam& param);
    // Scan-step internals.
    // CCAP_OVK_MANUALFEED, 0 for a client without windows (nobody could answer the wait).
    std::int32_t ManualFeedMode() const;
    bool IsOn(TW_UINT16 capId) const;
    void PostDeviceEvent(std::uint32_t event);
    void PrepareScanPanel(bool manualFeed);
    void ResumeProgress();
    // Starts a sheet and scans its first image: 0 or the scanner's error.
    std::uint32_t StartSheet(tagScanParam& param);
    TW_UINT16 AnswerSheetError(std::uint32_t error, std::int32_t manualFeed, bool jamless);
    // The scanner's verdict on the image just read: 0 or the error to show.
    std::uint32_t CheckSheetStatus(bool continuous);
    // Answer of the manual-feed wait, polled once: 0 none yet, 1 go on, 2 stop. paperSince: when the paper
    // was first seen lying still (s), kNoPaperYet while there is none.
    static constexpr double kNoPaperYet = -1.0;
    int PollUserAction(bool autoStart, std::int32_t delay, double& paperSince);
    void WaitForPanelKeyRelease();
    // Shows a scanner error and answers what the application gets; a batch that must stop is marked.
    TW_UINT16 AnswerScannerError(std::uint32_t error);
    void FillToneTables(tagScanParam& param, bool backFromFront);
    // One pass-through command on the scanner: 0 or the scanner's error.
    std::uint32_t RunPassThru(std::uint32_t code, void* data);
    // Reads a status of up to three words into the caller's buffer of bytes.
    int ReadStatusInto(const char* key, void* data, std::size_t bytes);
    void ApplyMeasurementDefaults();
    void SetLinearCurves();
    void LoadPaperList();
    void SetScanArea(float x, float y, float width, float height);
    // The threshold a side's brightness (ICAP_BRIGHTNESS or its back twin) shows; none without a
    // brightness step.
    std::optional<float> ShownThreshold(TW_UINT16 brightnessId);
    // The defaults that describe the paper follow the default paper: the scan area's (the frame's) is its
    // whole page, and ICAP_SUPPORTEDSIZES's its size code.
    void ApplyDefaultPaper();
    // The TWAIN size code of a paper id; TWSS_NONE for a paper without one.
    static TW_UINT16 SupportedSizeForPaper(std::int32_t paper);
    // The size code of the frame: its paper's while the frame is that paper's whole page, else TWSS_NONE.
    TW_UINT16 FrameSupportedSize();
    // The size of a paper id (-1: the physical size); none for a user's paper that is missing or does
    // not fit the scanner.
    std::optional<SScanSize> PaperSizeFor(std::int32_t paperId);

    fnd::Dictionary mPaperSizes;
    fnd::Array mUserGammaDatas;

    // Transfer sequencing.
    struct SEndXfer;
    void RegisterScanNotificationHandlers();
    TW_UINT16 ScanBeforeDescribing();
    // Feeding goes on while paper is ready: auto feed or auto scan with no fixed transfer count.
    bool IsContinuousFeed();
    // Images still wanted of a fixed transfer count; -1 when the application fixed none.
    std::int32_t RemainingTransfers();
    void ReadEndXferSettings(SEndXfer& x);
    void CountDeliveredImage(SEndXfer& x);
    TW_UINT16 EndSimpleImage(SEndXfer& x, pTW_IDENTITY origin, TW_PENDINGXFERS& pending);
    void PrepareNextImage(SEndXfer& x);
    // Scans the next image if one is due: 0 or the scanner's error.
    std::uint32_t ScanNextImage(SEndXfer& x);
    std::uint32_t ScanNextSide();
    // Drops blank sides of the current sheet; ready: the side just scanned is worth delivering.
    std::uint32_t SkipBlankSides(SEndXfer& x, bool& ready);
    void HandleScannerError(SEndXfer& x);
    void AlertScannerError(SEndXfer& x);
    void CloseFinishedSheet(SEndXfer& x);
    void WaitForMorePaper(SEndXfer& x);
    void WaitForUserOrPaper(SEndXfer& x);
    void StartNextSheet(SEndXfer& x);
    void EndBatch(SEndXfer& x);
    void ContinueBatch(SEndXfer& x);
    void ScheduleXferReady();
    // The request a transfer-ready signal stands for (a dictionary), or the object as it came.
    fnd::Value XferReadyRequest(const fnd::Value& object) const;
    TW_UINT16 RunDialogPrescan();
    // None when the first image is ready; otherwise what the signal answers instead.
    std::optional<TW_UINT16> FindFirstImage(bool jamless);
    TW_UINT16 EndBatchBeforeFirstImage(std::uint32_t error);

    CScopedTimer mXferReadyTimer; // one-shot: the next transfer-ready signal for clients that need one
    // Repeating while an image's rows are read, so that the dialog stays alive in a blocked read; one per
    // image, stopped when the image ends or is given up.
    CScopedTimer mRowTimer;
};
