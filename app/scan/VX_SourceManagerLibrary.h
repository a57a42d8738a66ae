// The TWAIN source manager as the application finds it: this project's manager, loaded at run time
// (twain::loadManagerEntry), so the application depends on no particular manager at link time.
#pragma once

#include "twain.h"

// The manager's DSM_Entry, loaded once per process and kept loaded (data sources it loaded may still
// call it while the process exits); nullptr when no manager can be loaded.
DSMENTRYPROC VX_SourceManagerEntry();
