// The dialog is offered only to a host that runs a QApplication; in any other host an enable that asks
// for it is refused, as before the dialog existed.
#pragma once

// Installs or removes the data source's dialog factory to match the host; cheap enough for every call.
void UpdateDialogAvailability();
