// The name is taken first, so that a second helper leaves before it touches the button, the tray or
// the login item. Without a system tray the helper keeps polling and launching, and says so once.
#include "TapwellApp.h"

#include "DesktopPorts.h"
#include "Tapwell_Utility.h"

#include "EventNames.h"

#include <QApplication>
#include <QDBusConnection>

#include <cstdio>

namespace tapwell {

TapwellApp::TapwellApp() : receiver_(QString::fromLatin1(kHelperId)) {
    receiver_.setHandler(ae::kClassQS, ae::kConnect, [this](const ae::Event& event, ae::Parameters&) {
        if (controller_)
            controller_->handleButtonAction(
                static_cast<std::uint32_t>(event.parameters.int32(ae::kParamStatus)),
                event.parameters.int32(ae::kParamLaunched));
    });
}

TapwellApp::~TapwellApp() = default;

bool TapwellApp::start() {
    const ae::EventReceiver::Claim claim = receiver_.claim();
    if (claim == ae::EventReceiver::Claim::AlreadyRunning)
        return false;
    if (claim == ae::EventReceiver::Claim::Failed)
        std::fprintf(stderr, "tapwell: no session bus; the main application cannot be told of presses\n");
    else
        watchTheBus();

    const QString mainAppId = QString::fromStdString(Tapwell_Utility::mainAppIdentifier());
    const std::optional<std::filesystem::path> mainApp = Tapwell_Utility::getMainAppPath();
    // Without the main application at start-up no event is ever sent.
    events_.emplace(mainApp ? std::optional(mainAppId) : std::nullopt);
    loginItems_.emplace(kHelperId);
    menu_ = std::make_unique<StatusMenu>([this] { return controller_->menuNeedsUpdate(); },
                                         [this](int tag) { controller_->selectedAction(tag); });
    if (!menu_->hasTray())
        std::fprintf(stderr, "tapwell: no system tray; the scanner's button still starts jobs\n");

    about_ = std::make_unique<Tapwell_AboutWindow>();
    about_->awakeFromNib(fnd::Bundle(mainApp ? *mainApp : std::filesystem::path()));

    const bool installed = Tapwell_Utility::isInstalledHelper(kHelperId);
    if (!installed)
        std::fprintf(stderr,
                     "tapwell: not run from where it is installed; the login items stay as they are\n");
    controller_.emplace(desktopPorts(*events_, *loginItems_, *menu_, *about_, installed));
    watcher_ = std::make_unique<ae::ProgramWatcher>(QStringList{mainAppId});
    QObject::connect(watcher_.get(), &ae::ProgramWatcher::launched, [this] { controller_->didLaunchApp(); });
    QObject::connect(watcher_.get(), &ae::ProgramWatcher::terminated,
                     [this] { controller_->didTerminateApp(); });
    power_ = std::make_unique<PowerEvents>([this] { controller_->sleep(); },
                                           [this] { controller_->wakeUp(); }, [] { QApplication::quit(); });
    controller_->start();
    return true;
}

// The helper belongs to its session: when the session's bus goes, a press could only start the main
// application into a session that is gone, so the helper ends with it.
void TapwellApp::watchTheBus() {
    busWatch_.setInterval(kBusWatchInterval);
    QObject::connect(&busWatch_, &QTimer::timeout, [] {
        if (QDBusConnection::sessionBus().isConnected())
            return;
        std::fprintf(stderr, "tapwell: the session bus has ended; so does the helper\n");
        QApplication::quit();
    });
    busWatch_.start();
}

void TapwellApp::applicationWillTerminate() {
    if (controller_)
        controller_->applicationWillTerminate();
}

} // namespace tapwell
