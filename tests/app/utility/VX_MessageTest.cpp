// Alerts driven by tag, offscreen: answers, refusals, one alert at a time, panels asked for by worker
// threads, error panels and their status texts. Each alert shown is also saved as a screenshot.
#include "VX_Message.h"
#include "Alert.h"
#include "AlertAnswers.h"
#include "QtTestApp.h"
#include "Strings.h"
#include "Tags.h"
#include "VX_Exception.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

// Ends the application's loop should the awaited alert never come (a failure, not a time measurement);
// stopped with the case, so that it never ends a later case's loop.
struct LoopGuard : QTimer {
    LoopGuard() {
        setSingleShot(true);
        connect(this, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        start(10000);
    }
};

class VX_MessageTest : public testing::Test {
protected:
    void SetUp() override {
        testApplication();
        VX_Message::setDontMessageFlag(false);
        VX_Message::setStatusTextHandler([this](const QString&, const QString& text) { statusText = text; });
    }
    void TearDown() override { VX_Message::setStatusTextHandler(nullptr); }
    QString statusText;
};

TEST_F(VX_MessageTest, AQuestionAnsweredOkOrCancel) {
    whenAlertShows([](appkit::Alert& alert) {
        EXPECT_EQ(textOf(alert, appkit::Alert::kMessageTag), appkit::localized("Confirm"));
        EXPECT_EQ(textOf(alert, appkit::Alert::kInformativeTag), appkit::localized("Cnfm_JobDeleteYesOrNo"));
        // Return answers Cancel.
        EXPECT_TRUE(
            appkit::viewWithTag<QPushButton>(&alert, appkit::Alert::kFirstButtonTag + 1)->isDefault());
        saveScreenshots(&alert, "alert-question");
        click(alert, 0);
    });
    EXPECT_TRUE(VX_Message::askQuestion("Cnfm_JobDeleteYesOrNo"));

    whenAlertShows([](appkit::Alert& alert) { click(alert, 1); });
    EXPECT_FALSE(VX_Message::askQuestion("Cnfm_JobDeleteYesOrNo"));

    whenAlertShows([](appkit::Alert& alert) { QTest::keyClick(&alert, Qt::Key_Escape); });
    EXPECT_EQ(VX_Message::showPanelStyle("Confirm", "Cnfm_RestoreYesOrNo", "OK", "Cancel", nullptr, 1, 1),
              VX_Message::kSecondButton);
    EXPECT_FALSE(VX_Message::isDisplayedMessageNow());
}

TEST_F(VX_MessageTest, AQuestionCutShortByQuittingIsNotConsent) {
    // Asked from the application's own loop, as the program asks: quitting ends that loop too, and
    // only its end lets later loops run again.
    bool consent = true;
    QTimer::singleShot(0, qApp, [&] { consent = VX_Message::askQuestion("Cnfm_ReturnMainTopYesOrNo"); });
    whenAlertShows([](appkit::Alert&) { QCoreApplication::exit(0); });
    const LoopGuard guard;
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(consent);
    EXPECT_EQ(VX_Message::currentPanel(), nullptr);
}

TEST_F(VX_MessageTest, ARefusedQuestionIsNeverConsent) {
    VX_Message::setDontMessageFlag(true);
    EXPECT_EQ(VX_Message::showPanelStyle("Confirm", "Cnfm_JobDeleteYesOrNo", "OK", "Cancel", nullptr, 1, 1),
              VX_Message::kRefused);
    EXPECT_FALSE(VX_Message::askQuestion("Cnfm_JobDeleteYesOrNo"));
    EXPECT_EQ(VX_Message::currentPanel(), nullptr);
}

TEST_F(VX_MessageTest, ASecondAlertWhileOneIsUpIsRefusedAtOnce) {
    int second = 0;
    bool askedSecond = true;
    whenAlertShows([&](appkit::Alert& alert) {
        // A notice offers no choice: titled by its kind, as the data source's dialog titles it.
        EXPECT_EQ(textOf(alert, appkit::Alert::kMessageTag), appkit::localized("Information"));
        second = VX_Message::showPanelMsgKeyIsCritical("Error", "Err_NoSelectedJob", "OK", nullptr, true);
        askedSecond = VX_Message::askQuestion("Cnfm_ScanCancelYesOrNo");
        EXPECT_EQ(VX_Message::currentPanel(), &alert);
        click(alert, 0);
    });
    EXPECT_EQ(VX_Message::showPanelMsgKeyIsCritical("Confirm", "Cnfm_BackUpSuccess", "OK", nullptr, false),
              VX_Message::kFirstButton);
    EXPECT_EQ(second, VX_Message::kRefused);
    EXPECT_FALSE(askedSecond);
}

TEST_F(VX_MessageTest, ReturnGoesWhereTheStyleFormSays) {
    // Two buttons and defBtnType 2: Return on the first.
    whenAlertShows([](appkit::Alert& alert) {
        EXPECT_TRUE(alert.buttons().at(0)->isDefault());
        EXPECT_FALSE(alert.buttons().at(1)->isDefault());
        QTest::keyClick(&alert, Qt::Key_Return);
    });
    EXPECT_EQ(VX_Message::showPanelStyle("Confirm", "Cnfm_RestoreYesOrNo", "OK", "Cancel", nullptr, 1, 2),
              VX_Message::kFirstButton);

    whenAlertShows([](appkit::Alert& alert) {
        EXPECT_EQ(alert.buttons().size(), 3);
        saveScreenshots(&alert, "alert-three-buttons");
        click(alert, 2);
    });
    EXPECT_EQ(
        VX_Message::showPanelStyle("Confirm", "Cnfm_JobMailSizeOverYesOrNo", "OK", "Cancel", "Error", 0, 0),
        VX_Message::kThirdButton);
}

TEST_F(VX_MessageTest, APanelAskedForByAWorkerThread) {
    QString shownText;
    whenAlertShows([&](appkit::Alert& alert) {
        shownText = textOf(alert, appkit::Alert::kInformativeTag);
        saveScreenshots(&alert, "alert-notice");
        click(alert, 0);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    });
    std::thread worker([] {
        // The key's storage is gone before the main thread shows the panel.
        auto key = std::make_unique<std::string>("Cnfm_RestoreSuccess");
        VX_Message::PanelRequest request =
            VX_Message::paramShowPanel("Confirm", key->c_str(), "OK", nullptr, false);
        key.reset();
        VX_Message::performShowPanelOnMainThread(std::move(request));
    });
    const LoopGuard guard;
    EXPECT_EQ(QApplication::exec(), 0);
    worker.join();
    EXPECT_EQ(shownText, appkit::localized("Cnfm_RestoreSuccess"));
}

TEST_F(VX_MessageTest, ErrorPanelsAndTheirStatusTexts) {
    whenAlertShows([](appkit::Alert& alert) {
        EXPECT_EQ(alert.alertStyle(), appkit::Alert::Style::Critical);
        EXPECT_EQ(alert.buttons().size(), 1);
        auto* icon = appkit::viewWithTag<QLabel>(&alert, appkit::Alert::kIconTag);
        EXPECT_FALSE(icon->pixmap().isNull()); // our own picture, drawn from the bundle's SVG
        saveScreenshots(&alert, "alert-error");
        click(alert, 0);
    });
    EXPECT_FALSE(VX_Message::showErrorPanel(std::make_exception_ptr(VX_Exception("Err_NotFoundFile"))));
    EXPECT_EQ(statusText, appkit::localized("Err_NotFoundFile"));

    purposelyMissingTextKeys().insert("Err_NoSuchKeyInTheTable");
    whenAlertShows([](appkit::Alert& alert) {
        EXPECT_EQ(textOf(alert, appkit::Alert::kInformativeTag), "Err_NoSuchKeyInTheTable");
        click(alert, 0);
    });
    VX_Message::showErrorPanel("Err_NoSuchKeyInTheTable");

    whenAlertShows([](appkit::Alert& alert) { click(alert, 0); });
    EXPECT_TRUE(VX_Message::showErrorPanel(std::make_exception_ptr(std::bad_alloc())));
    EXPECT_EQ(statusText, appkit::localized("Err_MemFullError"));

    // An alert with advice after what happened puts only what happened on the status line.
    whenAlertShows([](appkit::Alert& alert) { click(alert, 0); });
    VX_Message::showErrorPanel("Err_ScanEndedAfterPage", nullptr, {"Scanning stopped.", "2", "2"});
    EXPECT_EQ(statusText, "Scanning stopped.");

    statusText.clear();
    EXPECT_FALSE(VX_Message::showErrorPanel("NoErr_OnlyThrow"));
    EXPECT_TRUE(statusText.isEmpty());
    EXPECT_FALSE(VX_Message::showErrorPanel("Flg_MailSizeOver"));
    EXPECT_EQ(VX_Message::currentPanel(), nullptr);
    EXPECT_EQ(statusText, appkit::localized("Err_MailSizeOver"));
}

TEST_F(VX_MessageTest, AnAlertOverAWindowLeavesTheWindowAsItWas) {
    QWidget window;
    window.setWindowModality(Qt::NonModal);
    window.show();
    const Qt::WindowFlags flags = window.windowFlags();
    whenAlertShows([&](appkit::Alert& alert) {
        EXPECT_EQ(alert.windowHandle()->transientParent(), window.windowHandle());
        click(alert, 0);
    });
    EXPECT_EQ(VX_Message::showPanelMsgKey("Error", "Err_PrintFailed", "OK", nullptr, nullptr, &window),
              VX_Message::kFirstButton);
    EXPECT_EQ(window.windowFlags(), flags);
    EXPECT_TRUE(window.isVisible());
}

} // namespace
