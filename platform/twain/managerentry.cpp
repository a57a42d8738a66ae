// The source manager's entry as data sources find it. A manager loaded privately (dlopen without
// RTLD_GLOBAL) is not visible to dlsym, so the manager announces itself here when it starts.
#include "managerentry.h"

#include <atomic>
#include <dlfcn.h>

namespace twain {
namespace {
std::atomic<DSMENTRYPROC> announcedEntry{nullptr};
}

void setManagerEntry(DSMENTRYPROC entry) noexcept {
    announcedEntry.store(entry);
}

DSMENTRYPROC managerEntry() noexcept {
    if (DSMENTRYPROC entry = announcedEntry.load())
        return entry;
    return reinterpret_cast<DSMENTRYPROC>(dlsym(RTLD_DEFAULT, "DSM_Entry"));
}

TW_UINT16 callManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_MEMREF data) noexcept {
    const DSMENTRYPROC entry = managerEntry();
    return entry ? entry(origin, dest, dg, dat, msg, data) : TWRC_FAILURE;
}

} // namespace twain
