// The measurement system comes from the environment's locale without touching the process's global
// locale (the data source lives inside someone else's program): the C library answers for installed
// locales, and the territory decides for the rest, since only three countries measure in inches.
#include "MeasurementUnits.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace {

constexpr char kMetricByLibrary = 1;

std::string_view Territory(std::string_view name) {
    const std::size_t underscore = name.find('_');
    if (underscore == std::string_view::npos)
        return {};
    name.remove_prefix(underscore + 1);
    return name.substr(0, name.find_first_of(".@"));
}

} // namespace

namespace fnd {

bool LocaleUsesMetric(std::string_view localeName) {
    if (localeName.empty() || localeName == "C" || localeName == "POSIX" || localeName.starts_with("C."))
        return false;
    const std::string name(localeName);
    if (locale_t locale = newlocale(LC_MEASUREMENT_MASK, name.c_str(), static_cast<locale_t>(nullptr))) {
        const char* measurement = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, locale);
        const bool metric = measurement && measurement[0] == kMetricByLibrary;
        freelocale(locale);
        return metric;
    }
    const std::string_view territory = Territory(localeName);
    return !territory.empty() && territory != "US" && territory != "LR" && territory != "MM";
}

bool UserMeasuresInCentimeters() {
    for (const char* variable : {"LC_ALL", "LC_MEASUREMENT", "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value)
            return LocaleUsesMetric(value);
    }
    return false;
}

} // namespace fnd
