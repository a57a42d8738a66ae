// dlopen with RTLD_LOCAL keeps the manager's symbols out of the process's global scope, as a data source
// must reach the manager only through the entry it is given.
#include "VX_SourceManagerLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {
constexpr char kManagerLibrary[] = "libsourcemanager.so";
constexpr char kManagerOverride[] = "K3100_TWAIN_DSM";
} // namespace

DSMENTRYPROC VX_SourceManagerEntry() {
    static const DSMENTRYPROC entry = [] {
        const char* path = std::getenv(kManagerOverride);
        void* library = dlopen(path && *path ? path : kManagerLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            std::fprintf(stderr, "the TWAIN source manager could not be loaded: %s\n", dlerror());
            return DSMENTRYPROC{nullptr};
        }
        return reinterpret_cast<DSMENTRYPROC>(dlsym(library, "DSM_Entry"));
    }();
    return entry;
}
