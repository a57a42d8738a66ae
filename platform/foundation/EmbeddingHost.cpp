// One registration per process, kept in the shared foundation so that the data source, loaded later
// and from another module, sees what the application said.
#include "EmbeddingHost.h"

#include <mutex>

namespace fnd {
namespace {

std::mutex& registrationMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& registration() {
    static std::string identifier;
    return identifier;
}

} // namespace

void registerEmbeddingHost(std::string bundleIdentifier) {
    std::lock_guard lock(registrationMutex());
    registration() = std::move(bundleIdentifier);
}

void unregisterEmbeddingHost() {
    std::lock_guard lock(registrationMutex());
    registration().clear();
}

std::string embeddingHost() {
    std::lock_guard lock(registrationMutex());
    return registration();
}

} // namespace fnd
