// dlopen with RTLD_LOCAL keeps the manager's symbols out of the process's global scope, as a data source
// must reach the manager only through the entry it is given. The library is looked for by path: a
// sanitizer's dlopen does not search the program's run path.
#include "VX_SourceManagerLibrary.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>

namespace {

void* OpenManagerLibrary() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    for (const char* libdir : {K3100_INSTALL_LIBDIR, "lib"}) {
        const std::filesystem::path beside = program.parent_path().parent_path() / libdir / K3100_DSM_LIBRARY;
        if (!error && std::filesystem::exists(beside, error))
            return dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    return dlopen(K3100_DSM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
}

DSMENTRYPROC Load() {
    void* library = OpenManagerLibrary();
    if (!library) {
        std::fprintf(stderr, "the TWAIN source manager could not be loaded: %s\n", dlerror());
        return nullptr;
    }
    return reinterpret_cast<DSMENTRYPROC>(dlsym(library, "DSM_Entry"));
}

} // namespace

DSMENTRYPROC VX_SourceManagerEntry() {
    static const DSMENTRYPROC entry = Load();
    return entry;
}
