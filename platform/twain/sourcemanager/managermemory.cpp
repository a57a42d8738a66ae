// DSM_MemAllocate and friends. Blocks never move, so locking only hands back the address.
#include "managermemory.h"

#include <cstdlib>

namespace twain::dsm {
namespace {

TW_HANDLE memAllocate(TW_UINT32 size) {
    return size == 0 ? nullptr : std::calloc(1, size);
}

void memFree(TW_HANDLE handle) {
    std::free(handle);
}

TW_MEMREF memLock(TW_HANDLE handle) {
    return handle;
}

void memUnlock(TW_HANDLE) {}

} // namespace

TW_ENTRYPOINT entryPoints() {
    return TW_ENTRYPOINT{sizeof(TW_ENTRYPOINT), &DSM_Entry, &memAllocate, &memFree, &memLock, &memUnlock};
}

} // namespace twain::dsm
