// A module loaded the way a source manager loads a data source (privately, at run time) that uses the
// foundation like the data source's dialog does.
#include "Bundle.h"
#include "NotificationCenter.h"
#include "RunLoop.h"
#include "UserDefaults.h"

#include <cstdio>

extern "C" __attribute__((visibility("default"))) void pluginPost(const char* name) {
    fnd::NotificationCenter::defaultCenter().post(name, fnd::Value("from the plug-in"));
}

extern "C" __attribute__((visibility("default"))) const void* pluginMainRunLoop() {
    return &fnd::RunLoop::main();
}

extern "C" __attribute__((visibility("default"))) const void* pluginStandardDefaults() {
    return &fnd::UserDefaults::standard();
}

// Where the module believes it lies: its resources are looked up beside that file.
extern "C" __attribute__((visibility("default"))) void pluginBinaryPath(char* path, unsigned long size) {
    const std::optional<fnd::Bundle> self =
        fnd::Bundle::containing(reinterpret_cast<const void*>(&pluginPost));
    snprintf(path, size, "%s", self ? self->binaryPath().c_str() : "");
}
