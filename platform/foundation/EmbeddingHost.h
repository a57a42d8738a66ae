// The application that carries a data source inside itself, and takes that data source's messages as the
// notification "DSM Notification" instead of through a source manager, registers here by its bundle
// identifier. The data source asks this registration, never where the program lies, how its messages
// travel: a program merely installed near a data source must still receive them through its manager.
#pragma once

#include "Export.h"

#include <string>

namespace fnd {

// Registers the running application (its bundle identifier); a later call replaces the earlier one.
FND_EXPORT void registerEmbeddingHost(std::string bundleIdentifier);
FND_EXPORT void unregisterEmbeddingHost();
// The registered identifier; empty when no application registered.
FND_EXPORT std::string embeddingHost();

} // namespace fnd
