// Whether the user measures in centimetres, from the locale's measurement category (LC_MEASUREMENT).
// The data source and the application decide the unit by this one rule.
#pragma once

#include "Export.h"

#include <string_view>

namespace fnd {

// localeName as in LC_ALL/LC_MEASUREMENT/LANG ("de_DE.UTF-8"). "C", "POSIX" and empty name no
// preference (false). A locale the system does not have is judged by its territory.
FND_EXPORT bool LocaleUsesMetric(std::string_view localeName);
// The effective measurement locale of the process environment.
FND_EXPORT bool UserMeasuresInCentimeters();

} // namespace fnd
