// The application's name for panels modal to a window over a shield (see appkit::FWindow): controllers
// place their panel, call VX_FWindow::beginModalWindow with the main window, and endModalWindow when
// the panel closes.
#pragma once

#include "ShieldWindows.h"

using VX_FWindow = appkit::FWindow;
