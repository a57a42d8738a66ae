// Settings that cannot be written are told once, in the window: however many writes fail and from
// whichever thread, one error panel with the text from the string table, and none once the watcher ends.
#include "Alert.h"
#include "ControllerTestSupport.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvMainWindow.h"
#include "TlvSettingsWriteAlert.h"
#include "VX_Message.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <thread>

namespace {

using tlv::TlvSettingsWriteAlert;

TEST(SettingsWriteAlert, FailedWritesAreToldOnceInTheWindow) {
    test::testDriver();
    test::ScratchHome home;
    // The configuration "folder" is a file, so no settings file can be made in it, even by root.
    std::ofstream(home.dir() / "not-a-folder") << "x";
    setenv("XDG_CONFIG_HOME", (home.dir() / "not-a-folder").c_str(), 1);
    fnd::UserDefaults defaults("com.example.settingsalert");
    defaults.set("QS_AppSetting", fnd::Data{1, 2, 3});
    TlvMainCntlr cntlr(defaults);
    tlv::TlvMainWindow window(cntlr, [] {});
    cntlr.setMainView(&window);
    window.show();
    VX_Message::setDontMessageFlag(false);

    int panels = 0;
    QString shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        appkit::Alert* panel = VX_Message::currentPanel();
        if (!panel || !panel->isVisible())
            return;
        ++panels;
        shown = appkit::viewWithTag<QLabel>(panel, appkit::Alert::kInformativeTag)->text();
        saveScreenshots(panel, "alert-settings-not-saved");
        appkit::viewWithTag<QPushButton>(panel, appkit::Alert::kFirstButtonTag)->click();
    });
    poll.start(5);
    {
        TlvSettingsWriteAlert alert(defaults, cntlr.notifier());
        testing::internal::CaptureStderr();
        EXPECT_FALSE(defaults.synchronize());
        std::thread([&] { EXPECT_FALSE(defaults.synchronize()); }).join();
        EXPECT_FALSE(defaults.synchronize());
        EXPECT_NE(testing::internal::GetCapturedStderr().find("not-a-folder"), std::string::npos);
        ASSERT_TRUE(test::pumpUntil([&] { return panels > 0; }, std::chrono::seconds(20)));
        fnd::RunLoop::main().runFor(0.2);
    }
    EXPECT_FALSE(defaults.synchronize());
    fnd::RunLoop::main().runFor(0.2);
    EXPECT_EQ(panels, 1);
    EXPECT_EQ(shown, appkit::localized(TlvSettingsWriteAlert::kMessageKey));
    EXPECT_NE(shown, QString(TlvSettingsWriteAlert::kMessageKey)); // the table has the text
    cntlr.setMainView(nullptr);
}

} // namespace
