// The manager's memory functions (DAT_ENTRYPOINT). On Linux a handle is the block's address: plain
// zero-filled C heap, so an application may free with free() what a data source allocated here.
#pragma once

#include "twain.h"

namespace twain::dsm {

// Size, DSM_Entry and the four memory functions.
TW_ENTRYPOINT entryPoints();

} // namespace twain::dsm
