// What every program of the product answers without starting anything: "--help" and "--version".
#pragma once

#include "Export.h"

#include <optional>
#include <string_view>

namespace fnd {

// The product's version ("1.0").
FND_EXPORT std::string_view productVersion();

// When an argument is "--help" (or "-h") or "--version": prints usage, or "<program> <version>", to
// stdout and answers the program's exit status; none for any other command line.
FND_EXPORT std::optional<int> answerInfoOption(int argc, const char* const* argv, std::string_view program,
                                               std::string_view usage);

} // namespace fnd
