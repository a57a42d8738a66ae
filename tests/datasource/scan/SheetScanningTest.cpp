// The scan steps of a sheet against the emulated scanner and the real page library: starting a sheet and
// its device events, an empty feeder with and without jamless mode, blank pages skipped, the manual-feed
// wait, the idle tick, the prescan and the scanner's session values.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "COrvkQS.h"
#include "EmulatedScanner.h"
#include "Emulator.h"
#include "QSDataSource.h"
#include "RunLoop.h"
#include "ScannerErrors.h"
#include "scan/AlertPresenter.h"

namespace {

struct SDialogLog {
    std::vector<std::uint32_t> panelFlags;
    std::vector<SPageBitmap> previews;
    int panelStatus = 0; // what the scan panel answers
    bool panelVisible = false;
};

class CDialogRecorder : public CNullUIController {
public:
    explicit CDialogRecorder(SDialogLog& log) : mLog(log) {}
    void updateScanPanel(std::uint32_t flags) override { mLog.panelFlags.push_back(flags); }
    int scanPanelStatus() const override { return mLog.panelStatus; }
    bool isScanPanelVisible() const override { return mLog.panelVisible; }
    void setScanImage(const SPageBitmap& image, std::uint32_t, bool) override {
        mLog.previews.push_back(image);
    }

private:
    SDialogLog& mLog;
};

class CAlertRecorder : public CAlertPresenter {
public:
    explicit CAlertRecorder(std::vector<std::string>& shown) : mShown(shown) {}
    std::optional<std::size_t> RunAlert(const SAlert& alert, bool) override {
        mShown.push_back(alert.message);
        return alert.buttons.size() - 1; // Cancel where there is a choice
    }

private:
    std::vector<std::string>& mShown;
};

// Exposes the scan state and records the device event current at each callback.
class CSheetQSDS : public test::CTestQSDS {
public:
    std::vector<std::uint32_t> events;
    std::function<void()> onDeviceEvent; // what the application does when it hears one
    TW_UINT16 InvokeCallback(TW_CALLBACK& callback, const fnd::Value& object) override {
        if (callback.Message == MSG_DEVICEEVENT) {
            events.push_back(mDeviceEvent);
            if (onDeviceEvent)
                onDeviceEvent();
        }
        return CTestQSDS::InvokeCallback(callback, object);
    }
    // A page's transfer has begun (TWAIN's state 7).
    void BeginTransfer() { mState = kTransferring; }
    bool SetupRealScanner() { return COrvkQSDS::SetupScanner(); }
    void TerminateRealScanner() { COrvkQSDS::TerminateScanner(); }
    std::int32_t SheetImagesLeft() const { return mBatch.SheetImagesLeft(); }
    void Request(CBatchState::EXferReadyScanMode mode) { mBatch.TakeRequest(mode, 0); }
    bool StopBatch() const { return mBatch.IsStopping(); }
    // What the end of a transfer does once the sheet's last image is out.
    void EndSheet() { mBatch.StopIfSheetDone(); }
    std::uint32_t DeviceEvent() const { return mDeviceEvent; }
    TW_UINT16 Condition() const { return mConditionCode; }
};

class SheetScanningTest : public test::QSDataSourceTest {
protected:
    SheetScanningTest() {
        RenewSource();
        SetUIControllerFactory([this] { return std::make_unique<CDialogRecorder>(mDialog); });
        SetAlertPresenter(std::make_unique<CAlertRecorder>(mAlerts));
    }
    ~SheetScanningTest() override {
        SetUIControllerFactory(nullptr);
        SetAlertPresenter(std::make_unique<CLogAlertPresenter>());
    }
    // A data source that has seen no batch yet, for the next Start.
    void RenewSource() {
        auto ds = std::make_unique<CSheetQSDS>();
        mSheetDS = ds.get();
        mDS = std::move(ds);
    }
    // Opens as the given application with the emulated scanner attached, grey at 150 dpi, and enables
    // without the dialog (the transfer-ready state).
    void Start(const char* manufacturer = "Test Maker") {
        Open(manufacturer);
        test::AttachEmulatedScanner(*mDS, mEmulator);
        ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_GRAY}), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 150), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 150), TWRC_SUCCESS);
    }
    void Enable() {
        TW_USERINTERFACE ui{};
        ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    }
    // Lets the page in work run through the page library before the scan is stopped: the library frees
    // a page's working buffers only at its last band.
    void WaitForPage() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (mDS->GetScanner()->ProcessingRunning() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    void StopAfterPage() {
        WaitForPage();
        mDS->RecoverScan();
    }
    // Starts with manual feeding that begins as soon as paper lies in, and enables.
    void StartManualFeed() {
        Start();
        SetCapSIntValue(Pool(), CCAP_OVK_MANUALFEED, COrvkQSDS::kManualFeedAutoStart);
        SetCapSIntValue(Pool(), CCAP_OVK_AUTOSTARTDELAY, 0);
        Enable();
    }
    // Lays a sheet in from the host's loop 0.3 s from now; loaded tells when it has.
    fnd::TimerRef LoadLater(bool& loaded) {
        return fnd::RunLoop::current().addTimer(0.3, false, [this, &loaded](fnd::Timer&) {
            Load("gen:ramp");
            loaded = true;
        });
    }
    void Load(const char* spec, int count = 1) {
        std::string error;
        const auto sheet = k3100::emu::sheetFromSpec(spec, error);
        ASSERT_TRUE(sheet) << error;
        mEmulator.loadSheet(*sheet, count);
    }

    k3100::emu::Emulator mEmulator;
    CSheetQSDS* mSheetDS = nullptr;
    SDialogLog mDialog;
    std::vector<std::string> mAlerts;
};

TEST_F(SheetScanningTest, NewSheetAnnouncesItselfAndCountsItsImages) {
    Start();
    ASSERT_EQ(SetBool(CAP_DUPLEXENABLED, true), TWRC_SUCCESS);
    const auto wanted = test::UInt16Array({0x8002, 0x8003});
    ASSERT_EQ(Cap(MSG_SET, CAP_DEVICEEVENT, TWON_ARRAY, wanted.get()), TWRC_SUCCESS);
    Enable();
    Load("gen:ramp");
    ASSERT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    EXPECT_EQ(mSheetDS->events, (std::vector<std::uint32_t>{0x8002, 0x8003}));
    EXPECT_EQ(mSheetDS->SheetImagesLeft(), 2);
    // A sheet in progress is only handed on: no new start, no events.
    ASSERT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    EXPECT_EQ(mSheetDS->events.size(), 2u);
    StopAfterPage();

    // Only one more image wanted: the duplex sheet yields its front alone.
    SetCapSIntValue(Pool(), CAP_XFERCOUNT, 1);
    Load("gen:ramp");
    ASSERT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    EXPECT_EQ(mSheetDS->SheetImagesLeft(), 1);
    StopAfterPage();
}

TEST_F(SheetScanningTest, PositioningPrescanPostsNoDeviceEvents) {
    Start();
    Enable();
    Load("gen:ramp");
    mSheetDS->Request(CBatchState::kScanModePositioning);
    ASSERT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    EXPECT_TRUE(mSheetDS->events.empty());
    EXPECT_TRUE(mDialog.panelFlags.empty()); // the dialog shows its own preview, not the scan panel
    StopAfterPage();
}

TEST_F(SheetScanningTest, EmptyFeederAlertsButAJamlessFeedErrorEndsQuietly) {
    Start();
    Enable();
    EXPECT_EQ(mDS->PrepareScan(), TWRC_CANCEL);
    EXPECT_EQ(mAlerts.size(), 1u);
    EXPECT_TRUE(mSheetDS->StopBatch());

    mAlerts.clear();
    SetCapSIntValue(Pool(), CCAP_OVK_FEEDER_JAMLESS, 1);
    Load("gen:ramp", 2);
    mEmulator.armFault({k3100::emu::FaultKind::Jam, std::nullopt, 1});
    EXPECT_EQ(mDS->PrepareScan(), COrvkQSDS::kPrepareAgain);
    EXPECT_EQ(mSheetDS->Condition(), COrvkQSDS::kConditionNoPaper);
    // Skipping turns the quiet end into "no page".
    mEmulator.armFault({k3100::emu::FaultKind::Jam, std::nullopt, 1});
    EXPECT_EQ(mDS->PerformSkipBlankPages(nullptr), k3100::kScanErrNoPage);
    EXPECT_EQ(mSheetDS->Condition(), TWCC_SUCCESS);
    EXPECT_TRUE(mAlerts.empty());
}

// The jam's code waits for the application through the cancel, but a sheet that goes through after it
// makes it stale; a jam that jamless mode swallows leaves none.
TEST_F(SheetScanningTest, JamCodeLastsUntilReadOrUntilTheNextSheetStarts) {
    auto status = [&] {
        TW_STATUS record{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_STATUS, MSG_GET, &record), TWRC_SUCCESS);
        return record.ConditionCode;
    };
    Start();
    Enable();
    Load("gen:ramp", 3);
    mEmulator.armFault({k3100::emu::FaultKind::Jam, std::nullopt, 1});
    EXPECT_EQ(mDS->PrepareScan(), TWRC_CANCEL);
    EXPECT_EQ(mAlerts.size(), 1u);
    EXPECT_EQ(status(), TWCC_PAPERJAM);
    EXPECT_EQ(status(), TWCC_SUCCESS);

    mEmulator.armFault({k3100::emu::FaultKind::Jam, std::nullopt, 1});
    EXPECT_EQ(mDS->PrepareScan(), TWRC_CANCEL);
    ASSERT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    StopAfterPage();

    SetCapSIntValue(Pool(), CCAP_OVK_FEEDER_JAMLESS, 1);
    mEmulator.armFault({k3100::emu::FaultKind::Jam, std::nullopt, 1});
    EXPECT_EQ(mDS->PrepareScan(), COrvkQSDS::kPrepareAgain);
    mSheetDS->SetConditionCode(TWCC_SUCCESS, TWRC_SUCCESS); // as the caller does with its no-paper marker
    EXPECT_EQ(status(), TWCC_SUCCESS);
}

TEST_F(SheetScanningTest, BlankPagesAreDroppedUntilOneWithContent) {
    Start();
    SetCapSIntValue(Pool(), CCAP_OVK_BLANKSKIP, 1);
    Enable();
    Load("gen:blank", 2);
    Load("gen:ramp");
    std::uint8_t blank = 1;
    ASSERT_EQ(mDS->PerformSkipBlankPages(&blank), 0u);
    EXPECT_EQ(blank, 0);
    EXPECT_EQ(mEmulator.sheetsInFeeder(), 0u);
    StopAfterPage();

    // Nothing but blank paper: the batch ends as "no page", without an alert.
    Load("gen:blank");
    ASSERT_EQ(mDS->PerformSkipBlankPages(&blank), k3100::kScanErrNoPage);
    EXPECT_EQ(blank, 1);
    EXPECT_TRUE(mAlerts.empty());
}

TEST_F(SheetScanningTest, ManualFeedWaitsForPaperAndStartsOnItsOwn) {
    StartManualFeed();
    // The paper arrives while the wait runs the host's loop.
    bool loaded = false;
    const fnd::TimerRef feed = LoadLater(loaded);
    EXPECT_EQ(mDS->PrepareScan(), COrvkQSDS::kPrepareAgain);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(mSheetDS->Condition(), TWCC_SUCCESS);
    EXPECT_EQ(mDialog.panelFlags,
              (std::vector<std::uint32_t>{COrvkQSDS::kPanelScanning, COrvkQSDS::kPanelWaiting,
                                          COrvkQSDS::kPanelStopOnly}));
    EXPECT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    StopAfterPage();
}

// A host where no dialog can be made (no windows) never waits on the scan panel: an empty feeder is
// told at once, as without manual feeding, and paper laid in later starts nothing.
TEST_F(SheetScanningTest, ManualFeedIsOffWhereNoScanPanelCanShow) {
    SetUIControllerFactory(nullptr);
    StartManualFeed();
    bool loaded = false;
    const fnd::TimerRef feed = LoadLater(loaded);
    EXPECT_NE(mDS->PrepareScan(), TWRC_SUCCESS);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(mAlerts.size(), 1u);
    EXPECT_TRUE(mDialog.panelFlags.empty());
    feed->invalidate();
}

TEST_F(SheetScanningTest, ManualFeedStopsFromThePanelOrTheScannerKey) {
    Start();
    SetCapSIntValue(Pool(), CCAP_OVK_MANUALFEED, 1);
    Enable();
    mDialog.panelStatus = 2;
    EXPECT_EQ(mDS->PrepareScan(), TWRC_CANCEL);
    EXPECT_TRUE(mSheetDS->StopBatch());
    EXPECT_EQ(mDialog.panelFlags.back(), COrvkQSDS::kPanelIdle);

    mDialog.panelStatus = 0;
    mEmulator.pressKey(2);
    EXPECT_EQ(mDS->PrepareScan(), TWRC_CANCEL);
    mEmulator.pressKey(1);
    EXPECT_EQ(mDS->PrepareScan(), COrvkQSDS::kPrepareAgain);
    EXPECT_TRUE(mAlerts.empty());
}

TEST_F(SheetScanningTest, IdleTickIsAnEventOnlyForTheMakersApplication) {
    Start("Orvik Electronics");
    Enable();
    mDS->Idle();
    EXPECT_EQ(mSheetDS->events, (std::vector<std::uint32_t>{COrvkQSDS::kDeviceEventIdleTick}));
    EXPECT_EQ(mSheetDS->DeviceEvent(), COrvkQSDS::kDeviceEventNone);
}

TEST_F(SheetScanningTest, IdleTickStaysQuietForOtherApplicationsButEndsTheBatchAfterTheSheetOnStop) {
    Start();
    Enable();
    ASSERT_EQ(mDS->CreateUserInterface(), TWRC_SUCCESS);
    std::uint32_t aborted = 1;
    mDS->Idle();
    EXPECT_TRUE(mSheetDS->events.empty());
    ASSERT_EQ(mDS->GetScanner()->GetStatus("AbortState", &aborted), 0);
    EXPECT_EQ(aborted, 0u);
    mDialog.panelVisible = true;
    mDialog.panelStatus = 2;
    mDS->Idle();
    // The sheet under way is not cut off: the batch ends once it is out.
    ASSERT_EQ(mDS->GetScanner()->GetStatus("AbortState", &aborted), 0);
    EXPECT_EQ(aborted, 0u);
    EXPECT_FALSE(mSheetDS->StopBatch());
    mSheetDS->EndSheet();
    EXPECT_TRUE(mSheetDS->StopBatch());
}

// The application's feeder stop ends the batch as the dialog's stop does, after the sheet under way,
// which is not cut off. Where transfers wait any application may send it; in the middle of a page only
// the maker's, from its idle tick.
TEST_F(SheetScanningTest, FeederStopEndsTheBatchAfterTheSheetWhereTransfersWaitOrFromTheTick) {
    TW_PENDINGXFERS pending{};
    const auto stopFeeder = [&] { return Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_STOPFEEDER, &pending); };
    Start("Test Maker");
    Enable();
    EXPECT_EQ(stopFeeder(), TWRC_SUCCESS);
    EXPECT_FALSE(mSheetDS->StopBatch());
    mSheetDS->EndSheet();
    EXPECT_TRUE(mSheetDS->StopBatch());
    Close();

    RenewSource();
    Start("Test Maker");
    Enable();
    mSheetDS->BeginTransfer();
    EXPECT_EQ(stopFeeder(), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    Close();

    RenewSource();
    Start("Orvik Electronics");
    Enable();
    mSheetDS->BeginTransfer();
    TW_UINT16 fromTick = TWRC_FAILURE;
    mSheetDS->onDeviceEvent = [&] { fromTick = stopFeeder(); };
    mDS->Idle();
    EXPECT_EQ(fromTick, TWRC_SUCCESS);
    std::uint32_t aborted = 1;
    ASSERT_EQ(mDS->GetScanner()->GetStatus("AbortState", &aborted), 0);
    EXPECT_EQ(aborted, 0u);
    mSheetDS->EndSheet();
    EXPECT_TRUE(mSheetDS->StopBatch());
}

// How the end of an image answers an error the scanner reported while it was read.
struct SImageEndCase {
    bool jamless;
    bool continuous;
    std::uint32_t error;
    TW_UINT16 result;
    bool alert;
};

class ImageEndTest : public SheetScanningTest, public ::testing::WithParamInterface<SImageEndCase> {};

TEST_P(ImageEndTest, ScannerErrorDecidesTheAnswer) {
    const SImageEndCase& c = GetParam();
    Start();
    SetCapSIntValue(Pool(), CCAP_OVK_FEEDER_JAMLESS, c.jamless);
    SetCapSIntValue(Pool(), CAP_AUTOFEED, c.continuous);
    Enable();
    Load("gen:ramp");
    ASSERT_EQ(mDS->PrepareScan(), TWRC_SUCCESS);
    WaitForPage();
    mDS->GetScanner()->SetScannerError(c.error);
    EXPECT_EQ(mDS->FinishScan(), c.result);
    EXPECT_EQ(mAlerts.size(), c.alert ? 1u : 0u);
    EXPECT_EQ(mSheetDS->StopBatch(), c.alert);
    mDS->RecoverScan();
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ImageEndTest,
    ::testing::Values(SImageEndCase{false, false, 0, TWRC_SUCCESS, false},
                      SImageEndCase{false, false, k3100::kScanErrPaperJam, TWRC_CANCEL, true},
                      SImageEndCase{true, false, k3100::kScanErrPaperJam, TWRC_SUCCESS, false},
                      // Feeding on, an empty feeder is the batch's normal end.
                      SImageEndCase{false, true, k3100::kScanErrNoPaper, TWRC_SUCCESS, false},
                      SImageEndCase{false, true, k3100::kScanErrDoubleFeed, TWRC_CANCEL, true}));

TEST_F(SheetScanningTest, BlackAndWhitePrescanReachesTheDialogInGrey) {
    Start();
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    Enable();
    Load("gen:ramp");
    mSheetDS->Request(CBatchState::kScanModeKeepPrescan);
    ASSERT_EQ(mDS->Prescan(), TWRC_SUCCESS);
    ASSERT_EQ(mDialog.previews.size(), 1u);
    EXPECT_EQ(mDialog.previews[0].bitsPerSample, 8);
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_BW);

    mSheetDS->Request(CBatchState::kScanModeNormal);
    EXPECT_EQ(mDS->Prescan(), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
}

TEST_F(SheetScanningTest, SessionTakesThePhysicalHeightFromTheScanner) {
    mEmulator.installAsBus();
    Open();
    ASSERT_TRUE(mSheetDS->SetupRealScanner());
    std::uint32_t maxLength = 0; // micrometres
    ASSERT_EQ(mDS->GetScanner()->GetStatus("MaxScanLength", &maxLength), 0);
    EXPECT_FLOAT_EQ(Float(ICAP_PHYSICALHEIGHT), static_cast<float>(maxLength * 6 / 127));
    ResetCapValue(Pool(), ICAP_PHYSICALHEIGHT);
    EXPECT_FLOAT_EQ(Float(ICAP_PHYSICALHEIGHT), static_cast<float>(maxLength * 6 / 127));
    mSheetDS->TerminateRealScanner();
    EXPECT_EQ(mDS->GetScanner(), nullptr);
}

} // namespace
