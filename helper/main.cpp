// tapwell: the menu-bar helper. One instance per session: a second one finds the bus name taken and
// leaves.
#include "TapwellApp.h"

#include "QtRunLoopDriver.h"

#include <QApplication>

int main(int argc, char** argv) {
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
