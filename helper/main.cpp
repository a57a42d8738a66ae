// tapwell: the menu-bar helper. One instance per session: a second one finds the bus name taken and
// leaves. Without a system tray it keeps polling and launching, and says so once.
#include "DesktopPorts.h"
#include "PowerEvents.h"
#include "StatusMenu.h"
#include "Tapwell_Utility.h"

#include "EventNames.h"
#include "EventReceiver.h"
#include "ProgramWatcher.h"
#include "QtRunLoopDriver.h"

#include <QApplication>

#include <cstdio>
#include <optional>

using namespace tapwell;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    appkit::QtRunLoopDriver driver;

    std::optional<TapwellCntlr> controller;
    ae::EventReceiver receiver(QString::fromLatin1(kHelperId));
    receiver.setHandler(ae::kClassQS, ae::kConnect, [&controller](const ae::Event& event, ae::Parameters&) {
        if (controller)
            controller->handleButtonAction(
                static_cast<std::uint32_t>(event.parameters.int32(ae::kParamStatus)),
                event.parameters.int32(ae::kParamLaunched));
    });
    const ae::EventReceiver::Claim claim = receiver.claim();
    if (claim == ae::EventReceiver::Claim::AlreadyRunning)
        return 0;
    if (claim == ae::EventReceiver::Claim::Failed)
        std::fprintf(stderr, "tapwell: no session bus; the main application cannot be told of presses\n");

    const QString mainAppId = QString::fromStdString(Tapwell_Utility::mainAppIdentifier());
    // Without the main application at start-up no event is ever sent.
    const TapwellAppleEvent events(Tapwell_Utility::getMainAppPath() ? std::optional(mainAppId)
                                                                     : std::nullopt);
    const ws::LoginItems loginItems(kHelperId);
    StatusMenu menu([&controller] { return controller->menuNeedsUpdate(); },
                    [&controller](int tag) { controller->selectedAction(tag); });
    if (!menu.hasTray())
        std::fprintf(stderr, "tapwell: no system tray; the scanner's button still starts jobs\n");

    controller.emplace(desktopPorts(events, loginItems, menu));
    ae::ProgramWatcher watcher({mainAppId});
    QObject::connect(&watcher, &ae::ProgramWatcher::launched, [&controller] { controller->didLaunchApp(); });
    QObject::connect(&watcher, &ae::ProgramWatcher::terminated,
                     [&controller] { controller->didTerminateApp(); });
    QObject::connect(&application, &QApplication::aboutToQuit,
                     [&controller] { controller->applicationWillTerminate(); });
    PowerEvents power([&controller] { controller->sleep(); }, [&controller] { controller->wakeUp(); },
                      [] { QApplication::quit(); });
    controller->start();
    return application.exec();
}
