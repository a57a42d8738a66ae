// A call into a data source that cannot take the manager down: an exception thrown by the data source
// becomes TWRC_FAILURE and a log line.
#pragma once

#include "twain.h"

namespace twain::dsm {

TW_UINT16 callSource(DSENTRYPROC entry, pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                     TW_MEMREF data) noexcept;

} // namespace twain::dsm
