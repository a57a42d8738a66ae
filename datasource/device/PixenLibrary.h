// The page library itself behind the device's ImageLibrary interface: every call goes straight to the
// library's exported functions, which share one process-wide pipeline.
#pragma once

#include "ImageLibrary.h"

namespace k3100 {

// The process's one instance; the library allows one caller at a time, which the device ensures.
ImageLibrary& PixenQS880Library();

} // namespace k3100
