// How a data source reaches the source manager that loaded it, to invoke the application's callback:
//   twain::callManager(&ownIdentity, nullptr, DG_CONTROL, DAT_CALLBACK, MSG_INVOKE_CALLBACK, &callback)
// The manager announces its entry when it starts; without it the process's global DSM_Entry is used.
#pragma once

#include "twain.h"

namespace twain {

// Called by the source manager before it loads any data source.
TWAIN_EXPORT void setManagerEntry(DSMENTRYPROC entry) noexcept;

// The manager's entry, or nullptr when no source manager is loaded in this process.
TWAIN_EXPORT DSMENTRYPROC managerEntry() noexcept;

// A DSM_Entry call through managerEntry(); TWRC_FAILURE when there is no source manager.
TWAIN_EXPORT TW_UINT16 callManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                                   TW_UINT16 msg, TW_MEMREF data) noexcept;

} // namespace twain
