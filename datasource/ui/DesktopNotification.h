// A note on the desktop's notification service for hosts without windows (a menu-bar helper).
#pragma once

#include <QString>

// False when the session has no bus or no notification service answered within two seconds.
bool ShowDesktopNotification(const QString& summary, const QString& body);
