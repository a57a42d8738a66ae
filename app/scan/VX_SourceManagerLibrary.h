// The TWAIN source manager as an application finds it: a shared library loaded at run time, so the
// application depends on no particular manager at link time. This project's manager from the library
// folder beside the program's bin folder (the installed layout and the build tree alike), else
// whichever manager of that name the system's library path offers.
#pragma once

#include "twain.h"

// The manager's DSM_Entry, loaded once per process and kept loaded (data sources it loaded may still
// call it while the process exits); nullptr when no manager can be loaded.
DSMENTRYPROC VX_SourceManagerEntry();
