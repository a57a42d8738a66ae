// A module loaded the way a source manager loads a data source (privately, at run time) that uses the
// foundation like the data source's dialog does.
#include "NotificationCenter.h"
#include "RunLoop.h"
#include "UserDefaults.h"

extern "C" __attribute__((visibility("default"))) void pluginPost(const char* name) {
    fnd::NotificationCenter::defaultCenter().post(name, fnd::Value("from the plug-in"));
}

extern "C" __attribute__((visibility("default"))) const void* pluginMainRunLoop() {
    return &fnd::RunLoop::main();
}

extern "C" __attribute__((visibility("default"))) const void* pluginStandardDefaults() {
    return &fnd::UserDefaults::standard();
}
