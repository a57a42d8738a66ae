// How this project's applications find the source manager: like any TWAIN application they load it at
// run time, from the library folder beside the program's bin folder (the installed layout and the build
// tree alike), else from the system's library path. It is looked for by path, because a sanitizer's
// dlopen does not search the program's run path.
#pragma once

#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "twain.h"

namespace twain {

// Loads the manager library fileName (its soname) and answers its DSM_Entry, or nullptr with the reason
// in error. libDir: the installed library folder below the prefix ("lib" is tried as well). The library
// stays loaded to the end of the process.
inline DSMENTRYPROC loadManagerEntry(const char* fileName, const char* libDir, std::string& error) {
    std::error_code failure;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failure);
    void* library = nullptr;
    for (const char* dir : {libDir, "lib"}) {
        const std::filesystem::path beside = program.parent_path().parent_path() / dir / fileName;
        if (!library && !failure && std::filesystem::exists(beside, failure))
            library = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!library)
        library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot be loaded";
        return nullptr;
    }
    auto entry = reinterpret_cast<DSMENTRYPROC>(dlsym(library, "DSM_Entry"));
    if (!entry)
        error = "it has no DSM_Entry";
    return entry;
}

} // namespace twain
