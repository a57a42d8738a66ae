// One record per process: the manager gives it before each open, always the same functions.
#include "ManagerEntryPoints.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace ManagerEntryPoints {
namespace {

std::mutex sMutex;
TW_ENTRYPOINT sEntryPoints{};

TW_ENTRYPOINT Current() {
    std::lock_guard lock(sMutex);
    return sEntryPoints;
}

} // namespace

bool Set(const TW_ENTRYPOINT& entryPoints) {
    const int memoryFunctions = (entryPoints.DSM_MemAllocate != nullptr) +
                                (entryPoints.DSM_MemFree != nullptr) + (entryPoints.DSM_MemLock != nullptr) +
                                (entryPoints.DSM_MemUnlock != nullptr);
    // Half a set of memory functions would free blocks with another allocator than made them.
    if (entryPoints.Size != sizeof(TW_ENTRYPOINT) || !entryPoints.DSM_Entry ||
        (memoryFunctions != 0 && memoryFunctions != 4))
        return false;
    std::lock_guard lock(sMutex);
    sEntryPoints = entryPoints;
    return true;
}

void Clear() {
    std::lock_guard lock(sMutex);
    sEntryPoints = TW_ENTRYPOINT{};
}

bool IsSet() {
    return Current().DSM_Entry != nullptr;
}

TW_UINT16 Call(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
               TW_MEMREF data) {
    const TW_ENTRYPOINT entryPoints = Current();
    return entryPoints.DSM_Entry ? entryPoints.DSM_Entry(origin, dest, dg, dat, msg, data) : TWRC_FAILURE;
}

TW_HANDLE Allocate(TW_UINT32 bytes) {
    if (bytes == 0)
        return nullptr;
    const TW_ENTRYPOINT entryPoints = Current();
    if (!entryPoints.DSM_MemAllocate)
        return std::calloc(1, bytes);
    TW_HANDLE handle = entryPoints.DSM_MemAllocate(bytes);
    // The standard does not promise zero-filled blocks; every container here starts zeroed.
    if (TW_MEMREF memory = handle ? Lock(handle) : nullptr) {
        std::memset(memory, 0, bytes);
        Unlock(handle);
    }
    return handle;
}

void Free(TW_HANDLE handle) {
    if (!handle)
        return;
    const TW_ENTRYPOINT entryPoints = Current();
    entryPoints.DSM_MemFree ? entryPoints.DSM_MemFree(handle) : std::free(handle);
}

TW_MEMREF Lock(TW_HANDLE handle) {
    const TW_ENTRYPOINT entryPoints = Current();
    return handle && entryPoints.DSM_MemLock ? entryPoints.DSM_MemLock(handle) : handle;
}

void Unlock(TW_HANDLE handle) {
    const TW_ENTRYPOINT entryPoints = Current();
    if (handle && entryPoints.DSM_MemUnlock)
        entryPoints.DSM_MemUnlock(handle);
}

} // namespace ManagerEntryPoints
