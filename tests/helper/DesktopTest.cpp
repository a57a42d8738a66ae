// The helper on a desktop: its status menu driven by tags, its alert, its login item among other
// programs' autostart files, and its events on the session bus (under dbus-run-session, offscreen).
#include "DesktopPorts.h"
#include "FakePorts.h"
#include "PowerEvents.h"
#include "QtTestApp.h"
#include "StatusMenu.h"
#include "Tapwell_AboutWindow.h"
#include "Tapwell_Utility.h"

#include "Alert.h"
#include "Bundle.h"
#include "EventNames.h"
#include "EventReceiver.h"
#include "Images.h"
#include "PropertyList.h"
#include "ScopedEnv.h"
#include "Tags.h"

#include <QDBusConnection>
#include <QLabel>
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

// Settings, login items and a kept press stay in a folder of the test's own: another program running
// beside it (the desktop road, say) may keep a press in the user's runtime folder.
struct HelperDesktop : WithTestApplication, testing::Test {
    QTemporaryDir dir;
    const ScopedEnv config{"XDG_CONFIG_HOME", dir.path().toLocal8Bit().constData()};
    const ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData()};
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    fs::path autostart() const { return fs::path(dir.path().toStdString()) / "autostart"; }
};

TEST_F(HelperDesktop, StatusMenuRowsAreFoundByTagAndChosen) {
    int chosen = 0;
    MenuState state;
    state.outputCheck = true;
    StatusMenu menu([&state] { return menuRows(state, builtInJobRows(false, true)); },
                    [&chosen](int tag) { chosen = tag; });
    menu.refresh();
    QAction* job = actionWithTag(menu.menu(), kTagJobBase + 3);
    ASSERT_NE(job, nullptr);
    EXPECT_TRUE(job->isEnabled());
    job->trigger();
    EXPECT_EQ(chosen, kTagJobBase + 3);

    menu.menu()->popup(QPoint(0, 0));
    saveScreenshots(menu.menu(), "tapwell-menu");
    menu.menu()->hide();

    state.connectErr = -3;
    menu.refresh();
    EXPECT_FALSE(actionWithTag(menu.menu(), kTagJobBase - 1)->isEnabled());
    EXPECT_FALSE(actionWithTag(menu.menu(), kTagOutputCheck)->isEnabled());
    EXPECT_TRUE(actionWithTag(menu.menu(), kTagAbout)->isEnabled());
    menu.menu()->popup(QPoint(0, 0));
    saveScreenshots(menu.menu(), "tapwell-menu-scanner-busy");
    menu.menu()->hide();
}

// The application row shows the icon its .desktop file names; without one, the function's own.
TEST_F(HelperDesktop, JobRowsFromTheRecordShowTheirBadgeAndTheirProgramsIcons) {
    const fs::path icon = fnd::Bundle::main().resourceFolder() / "Caution.svg";
    const fs::path viewer = fs::path(dir.path().toStdString()) / "viewer.desktop";
    std::ofstream(viewer) << "[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\nIcon="
                          << icon.string() << "\n";
    const std::vector<JobMenuEntry> jobs{{-1, -1, -1, "", ""},
                                         {1, 1, 0, "", "Receipts to folder"},
                                         {2, -1, 1, "", "Mail to the office"},
                                         {3, -1, 2, "", "Print a copy"},
                                         {4, -1, 3, viewer.string(), "Open in the viewer"},
                                         {5, -1, 3, "/nonexistent.desktop", "Open in nothing"}};
    StatusMenu menu([&jobs] { return menuRows({}, jobRows(jobs)); }, [](int) {});
    menu.refresh();
    QAction* job = actionWithTag(menu.menu(), kTagJobBase + 1);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->text(), "Receipts to folder");
    EXPECT_FALSE(job->icon().isNull());
    const auto image = [&menu](int tag) {
        return actionWithTag(menu.menu(), tag)->icon().pixmap(16).toImage();
    };
    EXPECT_EQ(image(kTagJobBase + 4), QIcon(QString::fromStdString(icon.string())).pixmap(16).toImage());
    EXPECT_EQ(image(kTagJobBase + 5), appkit::bundleIcon("def_App_E_16").pixmap(16).toImage());
    menu.menu()->popup(QPoint(0, 0));
    saveScreenshots(menu.menu(), "tapwell-menu-jobs");
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
            saveScreenshots(alert, name);
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
    EXPECT_TRUE(pictureAndCloseAlert([] { showAlert("Err_Message"); }, "tapwell-alert-not-found"));
}

// The About window describes the main application from its information; Ctrl+W closes it and
// Ctrl+Shift+W does not.
TEST_F(HelperDesktop, AboutWindowShowsTheMainApplicationAndClosesWithCtrlW) {
    const fs::path main = fs::path(dir.path().toStdString()) / "main";
    fs::create_directories(fs::path(main.string() + ".resources"));
    fnd::Dictionary info{{"CFBundleName", std::string("Main")},
                         {"CFBundleShortVersionString", std::string("2.5")},
                         {"NSHumanReadableCopyright", std::string("Copyright line")}};
    ASSERT_TRUE(
        fnd::plist::writeFile(fs::path(main.string() + ".resources") / "Info.plist", fnd::Value(info)));
    Tapwell_AboutWindow about;
    about.awakeFromNib(fnd::Bundle(main));
    const auto text = [&about](int tag) {
        return appkit::viewWithTag<QLabel>(&about, tag)->text().toStdString();
    };
    EXPECT_EQ(text(Tapwell_AboutWindow::kNameTag), "Main");
    EXPECT_EQ(text(Tapwell_AboutWindow::kVersionTag), "2.5"); // no VXVersion: the bare version
    EXPECT_EQ(text(Tapwell_AboutWindow::kCopyrightTag), "Copyright line");
    EXPECT_FALSE(appkit::viewWithTag<QLabel>(&about, Tapwell_AboutWindow::kImageTag)->pixmap().isNull());

    about.openVersionPanel();
    QTest::keyClick(&about, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(&about, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&about] { return !about.isVisible(); }, 5000));

    about.awakeFromNib(fnd::Bundle(fnd::Bundle::main().binaryPath().parent_path() / "tollivar"));
    about.openVersionPanel();
    saveScreenshots(&about, "tapwell-about");
    about.hide();

    // No main application found: the helper's own name and version, never an empty window.
    about.awakeFromNib(fnd::Bundle(fs::path()));
    EXPECT_EQ(text(Tapwell_AboutWindow::kNameTag), *fnd::Bundle::main().infoValue("CFBundleName").asString());
    EXPECT_THAT(text(Tapwell_AboutWindow::kVersionTag), testing::StartsWith("Version "));
    EXPECT_EQ(about.windowTitle().toStdString(), text(Tapwell_AboutWindow::kNameTag));
}

// A left click on the tray icon opens the menu, filled afresh, as a right click does.
TEST_F(HelperDesktop, ALeftClickOnTheTrayIconOpensTheMenu) {
    MenuState state;
    StatusMenu menu([&state] { return menuRows(state, {}); }, [](int) {});
    menu.trayActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(menu.menu()->isVisible());
    menu.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(QTest::qWaitFor([&menu] { return menu.menu()->isVisible(); }, 5000));
    EXPECT_NE(actionWithTag(menu.menu(), kTagAbout), nullptr);
    menu.menu()->hide();
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
    Tapwell_AboutWindow about;
    const TapwellPorts ports = desktopPorts(events, items, menu, about, true);

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

// A helper run from a build tree or a staging folder leaves the login items as they are: it would
// otherwise start that copy at every log-in.
TEST_F(HelperDesktop, OnlyAnInstalledHelperTouchesTheLoginItems) {
    const TapwellAppleEvent events(std::nullopt);
    const ws::LoginItems items(kHelperId);
    StatusMenu menu([] { return std::vector<MenuRow>{}; }, [](int) {});
    Tapwell_AboutWindow about;
    const TapwellPorts ports = desktopPorts(events, items, menu, about, false);
    fs::create_directories(autostart());
    ports.loginEntry(true);
    EXPECT_FALSE(fs::exists(items.entryPath()));
    const fs::path stray = autostart() / "old-copy.desktop";
    std::ofstream(stray) << "[Desktop Entry]\nType=Application\nExec=tapwell\nX-K3100-Helper=true\n";
    ports.removeJunkLoginItems();
    EXPECT_TRUE(fs::exists(stray));

    // Installed: "<prefix>/bin/<program>" and the .desktop file in "<prefix>/share/applications".
    const fs::path prefix = fs::path(dir.path().toStdString()) / "prefix";
    const fs::path program = prefix / "bin" / "tapwell";
    fs::create_directories(prefix / "bin");
    EXPECT_FALSE(Tapwell_Utility::isInstalledProgram(program, prefix, kHelperId)); // no .desktop file
    fs::create_directories(prefix / "share/applications");
    std::ofstream(prefix / "share/applications" / (std::string(kHelperId) + ".desktop"))
        << "[Desktop Entry]\n";
    EXPECT_TRUE(Tapwell_Utility::isInstalledProgram(program, prefix, kHelperId));
    const fs::path staged = fs::path(dir.path().toStdString()) / "try/usr/local/bin/tapwell";
    EXPECT_FALSE(Tapwell_Utility::isInstalledProgram(staged, prefix, kHelperId)); // a copy elsewhere
    EXPECT_FALSE(Tapwell_Utility::isInstalledProgram(prefix / "tapwell", prefix, kHelperId));
    // This test program lies in a build tree.
    EXPECT_FALSE(Tapwell_Utility::isInstalledHelper(kHelperId));
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
    Tapwell_AboutWindow about;
    TapwellCntlr controller(desktopPorts(events, items, menu, about, false));
    controller.start();
    controller.terminateTimer(); // only the change made here: no poll of whatever scanner this machine has
    ASSERT_TRUE(controller.mainAppRunning());
    controller.checkScannerAction(-3, 0);
    // Bounds a lost event only.
    EXPECT_TRUE(QTest::qWaitFor([&received] { return !received.empty(); }, 10000));
    EXPECT_THAT(received, testing::ElementsAre("Cnct(-3,0,1)"));
}

} // namespace
} // namespace tapwell::test
