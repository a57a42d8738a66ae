// The dialog's alerts, titled and pictured by their kind as the applications' are: OK alone, or OK and
// Cancel with Return on Cancel.
#pragma once

#include "AlertKind.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

// True when the user answered OK.
bool RunDialogAlert(appkit::AlertKind kind, QWidget* parent, const QString& message, const QString& info,
                    bool withCancel);
// A message box of the kind: its title, its icon (at the screen's scale) and the texts; no buttons yet.
void DressAlert(QMessageBox& box, appkit::AlertKind kind, const QString& message, const QString& info);
