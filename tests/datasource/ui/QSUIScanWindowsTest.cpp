// The progress window and the scan panel on their own: the abort request, the panel's answers, which
// windows take input during each session, the announcements, and pictures of both windows.
#include "QSUIScanWindows.h"
#include "NotificationCenter.h"
#include "QSDataSource.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

using Windows = QSUIScanWindows;

class QSUIScanWindowsTest : public ::testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        ASSERT_NE(mWindows.progressWindow(), nullptr);
        ASSERT_NE(mWindows.scanPanel(), nullptr);
    }
    // Through the window system, where a modal window blocks the others.
    static void ClickWidget(QWidget* widget) {
        QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(widget->window(), widget->rect().center()));
    }
    static void Click(QWidget* window, int tag) {
        auto* button = appkit::viewWithTag<QAbstractButton>(window, tag);
        ASSERT_NE(button, nullptr);
        ClickWidget(button);
    }
    test::QSEnvironment mEnvironment; // before the windows: it says where their files are
    Windows mWindows;
};

TEST_F(QSUIScanWindowsTest, StopAsksForAnAbortUntilTheWindowIsShownAnew) {
    mWindows.showProgressWindow();
    EXPECT_FALSE(mWindows.idleProgress());
    Click(mWindows.progressWindow(), Windows::kAbortButtonTag);
    EXPECT_TRUE(mWindows.idleProgress());
    // A callback to the host in between does not forget the request.
    mWindows.suspendProgressWindow();
    EXPECT_TRUE(mWindows.progressWindow()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    mWindows.resumeProgressWindow();
    EXPECT_TRUE(mWindows.idleProgress());
    mWindows.hideProgressWindow();
    mWindows.showProgressWindow();
    EXPECT_FALSE(mWindows.idleProgress());
}

TEST_F(QSUIScanWindowsTest, DuringTheProgressSessionOnlyOurWindowsTakeClicks) {
    QPushButton host(QStringLiteral("Host"));
    int hostClicks = 0;
    QObject::connect(&host, &QPushButton::clicked, [&] { ++hostClicks; });
    host.show();
    mWindows.updateScanPanel(Windows::kScanNextEnabled | Windows::kStopEnabled | Windows::kStatusScanning);
    mWindows.showScanPanel();
    mWindows.showProgressWindow();
    ClickWidget(&host);
    Click(mWindows.scanPanel(), Windows::kStopButtonTag);
    EXPECT_EQ(hostClicks, 0);
    EXPECT_EQ(mWindows.scanPanelStatus(), Windows::kStopPressed);
    // While the host handles a callback it is the host's turn.
    mWindows.suspendProgressWindow();
    ClickWidget(&host);
    EXPECT_EQ(hostClicks, 1);
}

TEST_F(QSUIScanWindowsTest, TheWaitForTheNextBatchAnswersWithTheLastButtonAndStopWins) {
    mWindows.showProgressWindow();
    mWindows.showScanPanel();
    mWindows.updateScanPanel(Windows::kScanNextEnabled | Windows::kStopEnabled);
    const QString waiting =
        appkit::viewWithTag<QLabel>(mWindows.scanPanel(), Windows::kStatusTextTag)->text();
    const std::intptr_t session = mWindows.beginScanPanelModalSession();
    EXPECT_EQ(QApplication::activeModalWidget(), mWindows.scanPanel());
    // The progress window stays in sight and takes nothing meanwhile.
    EXPECT_TRUE(mWindows.progressWindow()->isVisible());
    Click(mWindows.progressWindow(), Windows::kAbortButtonTag);
    EXPECT_FALSE(mWindows.abortRequested());
    Click(mWindows.scanPanel(), Windows::kScanNextButtonTag);
    EXPECT_EQ(mWindows.scanPanelStatus(), Windows::kScanNextPressed);
    Click(mWindows.scanPanel(), Windows::kStopButtonTag);
    EXPECT_EQ(mWindows.scanPanelStatus(), Windows::kStopPressed);
    mWindows.endScanPanelModalSession(session);
    mWindows.resumeProgressWindow();
    Click(mWindows.progressWindow(), Windows::kAbortButtonTag);
    EXPECT_TRUE(mWindows.abortRequested());
    // The next wait starts without an answer, and the status line tells scanning from waiting.
    mWindows.endScanPanelModalSession(mWindows.beginScanPanelModalSession());
    EXPECT_EQ(mWindows.scanPanelStatus(), Windows::kNoButtonPressed);
    mWindows.updateScanPanel(Windows::kStopEnabled | Windows::kStatusScanning);
    EXPECT_NE(appkit::viewWithTag<QLabel>(mWindows.scanPanel(), Windows::kStatusTextTag)->text(), waiting);
    EXPECT_FALSE(appkit::viewWithTag(mWindows.scanPanel(), Windows::kScanNextButtonTag)->isEnabled());
}

TEST_F(QSUIScanWindowsTest, WhileADeviceAlertIsUpThePanelTakesNoInput) {
    mWindows.showProgressWindow();
    mWindows.showScanPanel();
    mWindows.updateScanPanel(Windows::kScanNextEnabled | Windows::kStopEnabled);
    mWindows.setScanPanelWorksWhenModal(false);
    Click(mWindows.scanPanel(), Windows::kStopButtonTag);
    EXPECT_EQ(mWindows.scanPanelStatus(), Windows::kNoButtonPressed);
    mWindows.setScanPanelWorksWhenModal(true);
    Click(mWindows.scanPanel(), Windows::kStopButtonTag);
    EXPECT_EQ(mWindows.scanPanelStatus(), Windows::kStopPressed);
}

TEST_F(QSUIScanWindowsTest, ThePanelIsLeftAloneWhileAnotherWindowIsModal) {
    mWindows.showScanPanel();
    QWidget alert;
    alert.setWindowModality(Qt::ApplicationModal);
    alert.show();
    QElapsedTimer clock;
    clock.start();
    mWindows.idleScanPanel();
    EXPECT_LT(clock.elapsed(), appkit::ModalSession::kSliceMs / 2);
    alert.hide();
    clock.restart();
    mWindows.idleScanPanel();
    EXPECT_GE(clock.elapsed(), appkit::ModalSession::kSliceMs / 2);
}

TEST_F(QSUIScanWindowsTest, ThePanelIsAnnouncedBeforeItShowsAndBeforeItGoes) {
    std::vector<std::string> announced;
    fnd::NotificationCenter::defaultCenter().addObserver(
        this, "ShowQSWindowNotification", [&](const fnd::Notification& n) {
            announced.push_back(n.object.asPointer() == mWindows.scanPanel() ? "show panel" : "show other");
        });
    fnd::NotificationCenter::defaultCenter().addObserver(
        this, "HideQSWindowNotification", [&](const fnd::Notification& n) {
            const bool visible = mWindows.scanPanel()->isVisible();
            announced.push_back(n.object.asPointer() == mWindows.scanPanel() && visible ? "hide visible panel"
                                                                                        : "hide other");
        });
    mWindows.showScanPanel();
    mWindows.showScanPanel();
    mWindows.hideScanPanel();
    mWindows.hideScanPanel();
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
    EXPECT_EQ(announced, (std::vector<std::string>{"show panel", "hide visible panel"}));
}

TEST_F(QSUIScanWindowsTest, Screenshots) {
    const std::string scale = qApp->devicePixelRatio() > 1.0 ? "@2x" : "";
    mWindows.showProgressWindow();
    mWindows.progressWindow()->adjustSize();
    QTest::qWait(20);
    EXPECT_TRUE(saveScreenshot(mWindows.progressWindow(), "ds-progress-window" + scale));
    mWindows.showScanPanel();
    mWindows.updateScanPanel(Windows::kScanNextEnabled | Windows::kStopEnabled);
    mWindows.scanPanel()->adjustSize();
    QTest::qWait(20);
    EXPECT_TRUE(saveScreenshot(mWindows.scanPanel(), "ds-scan-panel" + scale));
}

} // namespace
