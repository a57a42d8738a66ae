// Settings that cannot be written are told once, in the window: however many writes fail and from
// whichever thread, one error panel with the text from the string table; none after the watcher ends.
#include "Alert.h"
#include "ControllerTestSupport.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvMainWindow.h"
#include "TlvSettingsWriteAlert.h"
#include "UserDefaults.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <thread>

namespace {

using tlv::TlvSettingsWriteAlert;

class SettingsWriteAlert : public ::testing::Test {
protected:
    void SetUp() override {
        test::testDriver();
        // The configuration "folder" is a file, so no settings file can be made in it, even by root.
        const auto blocker = home.dir() / "not-a-folder";
        std::ofstream(blocker) << "x";
        setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
        defaults = std::make_unique<fnd::UserDefaults>("com.example.settingsalert");
        defaults->set("QS_AppSetting", fnd::Data{1, 2, 3});
    }

    test::ScratchHome home;
    std::unique_ptr<fnd::UserDefaults> defaults;
};

TEST_F(SettingsWriteAlert, FailedWritesAreToldOnceInTheWindow) {
    test::FakeMainView view;
    {
        TlvSettingsWriteAlert alert(*defaults, view);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(defaults->synchronize());
        std::thread([&] { EXPECT_FALSE(defaults->synchronize()); }).join();
        EXPECT_FALSE(defaults->synchronize());
        EXPECT_NE(testing::internal::GetCapturedStderr().find("not-a-folder"), std::string::npos);
        EXPECT_TRUE(view.errors.empty()); // not inside the failing call
        ASSERT_TRUE(test::pumpUntil([&] { return !view.errors.empty(); }, std::chrono::seconds(10)));
        fnd::RunLoop::main().runFor(0.05);
        EXPECT_EQ(view.errors, std::vector<std::string>{TlvSettingsWriteAlert::kMessageKey});
    }
    EXPECT_FALSE(defaults->synchronize());
    fnd::RunLoop::main().runFor(0.05);
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(SettingsWriteAlert, TheWindowShowsTheTextAsAnErrorPanel) {
    TlvMainCntlr cntlr(*defaults);
    tlv::TlvMainWindow window(cntlr, [] {});
    cntlr.setMainView(&window);
    window.show();
    TlvSettingsWriteAlert alert(*defaults, window);
    VX_Message::setDontMessageFlag(false);
    QString shown;
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, poll, [&shown, poll] {
        appkit::Alert* panel = VX_Message::currentPanel();
        if (!panel || !panel->isVisible())
            return;
        poll->stop();
        auto* text = appkit::viewWithTag<QLabel>(panel, appkit::Alert::kInformativeTag);
        shown = text ? text->text() : QString("<none>");
        EXPECT_TRUE(saveScreenshot(panel, "alert-settings-not-saved"));
        auto* ok = appkit::viewWithTag<QPushButton>(panel, appkit::Alert::kFirstButtonTag);
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    poll->start(5);
    EXPECT_FALSE(defaults->synchronize());
    ASSERT_TRUE(test::pumpUntil([&] { return !shown.isEmpty(); }, std::chrono::seconds(20)));
    EXPECT_EQ(shown, appkit::localized(TlvSettingsWriteAlert::kMessageKey));
    EXPECT_NE(shown, QString(TlvSettingsWriteAlert::kMessageKey)); // the table has the text
    cntlr.setMainView(nullptr);
}

} // namespace
