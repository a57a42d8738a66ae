// The TWAIN source manager as an application finds it: a shared library loaded at run time, so the
// application depends on no particular manager at link time. The file named by K3100_TWAIN_DSM, else
// "libsourcemanager.so" in the lib folder beside the program's bin folder (the build tree and the
// installed layout alike), else from the system's library path.
#pragma once

#include "twain.h"

// The manager's DSM_Entry, loaded once per process and kept loaded (data sources it loaded may still
// call it while the process exits); nullptr when no manager can be loaded.
DSMENTRYPROC VX_SourceManagerEntry();
