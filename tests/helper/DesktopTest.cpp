// The helper on a desktop: its status menu driven by tags, its alert, its login item among other
// programs' autostart files, and its events on the session bus (under dbus-run-session, offscreen).
#include "DesktopPorts.h"
#include "FakePorts.h"
#include "PowerEvents.h"
#include "QtTestApp.h"
#include "StatusMenu.h"

#include "Alert.h"
#include "Bundle.h"
#include "EventNames.h"
#include "EventReceiver.h"
#include "Tags.h"

#include <QDBusConnection>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace tapwell::test {
namespace {

namespace fs = std::filesystem;

QAction* actionWithTag(QMenu* menu, int tag) {
    for (QAction* action : menu->actions())
        if (appkit::tagOf(action) == tag)
            return action;
    return nullptr;
}

struct HelperDesktop : WithTestApplication, testing::Test {
    QTemporaryDir dir;
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ::setenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit().constData(), 1);
    }
    fs::path autostart() const { return fs::path(dir.path().toStdString()) / "autostart"; }
};

TEST_F(HelperDesktop, StatusMenuRowsAreFoundByTagAndChosen) {
    int chosen = 0;
    MenuState state;
    state.outputCheck = true;
    StatusMenu menu([&state] { return menuRows(state, builtInJobRows()); },
                    [&chosen](int tag) { chosen = tag; });
    menu.refresh();
    QAction* job = actionWithTag(menu.menu(), kTagJobBase + 3);
    ASSERT_NE(job, nullptr);
    EXPECT_TRUE(job->isEnabled());
    job->trigger();
    EXPECT_EQ(chosen, kTagJobBase + 3);

    menu.menu()->popup(QPoint(0, 0));
    EXPECT_TRUE(saveScreenshot(menu.menu(), "tapwell-menu"));
    menu.menu()->hide();

    state.connectErr = -3;
    menu.refresh();
    EXPECT_FALSE(actionWithTag(menu.menu(), kTagJobBase - 1)->isEnabled());
    EXPECT_FALSE(actionWithTag(menu.menu(), kTagOutputCheck)->isEnabled());
    EXPECT_TRUE(actionWithTag(menu.menu(), kTagAbout)->isEnabled());
    menu.menu()->popup(QPoint(0, 0));
    EXPECT_TRUE(saveScreenshot(menu.menu(), "tapwell-menu-scanner-busy"));
    menu.menu()->hide();
}

// Pictures the alert that show() brings up and closes it with its first button.
bool pictureAndCloseAlert(const std::function<void()>& show, const std::string& name) {
    bool seen = false;
    QTimer::singleShot(0, [&seen, &name] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* alert = dynamic_cast<appkit::Alert*>(window);
            if (!alert || !alert->isVisible())
                continue;
            seen = true;
            saveScreenshot(alert, name);
            auto* ok = appkit::viewWithTag<QPushButton>(alert, appkit::Alert::kFirstButtonTag);
            if (ok)
                ok->click();
            else
                alert->close();
        }
    });
    show();
    return seen;
}

TEST_F(HelperDesktop, AlertsShowAndClose) {
    EXPECT_TRUE(pictureAndCloseAlert([] { showAlert("Err_LaunchTimeout"); }, "tapwell-alert-launch-timeout"));
    EXPECT_TRUE(pictureAndCloseAlert([] { showAbout(); }, "tapwell-about"));
}

TEST_F(HelperDesktop, SessionEndQuitsThroughTheMainLoop) {
    int quits = 0;
    PowerEvents power([] {}, [] {}, [&quits] { ++quits; });
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&quits] { return quits == 1; }, 10000));
}

TEST_F(HelperDesktop, LoginItemTouchesOnlyFilesTheHelperWrote) {
    const TapwellAppleEvent events(std::nullopt);
    const ws::LoginItems items(kHelperId);
    StatusMenu menu([] { return std::vector<MenuRow>{}; }, [](int) {});
    const TapwellPorts ports = desktopPorts(events, items, menu);

    fs::create_directories(autostart());
    const fs::path ours = items.entryPath();
    const std::string foreign = "[Desktop Entry]\nType=Application\nExec=someone-else\n";
    std::ofstream(ours) << foreign;
    std::ofstream(autostart() / "other.desktop") << foreign;
    ports.loginEntry(true);
    ports.loginEntry(false);
    ports.removeJunkLoginItems();
    std::ifstream kept(ours);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), foreign);
    EXPECT_TRUE(fs::exists(autostart() / "other.desktop"));

    fs::remove(ours);
    ports.loginEntry(true);
    EXPECT_TRUE(items.contains(fnd::Bundle::main().binaryPath()));
    fs::copy_file(ours, autostart() / "old-copy.desktop");
    ports.removeJunkLoginItems();
    EXPECT_FALSE(fs::exists(autostart() / "old-copy.desktop"));
    EXPECT_TRUE(fs::exists(ours));
    ports.loginEntry(false);
    EXPECT_FALSE(fs::exists(ours));
    EXPECT_TRUE(fs::exists(autostart() / "other.desktop"));
}

TEST_F(HelperDesktop, PollChangeReachesTheRunningApplicationOnTheBus) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run the tests under dbus-run-session";
    const QString appId = QStringLiteral("org.k3100test.tollivar.p%1").arg(::getpid());
    QDBusConnection peerBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("peer"));
    std::vector<std::string> received;
    ae::EventReceiver receiver(appId, peerBus);
    receiver.setHandler(ae::kClassQS, ae::kConnect, [&received](const ae::Event& event, ae::Parameters&) {
        received.push_back(describe(event));
    });
    ASSERT_EQ(receiver.claim(), ae::EventReceiver::Claim::Owned);

    const TapwellAppleEvent events(appId);
    const ws::LoginItems items(kHelperId);
    StatusMenu menu([] { return std::vector<MenuRow>{}; }, [](int) {});
    TapwellCntlr controller(desktopPorts(events, items, menu));
    controller.start();
    ASSERT_TRUE(controller.mainAppRunning());
    controller.checkScannerAction(-3, 0);
    // Bounds a lost event only.
    EXPECT_TRUE(QTest::qWaitFor([&received] { return !received.empty(); }, 10000));
    EXPECT_THAT(received, testing::ElementsAre("Cnct(-3,0,1)"));
    controller.terminateTimer();
}

} // namespace
} // namespace tapwell::test
