// Images of our own, from a bundle's resource folder: "<name>.svg" (drawn at any size) or "<name>.png".
#pragma once

#include "Bundle.h"

#include <QIcon>
#include <QPixmap>

#include <string_view>

namespace appkit {

// The bundle's image of that name; a null icon when it has none.
QIcon bundleIcon(std::string_view name, const fnd::Bundle& bundle = fnd::Bundle::main());

// base at size x size with badge in its lower right quarter, as alerts mark a critical message.
QPixmap badgedPixmap(const QIcon& base, const QIcon& badge, int size);

} // namespace appkit
