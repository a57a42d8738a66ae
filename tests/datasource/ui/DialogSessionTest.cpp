// The dialog inside a Qt host: K3100.ds loaded by the source manager, driven through DSM_Entry like any
// TWAIN application does, against the emulated scanner. The dialog's controls are found by tag.
#include "EmulatorFixture.h"
#include "NotificationCenter.h"
#include "PropertyList.h"
#include "QSCapIds.h"
#include "QSCropGeometry.h"
#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TwainTestApp.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kScanButton = 610;
constexpr int kOkButton = 3;
constexpr int kCloseButton = 2;

class DialogSession : public test::EmulatorFixture, public WithTestApplication {
protected:
    void SetUp() override {
        EmulatorFixture::SetUp();
        for (const char* name : {"ShowQSWindowNotification", "HideQSWindowNotification"})
            fnd::NotificationCenter::defaultCenter().addObserver(
                this, name, [this](const fnd::Notification& n) {
                    auto* window = static_cast<QWidget*>(n.object.asPointer());
                    // Announced before it is shown, and before it goes.
                    mAnnounced.push_back(std::string(n.name) +
                                         (window && window->isVisible() ? " visible" : " hidden"));
                });
    }
    void TearDown() override {
        fnd::NotificationCenter::defaultCenter().removeObserver(this);
        EmulatorFixture::TearDown();
    }
    static QWidget* DialogWindow() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "OrvkQSUI" && window->isVisible())
                return window;
        return nullptr;
    }
    static void Press(int tag) {
        QWidget* window = DialogWindow();
        ASSERT_NE(window, nullptr);
        auto* button = appkit::viewWithTag<QAbstractButton>(window, tag);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isVisible());
        button->click();
    }

    // The scan's shields standing now.
    static int Shields() {
        int count = 0;
        for (QWidget* widget : QApplication::allWidgets())
            count += widget->objectName() == "appkit.shield" ? 1 : 0;
        return count;
    }

    appkit::QtRunLoopDriver mDriver;
    std::vector<std::string> mAnnounced;
};

TEST_F(DialogSession, ScanInTheDialogTransfersThePagesThenAsksToClose) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDS), TWRC_SUCCESS);
    EXPECT_EQ(mAnnounced, std::vector<std::string>{"ShowQSWindowNotification hidden"});
    EXPECT_FALSE(app.XferReady());
    Press(kScanButton);
    ASSERT_TRUE(app.XferReady());
    const test::SBatch batch = app.TransferReadyBatch();
    EXPECT_EQ(batch.pages.size(), 2u);
    EXPECT_EQ(batch.endedBy, "endxfer");
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.CloseRequested(); }, 2000));
    EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
    EXPECT_EQ(DialogWindow(), nullptr);
    EXPECT_EQ(mAnnounced.back(), "HideQSWindowNotification visible");
}

// The scan's shields stop input to the dialog and its palettes only while it runs: a scanner gone in
// mid-batch (its alert answered) leaves none behind.
TEST_F(DialogSession, AScannerGoneMidScanLeavesNoShieldBehind) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 4"}, {"gone@read:30"}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDS), TWRC_SUCCESS);
    QTimer answerer;
    int alerts = 0;
    int shieldsDuringTheScan = 0;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        shieldsDuringTheScan = std::max(shieldsDuringTheScan, Shields());
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "ScannerAlert" && window->isVisible()) {
                ++alerts;
                qobject_cast<QMessageBox*>(window)->buttons().front()->click();
            }
    });
    answerer.start(50);
    Press(kScanButton);
    ASSERT_TRUE(app.XferReady());
    const test::SBatch batch = app.TransferReadyBatch();
    answerer.stop();
    EXPECT_LT(batch.pages.size(), 4u);
    EXPECT_EQ(alerts, 1);
    // At least the dialog and its three palettes.
    EXPECT_GE(shieldsDuringTheScan, 4);
    EXPECT_EQ(Shields(), 0);
    EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
}

TEST_F(DialogSession, CloseInTheDialogAsksToCloseAndWithoutDialogTheSourceStillScans) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 1"}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDS), TWRC_SUCCESS);
    Press(kCloseButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.CloseRequested(); }, 2000));
    EXPECT_FALSE(app.XferReady());
    ASSERT_EQ(app.Disable(), TWRC_SUCCESS);
    const test::SBatch batch = app.Scan();
    EXPECT_EQ(batch.pages.size(), 1u);
    EXPECT_EQ(DialogWindow(), nullptr);
}

TEST_F(DialogSession, SettingsOnlyOkSavesAndSaysCloseOkay) {
    ASSERT_TRUE(StartEmulator({}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDSUIONLY), TWRC_SUCCESS);
    QWidget* window = DialogWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(appkit::viewWithTag(window, kScanButton)->isVisible());
    Press(kOkButton);
    EXPECT_TRUE(app.ClosedOkay());
    EXPECT_FALSE(app.XferReady());
    QTest::qWait(250); // the close request the window's close would have sent never comes
    EXPECT_FALSE(app.CloseRequested());
    EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(mDir / "com.orvikElectronics.k3100.plist"));
}

// What is chosen in the dialog is what the scan gives: grey pages of both sides of each sheet, A5 wide at
// 150 dpi (the default is colour, one side, Letter at 200 dpi).
TEST_F(DialogSession, ASettingChangedInTheDialogIsWhatTheNextScanDoes) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDS), TWRC_SUCCESS);
    QWidget* window = DialogWindow();
    ASSERT_NE(window, nullptr);
    QWidget* view = appkit::viewWithTag<QTabWidget>(window, 10)->currentWidget();
    auto choose = [view](int tag, const QString& title) {
        auto* popup = appkit::viewWithTag<QComboBox>(view, tag);
        ASSERT_NE(popup, nullptr);
        const int index = popup->findText(title);
        ASSERT_GE(index, 0) << title.toStdString();
        popup->setCurrentIndex(index);
        emit popup->activated(index);
    };
    choose(100, "Greyscale");
    choose(102, "A5");
    choose(103, "150 dpi");
    choose(110, "Both sides");
    Press(kScanButton);
    ASSERT_TRUE(app.XferReady());
    const test::SBatch batch = app.TransferReadyBatch();
    ASSERT_EQ(batch.pages.size(), 4u);
    for (const test::SScannedPage& page : batch.pages) {
        EXPECT_NEAR(page.width, 6992 * 150 / 1200, 30);
        EXPECT_GE(page.bytesPerRow, page.width);
        EXPECT_LT(page.bytesPerRow, 2 * page.width);
    }
    EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
}

// Preview in the advanced mode: the page comes back into the frame, zooms in and back, and the area
// drawn on it with the mouse is what the next scan gives, to the pixel (in pixels, at 200 dpi).
TEST_F(DialogSession, APreviewShowsThePageAndTheScanHasTheAreaDrawnOnIt) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 3"}));
    ASSERT_TRUE(fnd::plist::writeFile(mDir / "com.orvikElectronics.k3100.plist",
                                      fnd::Dictionary{{"SettingMode", std::int64_t{1}}}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.Set(CCAP_OVKM_UNIT, TWTY_INT32, 0), TWRC_SUCCESS);
    ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDS), TWRC_SUCCESS);
    QWidget* window = DialogWindow();
    ASSERT_NE(window, nullptr);
    QWidget* view = appkit::viewWithTag<QTabWidget>(window, 10)->currentWidget();
    auto* paper = appkit::viewWithTag<QComboBox>(view, 102);
    paper->setCurrentIndex(paper->findText("A5"));
    emit paper->activated(paper->currentIndex());
    const int narrow = window->width();
    appkit::viewWithTag<QCheckBox>(view, 182)->click();
    EXPECT_GT(window->width(), narrow);
    QWidget* frame = window->findChild<QWidget*>("previewFrameView");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(frame->isVisible());
    const QImage empty = frame->grab().toImage();

    Press(700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->grab().toImage() != empty; }, 60000)) << "no page drawn";
    auto* zoomOut = appkit::viewWithTag<QAbstractButton>(window, 702);
    EXPECT_FALSE(zoomOut->isEnabled());
    const QSize clip = frame->size();
    Press(701);
    Press(701);
    // Four times as large where the page fills the preview: across or down, as the preview's shape has
    // it on this screen.
    EXPECT_TRUE(frame->height() >= 4 * clip.height() - 1 || frame->width() >= 4 * clip.width() - 1)
        << frame->width() << "x" << frame->height() << " from " << clip.width() << "x" << clip.height();
    EXPECT_TRUE(zoomOut->isEnabled());
    Press(702);
    Press(702);
    EXPECT_EQ(frame->size(), clip);
    EXPECT_FALSE(zoomOut->isEnabled());

    const QRectF page = CalcImageFrame(QRectF(frame->rect()), QSizeF(6992, 9921), 1);
    const QPoint corner = page.bottomRight().toPoint();
    const QPoint to =
        corner - QPoint(static_cast<int>(page.width() / 3), static_cast<int>(page.height() / 4));
    QTest::mousePress(frame, Qt::LeftButton, {}, corner);
    QTest::mouseMove(frame, to);
    QTest::mouseRelease(frame, Qt::LeftButton, {}, to);
    const int width = appkit::viewWithTag<QLineEdit>(window, 185)->text().toInt();
    const int height = appkit::viewWithTag<QLineEdit>(window, 186)->text().toInt();
    EXPECT_NEAR(width, 6992 * 200 * 2 / 3 / 1200, 20);
    EXPECT_NEAR(height, 9921 * 200 * 3 / 4 / 1200, 20);

    Press(600);
    ASSERT_TRUE(app.XferReady());
    const test::SBatch batch = app.TransferReadyBatch();
    ASSERT_FALSE(batch.pages.empty());
    for (const test::SScannedPage& scanned : batch.pages) {
        EXPECT_NEAR(scanned.width, width, 1);
        EXPECT_NEAR(scanned.height, height, 1);
    }
    EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
}

// Each kept prescan is the page the host gets when it is accepted: also after a discarded one, in the
// next session of the same source, and when Preview is pressed while it is shown.
TEST_F(DialogSession, EveryKeptPrescanIsTheAcceptedPage) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 3"}));
    ASSERT_TRUE(fnd::plist::writeFile(mDir / "com.orvikElectronics.k3100.plist",
                                      fnd::Dictionary{{"SettingMode", std::int64_t{1}}}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.Set(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(app.SetInt(CCAP_OVK_PRESCAN, 1), TWRC_SUCCESS);
        ASSERT_EQ(app.EnableWithDialog(MSG_ENABLEDS), TWRC_SUCCESS);
        if (round == 0) {
            Press(600);
            Press(kCloseButton); // discards the kept page
        }
        Press(600);
        appkit::viewWithTag<QAbstractButton>(DialogWindow(), 700)->click();
        ASSERT_FALSE(app.XferReady());
        Press(kOkButton);
        ASSERT_TRUE(app.XferReady());
        const test::SBatch batch = app.TransferReadyBatch();
        ASSERT_EQ(batch.pages.size(), 1u);
        const std::vector<std::uint8_t>& pixels = batch.pages.front().pixels;
        EXPECT_NE(std::count(pixels.begin(), pixels.end(), std::uint8_t{0}), std::ptrdiff_t(pixels.size()));
        EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
    }
}

// A host without the dialog, fed continuously, with the first page to be checked: the check opens the
// dialog on the first sheet, and going on scans every sheet in the feeder, the checked one first and
// alike to the rest.
TEST_F(DialogSession, TheCheckedFirstPageOpensOnTheScreenAndGoingOnScansTheWholeFeederAlike) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 4"}));
    const QRect dialogPlace(300, 100, 460, 600);
    ASSERT_TRUE(fnd::plist::writeFile(
        mDir / "com.orvikElectronics.k3100.plist",
        fnd::Dictionary{{"SettingMode", std::int64_t{1}}, {"WindowFrame", "{{300, 100}, {460, 600}}"}}));
    test::CTwainTestApp app("Dialog Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.SetBool(CAP_DUPLEXENABLED, true), TWRC_SUCCESS);
    ASSERT_EQ(app.SetBool(CAP_AUTOFEED, true), TWRC_SUCCESS);
    ASSERT_EQ(app.Set(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ASSERT_EQ(app.SetInt(CCAP_OVK_PRESCAN, 1), TWRC_SUCCESS);
    const test::SBatch checked = app.Scan();
    EXPECT_TRUE(checked.pages.empty());
    // The check opens over the dialog's place and whole on the screen, borders and all.
    QWidget* check = DialogWindow();
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->screen()->availableGeometry().contains(check->frameGeometry()));
    EXPECT_TRUE(check->frameGeometry().intersects(dialogPlace));
    Press(600);
    ASSERT_TRUE(app.XferReady());
    const test::SBatch batch = app.TransferReadyBatch();
    ASSERT_EQ(batch.pages.size(), 8u);
    const test::SScannedPage& first = batch.pages[0];
    const test::SScannedPage& normal = batch.pages[2];
    ASSERT_EQ(first.width, normal.width);
    ASSERT_EQ(first.pixels.size(), normal.pixels.size());
    // Alike sheets give alike pages: no sample of the checked one more than 2 levels off (a tint, a streak,
    // an edge sharpened before its tone).
    int worst = 0;
    for (std::size_t i = 0; i < first.pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(first.pixels[i]) - int(normal.pixels[i])));
    EXPECT_LE(worst, 2);
    EXPECT_EQ(app.Disable(), TWRC_SUCCESS);
}

} // namespace
