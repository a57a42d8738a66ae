// What the tests of the main window's widgets share: buttons made as an interface file makes them.
#pragma once

#include "QtTestApp.h"
#include "Tags.h"
#include "UButton.h"

#include <string>

// A button of type B in parent with tag, from an interface file's title "TEXT!PARAM$$REST".
template <typename B = UButton> B* nibButton(QWidget* parent, int tag, const QString& nibTitle) {
    auto* button = appkit::tagged(new B(parent), tag);
    button->setText(nibTitle);
    button->awakeFromNib();
    button->resize(button->sizeHint());
    return button;
}
