// The progress window and the manual-feed scan panel inside a Qt host that scans through K3100.ds
// without the dialog, against the emulated scanner: what a person sees and presses while the host's
// thread is inside a TWAIN call.
#include "EmulatorFixture.h"
#include "QSCapIds.h"
#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TwainTestApp.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace {

constexpr int kAbortButton = 2;
constexpr int kScanNextButton = 800;
constexpr int kEndScanButton = 801;
constexpr int kStatusText = 802;

QWidget* VisibleWindow(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

// Counts the paint events of every window watched.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class ScanWindowsSession : public test::EmulatorFixture, public WithTestApplication {
protected:
    // Runs step every 50 ms of the host's events, also while the host waits inside a TWAIN call.
    void Watch(std::function<void()> step) {
        mWatch.setInterval(50);
        QObject::connect(&mWatch, &QTimer::timeout, step);
        mWatch.start();
    }

    void StopDuringTheScan(bool continuous);

    appkit::QtRunLoopDriver mDriver;
    QTimer mWatch;
};

// Stop pressed once the progress window has been drawn a few times: the batch ends after the sheet in
// the scanner, sheet by sheet or in a continuous feed (where the scanner reads ahead).
void ScanWindowsSession::StopDuringTheScan(bool continuous) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 12"}));
    test::CTwainTestApp app("Progress Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.SetBool(CAP_INDICATORS, true), TWRC_SUCCESS);
    ASSERT_EQ(app.SetBool(CAP_AUTOFEED, continuous), TWRC_SUCCESS);
    PaintCounter paints;
    bool pressed = false;
    bool shownModal = false;
    Watch([&] {
        QWidget* progress = VisibleWindow("ProgressWindow");
        if (!progress || pressed)
            return;
        if (paints.count == 0)
            progress->installEventFilter(&paints);
        shownModal = shownModal || QApplication::activeModalWidget() == progress;
        // Pressed once the window has been drawn a few times while the scanner worked.
        if (paints.count >= 3) {
            appkit::viewWithTag<QAbstractButton>(progress, kAbortButton)->click();
            pressed = true;
        }
    });
    const test::SBatch batch = app.Scan();
    mWatch.stop();
    EXPECT_TRUE(shownModal);
    EXPECT_GE(paints.count, 3);
    ASSERT_TRUE(pressed);
    // The sheet in the scanner is finished and delivered, the host hears that nothing more is pending,
    // and the sheets not yet fed stay in the feeder.
    EXPECT_GE(batch.pages.size(), 1u);
    EXPECT_LT(batch.pages.size(), 12u);
    EXPECT_EQ(batch.transferResult, TWRC_XFERDONE);
    ASSERT_FALSE(batch.counts.empty());
    EXPECT_EQ(batch.counts.back(), 0);
    for (const test::SScannedPage& page : batch.pages)
        EXPECT_EQ(page.pixels.size(), std::size_t{page.bytesPerRow} * page.height);
    EXPECT_EQ(VisibleWindow("ProgressWindow"), nullptr);
    // Nothing lost: the next batch brings exactly the sheets left.
    ASSERT_EQ(app.Disable(), TWRC_SUCCESS);
    const test::SBatch rest = app.Scan();
    EXPECT_EQ(batch.pages.size() + rest.pages.size(), 12u);
}

TEST_F(ScanWindowsSession, TheProgressWindowRepaintsAndItsStopEndsTheBatchAfterTheSheetUnderWay) {
    StopDuringTheScan(false);
}

TEST_F(ScanWindowsSession, AStopInAContinuousFeedKeepsThePagesReadAhead) {
    StopDuringTheScan(true);
}

TEST_F(ScanWindowsSession, AScannerFaultIsAnAlertInFrontOfTheProgressWindow) {
    // The paper jams once the first sheet is in.
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 4"}, {"jam@read:30"}));
    test::CTwainTestApp app("Alert Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.SetBool(CAP_INDICATORS, true), TWRC_SUCCESS);
    QString message;
    bool inFront = false;
    Watch([&] {
        auto* alert = qobject_cast<QMessageBox*>(VisibleWindow("ScannerAlert"));
        if (!alert)
            return;
        message = alert->text();
        inFront = alert->parentWidget() == VisibleWindow("ProgressWindow") &&
                  QApplication::activeModalWidget() == alert;
        alert->buttons().front()->click();
    });
    const test::SBatch batch = app.Scan();
    mWatch.stop();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(inFront);
    EXPECT_GE(batch.pages.size(), 1u);
    EXPECT_LT(batch.pages.size(), 4u);
    EXPECT_EQ(VisibleWindow("ProgressWindow"), nullptr);
}

TEST_F(ScanWindowsSession, ManualFeedAsksAfterEachEmptyFeederAndEndsWhenTold) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 1"}));
    test::CTwainTestApp app("Manual Feed Test");
    ASSERT_EQ(app.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app.SetInt(CCAP_OVK_MANUALFEED, 1), TWRC_SUCCESS);
    int questions = 0;
    QString waitingText;
    bool asking = false;
    Watch([&] {
        QWidget* panel = VisibleWindow("ScanPanel");
        auto* next = panel ? appkit::viewWithTag<QAbstractButton>(panel, kScanNextButton) : nullptr;
        // A question is a panel with Scan Next enabled and the panel the modal window.
        const bool asks = next && next->isEnabled() && QApplication::activeModalWidget() == panel;
        if (!asks) {
            asking = false;
            return;
        }
        if (asking)
            return;
        asking = true;
        ++questions;
        waitingText = appkit::viewWithTag<QLabel>(panel, kStatusText)->text();
        if (questions == 1) {
            EXPECT_EQ(Control("load gen:ramp-a4 1"), 0);
            next->click();
        } else {
            appkit::viewWithTag<QAbstractButton>(panel, kEndScanButton)->click();
        }
    });
    const test::SBatch batch = app.Scan();
    mWatch.stop();
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(batch.pages.size(), 2u);
    EXPECT_FALSE(waitingText.isEmpty());
    EXPECT_EQ(VisibleWindow("ScanPanel"), nullptr);
}

} // namespace
