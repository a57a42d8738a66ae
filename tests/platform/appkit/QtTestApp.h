// What window tests share: one QApplication per test process (offscreen, as the test environment
// sets QT_QPA_PLATFORM), and pictures of windows in <build>/screenshots/ for a person to look at.
#pragma once

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdlib>
#include <string>

inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "k3100-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Renders widget into <build>/screenshots/<name>.png; answers whether the file was written.
inline bool saveScreenshot(QWidget* widget, const std::string& name) {
    const char* build = std::getenv("K3100_BUILD_DIR");
    const QString dir = QString::fromUtf8(build ? build : ".") + "/screenshots";
    QDir().mkpath(dir);
    return widget->grab().save(dir + "/" + QString::fromStdString(name) + ".png");
}
