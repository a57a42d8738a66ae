// dlopen with RTLD_LOCAL keeps the manager's symbols out of the process's global scope, as a data source
// must reach the manager only through the entry it is given. The program's own folder is looked up
// explicitly: a library path recorded in the program does not reach a dlopen made through an
// interposed dlopen (a sanitizer's).
#include "VX_SourceManagerLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr char kManagerLibrary[] = "libsourcemanager.so";
constexpr char kManagerOverride[] = "K3100_TWAIN_DSM";

std::vector<std::string> Candidates() {
    if (const char* path = std::getenv(kManagerOverride); path && *path)
        return {path};
    std::vector<std::string> paths;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        paths.push_back((program.parent_path().parent_path() / "lib" / kManagerLibrary).string());
    paths.emplace_back(kManagerLibrary);
    return paths;
}

DSMENTRYPROC Load() {
    for (const std::string& path : Candidates()) {
        if (void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return reinterpret_cast<DSMENTRYPROC>(dlsym(library, "DSM_Entry"));
    }
    std::fprintf(stderr, "the TWAIN source manager could not be loaded: %s\n", dlerror());
    return nullptr;
}

} // namespace

DSMENTRYPROC VX_SourceManagerEntry() {
    static const DSMENTRYPROC entry = Load();
    return entry;
}
