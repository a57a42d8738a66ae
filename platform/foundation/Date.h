// A point in time as seconds since 1970-01-01 UTC; property lists store it with its own epoch and
// the conversion happens only at that boundary.
#pragma once

#include "Export.h"

#include <compare>

namespace fnd {

struct FND_EXPORT Date {
    double secondsSince1970 = 0.0;

    static Date now();
    friend auto operator<=>(const Date&, const Date&) = default;
};

} // namespace fnd
