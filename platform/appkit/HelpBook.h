// A bundle's help book: a folder of its resources named by "CFBundleHelpBookName", opened in the
// desktop's browser at an anchor of its index page.
#pragma once

#include "Bundle.h"

#include <QString>

namespace appkit {

// False when the bundle names no book, names one outside its resources, the page is missing, or the
// desktop could not open it.
bool openHelpBook(const fnd::Bundle& bundle, const QString& anchor);

} // namespace appkit
