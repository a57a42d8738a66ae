// Waits on the host's thread poll the scanner at a short interval and run the host's loop in between, so
// that the host's interface keeps working and the CPU rests.
#pragma once

#include "RunLoop.h"

namespace k3100 {

inline constexpr double kHostPollInterval = 0.1; // s

// One poll interval of the host's loop.
inline void PauseForHost() {
    fnd::RunLoop::current().runFor(kHostPollInterval);
}

} // namespace k3100
