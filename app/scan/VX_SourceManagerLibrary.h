// The TWAIN source manager as an application finds it: a shared library loaded at run time, so the
// application depends on no particular manager at link time. "libsourcemanager.so" from the library
// path (the build tree or the installed lib folder), or the file named by K3100_TWAIN_DSM.
#pragma once

#include "twain.h"

// The manager's DSM_Entry, loaded once per process and kept loaded (data sources it loaded may still
// call it while the process exits); nullptr when no manager can be loaded.
DSMENTRYPROC VX_SourceManagerEntry();
