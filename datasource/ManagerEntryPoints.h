// The source manager's entry points, as it hands them to the data source with DAT_ENTRYPOINT/MSG_SET
// before opening it. Messages to the application go through its DSM_Entry; container memory through its
// memory functions, so that an application frees what the data source allocated and the other way round.
#pragma once

#include "twain.h"

namespace ManagerEntryPoints {

// Keeps the record (process-wide, as the close deletes the data-source instance) until the close clears
// it: a manager hands it before every open. A record without DSM_Entry, or of another size, is refused
// with false.
bool Set(const TW_ENTRYPOINT& entryPoints);
// Forgets the manager: the memory functions fall back to the C heap, and calls fail.
void Clear();
// Whether a manager gave its entry points (and so can carry messages to the application).
bool IsSet();

// DSM_Entry of the manager; TWRC_FAILURE when no manager gave its entry points.
TW_UINT16 Call(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
               TW_MEMREF data);

// A zero-filled block of bytes (at least 1); null when memory is short. The receiver frees it with Free
// (an application: with the manager's DSM_MemFree, or free() where the manager gave none).
TW_HANDLE Allocate(TW_UINT32 bytes);
void Free(TW_HANDLE handle);
// The block's memory while it is used; a handle is a plain pointer where the manager gives no lock.
TW_MEMREF Lock(TW_HANDLE handle);
void Unlock(TW_HANDLE handle);

} // namespace ManagerEntryPoints
