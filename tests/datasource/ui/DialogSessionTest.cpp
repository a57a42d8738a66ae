// The dialog inside a Qt host: K3100.ds loaded by the source manager, driven through DSM_Entry like any
// TWAIN application does, against the emulated scanner. The dialog's controls are found by tag.
#include "EmulatorFixture.h"
#include "NotificationCenter.h"
#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TwainTestApp.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

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

} // namespace
