// The dialog's reach to the scanner, against the emulated K3100 attached to a data source opened here:
// the information and maintenance panels with their counter resets, a refused reset reported, no access
// during a scan, and the live tone filter matching the data source's final filter of the kept page.
#include "COrvkQS.h"
#include "CapHelpers.h"
#include "DialogItems.h"
#include "Emulator.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QtTestApp.h"
#include "Sheet.h"
#include "ShieldWindows.h"
#include "Tags.h"
#include "scan/EmulatedScanner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

// Keeps the page a prescan hands to the dialog.
class CPreviewRecorder : public CNullUIController {
public:
    explicit CPreviewRecorder(std::optional<SPageBitmap>& page) : mPage(page) {}
    void setScanImage(const SPageBitmap& image, std::uint32_t, bool) override { mPage = image; }

private:
    std::optional<SPageBitmap>& mPage;
};

class CPrescanQSDS : public test::CTestQSDS {
public:
    void Request(CBatchState::EXferReadyScanMode mode) { mBatch.TakeRequest(mode, 0); }
};

// Answers the next alert with the button titled answer and keeps its text.
void AnswerAlert(const QString& answer, QString* text = nullptr) {
    QTimer::singleShot(50, [answer, text] {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(alert, nullptr);
        if (text)
            *text = alert->text();
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == answer)
                button->click();
    });
}

class ScannerAccessTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    ScannerAccessTest() {
        auto ds = std::make_unique<CPrescanQSDS>();
        mPrescanDS = ds.get();
        mDS = std::move(ds);
        SetUIControllerFactory([this] { return std::make_unique<CPreviewRecorder>(mPrescanned); });
    }
    ~ScannerAccessTest() override { SetUIControllerFactory(nullptr); }
    void SetUp() override {
        Open();
        test::AttachEmulatedScanner(*mDS, mEmulator);
        ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_GRAY}), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 150), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 150), TWRC_SUCCESS);
    }
    void TearDown() override { mController.reset(); }
    Controller& Dialog() {
        fnd::Dictionary params;
        EXPECT_TRUE(mDS->SetupUserInterfaceParameters(params));
        mController = std::make_unique<Controller>();
        mController->setupMainUIWithParam(params, 1);
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(1);
        return *mController;
    }
    QString Field(QWidget* panel, int tag) { return GetItemString(panel, tag).value_or(QString()); }
    // Enables the source and keeps a prescan of one ramp sheet from the emulator.
    void KeepRampPrescan() {
        TW_USERINTERFACE ui{};
        ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        std::string error;
        const auto sheet = k3100::emu::sheetFromSpec("gen:ramp", error);
        ASSERT_TRUE(sheet) << error;
        mEmulator.loadSheet(*sheet, 1);
        mPrescanDS->Request(CBatchState::kScanModeKeepPrescan);
        ASSERT_EQ(mDS->Prescan(), TWRC_SUCCESS);
        ASSERT_TRUE(mPrescanned);
    }

    k3100::emu::Emulator mEmulator;
    CPrescanQSDS* mPrescanDS = nullptr;
    std::optional<SPageBitmap> mPrescanned;
    std::unique_ptr<Controller> mController;
};

// The title names the scanner read at set-up; the information panel shields the shown palettes only
// while it stands, however it is closed.
TEST_F(ScannerAccessTest, TheTitleNamesTheScannerAndTheInformationPanelGivesThePalettesBack) {
    Controller unread;
    unread.setupMainUIWithParam({}, 1);
    Dialog();
    const QString title = mController->window()->windowTitle();
    EXPECT_TRUE(title.contains("K3100 Scanner")) << title.toStdString();
    EXPECT_NE(title, unread.window()->windowTitle()) << "a scanner that was read is named";
    QWidget* palette = mController->gammaPalette();
    ASSERT_NE(palette, nullptr);
    mController->showMainWindow();
    palette->show();
    for (const bool byOk : {true, false}) {
        mController->showScannerInformationPanel();
        QDialog* info = mController->scannerInformationPanel();
        ASSERT_NE(info, nullptr);
        EXPECT_NE(appkit::FWindow::shieldWindow(palette), nullptr);
        if (byOk)
            appkit::viewWithTag<QAbstractButton>(info, 1)->click();
        else
            QTest::keyClick(info, Qt::Key_Escape);
        EXPECT_FALSE(info->isVisible());
        EXPECT_EQ(appkit::FWindow::shieldWindow(palette), nullptr) << (byOk ? "OK" : "Escape");
        EXPECT_EQ(appkit::FWindow::shieldWindow(mController->window()), nullptr) << (byOk ? "OK" : "Escape");
    }
}

TEST_F(ScannerAccessTest, TheInformationPanelShowsTheScannerAndAResetReachesIt) {
    ASSERT_EQ(mEmulator.control("counters 5000 4200 900"), "ok");
    Dialog();
    mController->showScannerInformationPanel();
    QDialog* info = mController->scannerInformationPanel();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(Field(info, 450), "K3100 Scanner") << "the name as the scanner gives it";
    EXPECT_EQ(Field(info, 451), "1.0");
    EXPECT_EQ(Field(info, 452), "1.00");
    EXPECT_EQ(Field(info, 453), "5000");
    EXPECT_EQ(Field(info, 454), "4200");
    EXPECT_EQ(Field(info, 455), "900");

    appkit::viewWithTag<QAbstractButton>(info, 456)->click();
    QDialog* maintenance = mController->maintenancePanel();
    ASSERT_NE(maintenance, nullptr);
    EXPECT_EQ(Field(maintenance, 460), "4200");
    AnswerAlert("Cancel");
    appkit::viewWithTag<QAbstractButton>(maintenance, 464)->click();
    EXPECT_NE(mEmulator.control("status").find("roller=4200"), std::string::npos);
    AnswerAlert("OK");
    appkit::viewWithTag<QAbstractButton>(maintenance, 464)->click();
    EXPECT_NE(mEmulator.control("status").find("roller=0 pad=900"), std::string::npos)
        << mEmulator.control("status");
    EXPECT_EQ(Field(maintenance, 460), "0");
    EXPECT_EQ(Field(maintenance, 461), "900");
    appkit::viewWithTag<QAbstractButton>(maintenance, 1)->click();
    EXPECT_EQ(Field(info, 454), "0");
}

TEST_F(ScannerAccessTest, ARefusedResetIsReportedAndTheCountStays) {
    ASSERT_EQ(mEmulator.control("counters 5000 4200 900"), "ok");
    Dialog();
    mController->showScannerInformationPanel();
    ASSERT_NE(mController->scannerInformationPanel(), nullptr);
    appkit::viewWithTag<QAbstractButton>(mController->scannerInformationPanel(), 456)->click();
    QDialog* maintenance = mController->maintenancePanel();
    ASSERT_EQ(mEmulator.control("fault hardware-error@send:1"), "ok");
    QString report;
    AnswerAlert("OK");
    QTimer::singleShot(300, [&report] {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(alert, nullptr);
        report = alert->text();
        alert->buttons().front()->click();
    });
    appkit::viewWithTag<QAbstractButton>(maintenance, 465)->click();
    EXPECT_EQ(report, "The counter could not be reset.");
    EXPECT_EQ(Field(maintenance, 461), "900");
    EXPECT_NE(mEmulator.control("status").find("pad=900"), std::string::npos);
}

TEST_F(ScannerAccessTest, TheLongestPageIsSetInTheScannerAndARefusalIsReported) {
    Dialog();
    mController->showScannerInformationPanel();
    ASSERT_NE(mController->scannerInformationPanel(), nullptr);
    appkit::viewWithTag<QAbstractButton>(mController->scannerInformationPanel(), 456)->click();
    QDialog* maintenance = mController->maintenancePanel();
    ASSERT_NE(maintenance, nullptr);
    auto* length = appkit::viewWithTag<QSpinBox>(maintenance, 462);
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length->value(), 1000); // the emulated scanner's metre
    length->setValue(1500);
    appkit::viewWithTag<QAbstractButton>(maintenance, 466)->click();
    EXPECT_EQ(mController->getScannerInfo()->get("MaxScanLength").asInt64(), 1500000);
    EXPECT_EQ(length->value(), 1500);

    ASSERT_EQ(mEmulator.control("fault hardware-error@send:1"), "ok");
    QString report;
    QTimer::singleShot(100, [&report] {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(alert, nullptr);
        report = alert->text();
        alert->buttons().front()->click();
    });
    length->setValue(800);
    appkit::viewWithTag<QAbstractButton>(maintenance, 466)->click();
    EXPECT_EQ(report, "The longest page could not be set.");
    EXPECT_EQ(mController->getScannerInfo()->get("MaxScanLength").asInt64(), 1500000);
    EXPECT_EQ(length->value(), 1500) << "the panel shows what the scanner keeps";
}

TEST_F(ScannerAccessTest, NoScannerAccessWhileAScanRunsAndAnUnreadableScannerOpensNoPanel) {
    Dialog();
    mController->setShield(true);
    EXPECT_FALSE(mController->getScannerInfo());
    EXPECT_FALSE(mController->clearRollerCount(false));
    EXPECT_FALSE(mController->setMaxScanLength(1000));
    mController->showScannerInformationPanel();
    EXPECT_EQ(mController->scannerInformationPanel(), nullptr);
    mController->setShield(false);
    ASSERT_TRUE(mController->getScannerInfo());
    EXPECT_TRUE(mController->setMaxScanLength(500000));
    EXPECT_EQ(mController->getScannerInfo()->get("MaxScanLength").asInt64(), 500000);
    ASSERT_EQ(mEmulator.control("fault gone"), "ok");
    mController->showScannerInformationPanel();
    EXPECT_EQ(mController->scannerInformationPanel(), nullptr);
}

TEST_F(ScannerAccessTest, TheLiveToneOfTheKeptPageIsTheScannedPagesTone) {
    Dialog();
    QWidget* tone = mController->gammaPalette();
    auto* modes = appkit::viewWithTag<QComboBox>(tone, 240);
    modes->setCurrentIndex(1);
    emit modes->activated(1);
    appkit::viewWithTag<QSlider>(tone, 244)->setValue(22);
    ASSERT_FLOAT_EQ(Float(CCAP_OVKM_GRAYGAMMA), 2.2f);
    ASSERT_NO_FATAL_FAILURE(KeepRampPrescan());
    mController->setScanImage(*mPrescanned, 150, false);
    const std::optional<SPageBitmap>& preview = mController->filteredScanImage();
    ASSERT_TRUE(preview);
    ASSERT_NE(preview->pixels, mPrescanned->pixels) << "the tone shows in the preview";

    ASSERT_EQ(mDS->ApplyFinalImageFilter(), 0u);
    std::vector<std::uint8_t> scanned(std::size_t{preview->bytesPerRow} * preview->height);
    std::uint32_t lines = preview->height;
    ASSERT_EQ(mDS->GetScanner()->ReadLines(scanned.data(), preview->bytesPerRow, &lines), 0);
    ASSERT_EQ(lines, preview->height);
    int worst = 0;
    for (std::size_t i = 0; i < scanned.size(); ++i)
        worst = std::max(worst, std::abs(int{scanned[i]} - int{preview->pixels[i]}));
    EXPECT_LE(worst, 1);
}

TEST_F(ScannerAccessTest, TheImagePalettesRotationTurnsTheScannedPage) {
    Dialog();
    TW_USERINTERFACE ui{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    std::string error;
    const auto sheet = k3100::emu::sheetFromSpec("gen:ramp", error);
    ASSERT_TRUE(sheet) << error;
    mEmulator.loadSheet(*sheet, 2);
    auto prescan = [this] {
        mPrescanned.reset();
        mPrescanDS->Request(CBatchState::kScanModeKeepPrescan);
        EXPECT_EQ(mDS->Prescan(), TWRC_SUCCESS);
        return mPrescanned.value_or(SPageBitmap{});
    };
    const SPageBitmap upright = prescan();
    auto* rotation = appkit::viewWithTag<QComboBox>(mController->imagePalette(), 311);
    rotation->setCurrentIndex(1);
    emit rotation->activated(1);
    ASSERT_EQ(Int(CCAP_OVK_DATAORIENTATION), 2);
    const SPageBitmap turned = prescan();
    ASSERT_NE(upright.width, upright.height);
    EXPECT_EQ(turned.width, upright.height);
    EXPECT_EQ(turned.height, upright.width);
}

// Counts the clearly dark and clearly light pixels of the grey page whose bit in the black-and-white page is
// set.
std::pair<int, int> SetBitsByShade(const SPageBitmap& grey, const std::vector<std::uint8_t>& bits,
                                   std::uint32_t rowBytes) {
    std::pair<int, int> set{};
    for (std::uint32_t y = 0; y < grey.height; ++y)
        for (std::uint32_t x = 0; x < grey.width; ++x) {
            const std::uint8_t shade = grey.Row(y)[x];
            const bool bit = (bits[std::size_t{y} * rowBytes + x / 8] >> (7 - x % 8)) & 1;
            if (shade < 64)
                set.first += bit;
            else if (shade > 192)
                set.second += bit;
        }
    return set;
}

TEST_F(ScannerAccessTest, TheImagePalettesInversionTurnsTheScannedBlackAndWhitePage) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    Dialog();
    auto* inversion = appkit::viewWithTag<QComboBox>(mController->imagePalette(), 320);
    ASSERT_TRUE(inversion->isEnabled());
    inversion->setCurrentIndex(0);
    emit inversion->activated(0);
    ASSERT_EQ(Int(CCAP_OVK_REVERSESCANTYPE), 1);
    ASSERT_NO_FATAL_FAILURE(KeepRampPrescan());
    // The kept page as the data source transfers it: binarised by the final filter.
    ASSERT_EQ(mDS->ApplyFinalImageFilter(), 0u);
    const std::uint32_t rowBytes = (mPrescanned->width + 7) / 8;
    std::uint32_t lines = mPrescanned->height;
    std::vector<std::uint8_t> page(std::size_t{rowBytes} * lines);
    ASSERT_EQ(mDS->GetScanner()->ReadLines(page.data(), rowBytes, &lines), 0);
    ASSERT_EQ(lines, mPrescanned->height);
    // A set bit is white: without the inversion the light parts of the page would be the set ones.
    const auto [dark, light] = SetBitsByShade(*mPrescanned, page, rowBytes);
    EXPECT_GT(dark, 0);
    EXPECT_EQ(light, 0);
}

TEST_F(ScannerAccessTest, Screenshots) {
    ASSERT_EQ(mEmulator.control("counters 12840 3120 870"), "ok");
    Dialog();
    mController->window()->show();
    mController->showScannerInformationPanel();
    ASSERT_NE(mController->scannerInformationPanel(), nullptr);
    QTest::qWait(20);
    saveScreenshots(mController->scannerInformationPanel(), "ds-scanner-information");
    mController->showMaintenancePanel();
    ASSERT_NE(mController->maintenancePanel(), nullptr);
    QTest::qWait(20);
    saveScreenshots(mController->maintenancePanel(), "ds-maintenance");
}

} // namespace
