// What an alert is for, and how each kind looks wherever it is shown (the applications' alerts and the
// data source's dialog alike): its title key in the program's string table and its icon.
#pragma once

#include <QIcon>

namespace appkit {

enum class AlertKind { Question, Warning, Error, Information };

// "Confirm", "Warning", "Error" or "Information": a key every program's string table holds.
const char* alertTitleKey(AlertKind kind);
// The desktop's icon for the kind, or the style's own where the desktop has none.
QIcon alertIcon(AlertKind kind);

} // namespace appkit
