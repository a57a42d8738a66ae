// What writing the settings met is told in the window: settings that cannot be written once, however
// many writes fail and from whichever thread; each damaged file set aside once. Nothing once the watcher
// ends.
#include "Alert.h"
#include "ControllerTestSupport.h"
#include "PreferencesFile.h"
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

// A damaged settings file is set aside at its next write and the user is told so once, in the window,
// with the file and where it is kept: the application's own through its defaults, the scanner's own
// through the file the data source keeps (it sets the damaged one aside the same way).
TEST(SettingsWriteAlert, ADamagedSettingsFileSetAsideIsToldOnceInTheWindow) {
    test::testDriver();
    test::ScratchHome home;
    setenv("XDG_CONFIG_HOME", home.dir().c_str(), 1);
    const std::filesystem::path own = home.dir() / "com.example.damaged.plist";
    std::ofstream(own) << "<plist><dict><key>QS_AppSetting</key>";
    fnd::UserDefaults defaults("com.example.damaged");
    TlvMainCntlr cntlr(defaults);
    tlv::TlvMainWindow window(cntlr, [] {});
    cntlr.setMainView(&window);
    window.show();
    VX_Message::setDontMessageFlag(false);

    std::vector<QString> shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        appkit::Alert* panel = VX_Message::currentPanel();
        if (!panel || !panel->isVisible())
            return;
        shown.push_back(appkit::viewWithTag<QLabel>(panel, appkit::Alert::kInformativeTag)->text());
        if (shown.size() == 1)
            saveScreenshots(panel, "alert-settings-set-aside");
        appkit::viewWithTag<QPushButton>(panel, appkit::Alert::kFirstButtonTag)->click();
    });
    poll.start(5);
    const std::filesystem::path scanner = home.dir() / "com.orvikElectronics.k3100.plist";
    {
        TlvSettingsWriteAlert alert(defaults, cntlr.notifier());
        defaults.set("QS_AppSetting", fnd::Data{1, 2, 3});
        testing::internal::CaptureStderr();
        EXPECT_TRUE(defaults.synchronize());
        EXPECT_TRUE(defaults.synchronize()); // the file is sound now
        ASSERT_TRUE(test::pumpUntil([&] { return shown.size() == 1; }, std::chrono::seconds(20)));

        std::ofstream(scanner) << "not a property list";
        std::thread([&] { fnd::PreferencesFile(scanner).save(); }).join();
        ASSERT_TRUE(test::pumpUntil([&] { return shown.size() == 2; }, std::chrono::seconds(20)));
        EXPECT_NE(testing::internal::GetCapturedStderr().find(".damaged"), std::string::npos);
        fnd::RunLoop::main().runFor(0.2);
    }
    std::ofstream(scanner) << "damaged again, with nobody watching";
    fnd::PreferencesFile(scanner).save();
    fnd::RunLoop::main().runFor(0.2);
    ASSERT_EQ(shown.size(), 2u);
    const auto text = [](const std::filesystem::path& file) {
        std::filesystem::path aside = file;
        aside += ".damaged";
        return appkit::localized(TlvSettingsWriteAlert::kSetAsideKey)
            .arg(QString::fromStdString(file.string()), QString::fromStdString(aside.string()));
    };
    EXPECT_EQ(shown[0], text(own));
    EXPECT_EQ(shown[1], text(scanner));
    EXPECT_NE(appkit::localized(TlvSettingsWriteAlert::kSetAsideKey), TlvSettingsWriteAlert::kSetAsideKey);
    cntlr.setMainView(nullptr);
}

} // namespace
