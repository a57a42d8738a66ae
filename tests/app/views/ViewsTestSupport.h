// What the tests of the main window's widgets share: buttons made as an interface file makes them,
// and pictures at this run's scale (QT_SCALE_FACTOR=2 adds "@2x") in the desktop's palette and a dark one.
#pragma once

#include "QtTestApp.h"
#include "Tags.h"
#include "UButton.h"

#include <QPalette>

#include <string>

// A button of type B in parent with tag, from an interface file's title "TEXT!PARAM$$REST".
template <typename B = UButton> B* nibButton(QWidget* parent, int tag, const QString& nibTitle) {
    auto* button = appkit::tagged(new B(parent), tag);
    button->setText(nibTitle);
    button->awakeFromNib();
    button->resize(button->sizeHint());
    return button;
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
    return dark;
}

// <name>.png and <name>-dark.png (with "@2x" before ".png" at 200%).
inline void saveScreenshots(QWidget* window, const std::string& name) {
    const std::string scale = qApp->devicePixelRatio() > 1.0 ? "@2x" : "";
    EXPECT_TRUE(saveScreenshot(window, name + scale));
    const QPalette own = window->palette();
    window->setPalette(darkPalette());
    EXPECT_TRUE(saveScreenshot(window, name + "-dark" + scale));
    window->setPalette(own);
}
