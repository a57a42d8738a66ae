// The values this scanner's integer settings can take: beyond them the page pipeline refuses the page, so
// an application's MSG_SET and a stored settings blob are both held to them.
#pragma once

#include <cstdint>

#include "twain.h"

// True when value is one that capId can hold; capabilities without limits take any value.
bool IsWithinCapLimits(TW_UINT16 capId, std::int32_t value);
