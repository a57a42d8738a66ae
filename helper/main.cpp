// tapwell: the menu-bar helper. One instance per session: a second one finds the bus name taken and
// leaves.
#include "TapwellApp.h"

#include "ProgramInfo.h"
#include "QtRunLoopDriver.h"

#include <QApplication>

#include <optional>

namespace {

constexpr char kUsage[] =
    "usage: tapwell\n"
    "  The K3100's system tray helper: the scanner's button runs a job of tollivar. Installed, it\n"
    "  keeps itself among the login items; run from a build or staging folder it leaves them alone.\n"
    "  --help, --version   print this text or the version and exit\n";

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = fnd::answerInfoOption(argc, argv, "tapwell", kUsage))
        return *status;
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    appkit::QtRunLoopDriver driver;

    tapwell::TapwellApp helper;
    if (!helper.start())
        return 0;
    QObject::connect(&application, &QApplication::aboutToQuit,
                     [&helper] { helper.applicationWillTerminate(); });
    return application.exec();
}
