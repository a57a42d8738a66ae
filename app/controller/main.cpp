// tollivar: the desktop application. One instance per session: a second start hands its request (bring
// the window to the front) to the first over the session bus and exits. Quits that cannot be refused
// (SIGTERM, SIGINT, the end of the desktop session) stop the scanner after the sheet under way, write
// every page of the sheets it took (within a bound) and then run the same shut-down saves as a normal
// quit.
#include "Bundle.h"
#include "EventNames.h"
#include "EventReceiver.h"
#include "EventSender.h"
#include "ProgramInfo.h"
#include "QtRunLoopDriver.h"
#include "TlvAppleEventLink.h"
#include "TlvDeviceCntlr.h"
#include "TlvJobs.h"
#include "TlvMainCntlr.h"
#include "TlvMainWindow.h"
#include "TlvScanSettingCntlr.h"
#include "TlvScanViewCntlr.h"
#include "TlvSettingsWriteAlert.h"
#include "TlvUtilsMethod.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char kTollivarId[] = "com.orvikElectronics.tollivar";
constexpr char kUsage[] =
    "usage: tollivar\n"
    "  The K3100's desktop application: scans and saves, mails, prints or hands on the pages. A second\n"
    "  start brings the first one's window to the front.\n"
    "  --help, --version   print this text or the version and exit\n";

int sSignalPipe[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGTERM, SIGINT};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(sSignalPipe[1], &byte, 1);
    // Either signal next ends the program, whichever came first.
    for (const int quit : kQuitSignals)
        std::signal(quit, SIG_DFL);
}

// SIGTERM and SIGINT arrive on the main loop through a socket pair; the handler only writes a byte. It
// then gives way, as twainscan's does to a second Ctrl-C: while the pages are written, a second signal
// ends the program at once (the documents being written have no name yet, so none is left half
// written).
void catchQuitSignals(QObject* owner, std::function<void()> forcedQuit) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sSignalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(sSignalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, forcedQuit] {
        char byte = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(sSignalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        forcedQuit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int quit : kQuitSignals)
        sigaction(quit, &action, nullptr);
}

// The first instance takes over: it brings its window to the front.
int handToFirstInstance() {
    ae::Event event{ae::kClassQS, ae::kActivateWindow, {}};
    event.parameters.setInt32(ae::kParam, 1);
    return ae::EventSender(kTollivarId).post(event) == ae::SendStatus::Ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = fnd::answerInfoOption(argc, argv, "tollivar", kUsage))
        return *status;
    QApplication app(argc, argv);
    appkit::QtRunLoopDriver driver;
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();

    TlvMainCntlr cntlr(defaults);
    // Program tests shorten the wait before the automatic quit after a helper's job.
    if (const char* delay = std::getenv("K3100_AUTO_CLOSE_DELAY"); delay && std::isfinite(std::atof(delay)))
        cntlr.setAutoCloseDelay(std::clamp(std::atof(delay), 0.0, TlvMainCntlr::kAutoCloseDelay));
    tlv::TlvMainWindow window(cntlr, [] { QApplication::quit(); });
    cntlr.setMainView(&window);
    tlv::TlvSettingsWriteAlert settingsAlert(defaults, cntlr.notifier());
    tlv::TlvAppleEventLink link(cntlr, &window, defaults);
    const auto saveForQuit = [&link, &cntlr] {
        link.saveAppSettingForLogin();
        cntlr.applicationWillTerminate();
    };
    // exit, not quit: Qt's quit first asks the windows to close, and a window in the middle of a batch
    // refuses, which a signal or the end of the session must not allow. A scanner given up on may still
    // hold this thread inside its data source, which could not be closed either: what was written is
    // saved and the program ends there. Caught before the name is claimed, since whoever sees the
    // program on the bus may stop it at once.
    const auto forcedQuit = [&cntlr, &saveForQuit] {
        cntlr.cancelForForcedQuit([] { QCoreApplication::exit(0); },
                                  [&saveForQuit] {
                                      saveForQuit();
                                      std::_Exit(0);
                                  });
    };
    catchQuitSignals(&app, forcedQuit);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&](QSessionManager&) { forcedQuit(); });
    ae::EventReceiver receiver(kTollivarId);
    link.setAppleEvent(receiver);
    // The handlers act from the main loop, which runs only once the scan session below exists.
    const ae::EventReceiver::Claim claim = receiver.claim();
    if (claim == ae::EventReceiver::Claim::AlreadyRunning) {
        cntlr.setMainView(nullptr);
        return handToFirstInstance();
    }
    if (claim == ae::EventReceiver::Claim::Failed)
        std::fprintf(stderr, "tollivar: no session bus; running without the helper's events\n");
    tlv::TlvAppleEventLink::launchTaskApp();

    TlvDeviceCntlr device(cntlr, fnd::Bundle::main().info());
    TlvScanViewCntlr scanView(cntlr, &device);
    cntlr.setScanCntlrs(&scanView, &device);
    TlvScanSettingCntlr scanSettings(cntlr, &device);
    window.setScanSettingsOpener([&scanSettings] { scanSettings.runModalScnSttng(); });
    tlv::TlvJobs jobs(cntlr, cntlr.functionViewCntlr(), &scanSettings);
    window.attachJobs(jobs);
    cntlr.setJobs(&jobs);
    // The helper's menu reads this record while the program is not running: current from the start,
    // not only from the first quit.
    link.saveAppSettingForLogin();

    // Nothing of an earlier run is left.
    cntlr.releaseImgInfoArray(false);
    TlvUtilsMethod::removeTmpFolder();

    window.show();
    const int status = QApplication::exec();

    saveForQuit();
    cntlr.setJobs(nullptr);
    window.setScanSettingsOpener(nullptr);
    cntlr.setScanCntlrs(nullptr, nullptr);
    cntlr.setMainView(nullptr);
    return status;
}
