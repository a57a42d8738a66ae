// The controller's ports on a real desktop: the data source's button function, the session bus,
// XDG launching and autostart, and alerts.
#pragma once

#include "TapwellCntlr.h"

#include "LoginItems.h"
#include "TapwellAppleEvent.h"

namespace tapwell {

class StatusMenu;
class Tapwell_AboutWindow;

inline constexpr char kHelperId[] = "com.orvikElectronics.tapwell";

// events, loginItems, menu and about must outlive the ports. Only an installed helper touches the login
// items; otherwise its login-item ports do nothing.
TapwellPorts desktopPorts(const TapwellAppleEvent& events, const ws::LoginItems& loginItems, StatusMenu& menu,
                          Tapwell_AboutWindow& about, bool installed);

// Starts the main application from its .desktop file when one is installed, else by its path.
bool openMainApp();
// "Error" with the informative text of key, naming the main application.
void showAlert(const char* informativeKey);

} // namespace tapwell
