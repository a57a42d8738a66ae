// What window tests share: one QApplication per test process (offscreen, as the test environment
// sets QT_QPA_PLATFORM), and pictures of windows in <build>/screenshots/ for a person to look at.
#pragma once

#include "Bundle.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

// Keys that a test looks up on purpose, to see a missing one shown as itself.
inline std::set<std::string>& purposelyMissingTextKeys() {
    static std::set<std::string> keys;
    return keys;
}

// Fails the test program when any of its windows looked up a text key missing from its string table
// (the application's, the helper's or the dialog's): such a window shows the raw key.
struct AllTextKeysFound : testing::Environment {
    void TearDown() override {
        for (const std::string& miss : fnd::Bundle::missedKeys()) {
            const std::size_t colon = miss.rfind(": ");
            if (!purposelyMissingTextKeys().count(colon == std::string::npos ? miss : miss.substr(colon + 2)))
                ADD_FAILURE() << "text key missing from its string table: " << miss;
        }
    }
};

// Destroyed when the tests end, before the exit handlers: Qt's own statics (the test input devices)
// must still exist when it goes. K3100_QPA_PLATFORM, when set, overrides the offscreen platform that
// the test environment names (scripts/screens renders on an X server that way); K3100_FONT_PT sets the
// desktop's font size in points, as a user may.
inline QApplication& testApplication() {
    struct Teardown : testing::Environment {
        void TearDown() override { delete qApp; }
    };
    static int argc = 1;
    static char name[] = "k3100-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (const char* platform = std::getenv("K3100_QPA_PLATFORM"))
            ::setenv("QT_QPA_PLATFORM", platform, 1);
        testing::AddGlobalTestEnvironment(new Teardown);
        testing::AddGlobalTestEnvironment(new AllTextKeysFound);
        auto* app = new QApplication(argc, argv);
        if (const char* points = std::getenv("K3100_FONT_PT")) {
            QFont font = QApplication::font();
            font.setPointSizeF(std::atof(points));
            QApplication::setFont(font);
        }
        return app;
    }();
    return *app;
}

// Renders widget into <build>/screenshots/<name>.png; answers whether the file was written.
inline bool saveScreenshot(QWidget* widget, const std::string& name) {
    const char* build = std::getenv("K3100_BUILD_DIR");
    const QString dir = QString::fromUtf8(build ? build : ".") + "/screenshots";
    QDir().mkpath(dir);
    return widget->grab().save(dir + "/" + QString::fromStdString(name) + ".png");
}

inline QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1f, 0x1f, 0x1f));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x8a, 0x8a, 0x8a));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x8a, 0x8a, 0x8a));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x8a, 0x8a, 0x8a));
    // A dark desktop's bevel shades; the light default would etch disabled text in white.
    dark.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
    dark.setColor(QPalette::Midlight, QColor(0x42, 0x42, 0x42));
    dark.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    return dark;
}

// <name>.png in the desktop's palette and <name>-dark.png in a dark one; a 200 % run (QT_SCALE_FACTOR=2)
// adds "@2x" before ".png", a run with its own font size "@<points>pt".
inline void saveScreenshots(QWidget* window, const std::string& name) {
    const char* points = std::getenv("K3100_FONT_PT");
    const std::string scale = std::string(qApp->devicePixelRatio() > 1.0 ? "@2x" : "") +
                              (points ? "@" + std::string(points) + "pt" : std::string());
    EXPECT_TRUE(saveScreenshot(window, name + scale));
    const QPalette own = window->palette();
    window->setPalette(darkPalette());
    EXPECT_TRUE(saveScreenshot(window, name + "-dark" + scale));
    window->setPalette(own);
}

// A first member of a test fixture whose other members are widgets: the application comes first.
struct WithTestApplication {
    WithTestApplication() { testApplication(); }
};
