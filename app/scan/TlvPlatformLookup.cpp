// The look-up in force is one process-wide pointer, read on every model construction.
#include "TlvPlatformLookup.h"

#include "TlvSystemLookup.h"

#include <atomic>

namespace {
std::atomic<const TlvPlatformLookup*> sLookup{nullptr};
}

const TlvPlatformLookup& TlvPlatformLookup::shared() {
    if (const TlvPlatformLookup* lookup = sLookup.load())
        return *lookup;
    static const TlvSystemLookup system;
    return system;
}

void TlvPlatformLookup::setShared(const TlvPlatformLookup* lookup) {
    sLookup.store(lookup);
}
