// The string tables behind every visible text: a key is looked up in a bundle's "Localizable" table
// (the program's own by default); a key missing from the table shows as the key itself.
#pragma once

#include "Bundle.h"

#include <QString>

#include <string_view>

namespace appkit {

QString localized(std::string_view key, const fnd::Bundle& bundle = fnd::Bundle::main());

} // namespace appkit
