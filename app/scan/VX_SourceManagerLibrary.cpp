// dlopen with RTLD_LOCAL keeps the manager's symbols out of the process's global scope, as a data source
// must reach the manager only through the entry it is given.
#include "VX_SourceManagerLibrary.h"

#include <cstdio>
#include <string>

#include "managerlibrary.h"

DSMENTRYPROC VX_SourceManagerEntry() {
    static const DSMENTRYPROC entry = [] {
        std::string error;
        const DSMENTRYPROC found = twain::loadManagerEntry(K3100_DSM_LIBRARY, K3100_INSTALL_LIBDIR, error);
        if (!found)
            std::fprintf(stderr, "the TWAIN source manager could not be loaded: %s\n", error.c_str());
        return found;
    }();
    return entry;
}
