// The dialog's critical alerts, titled "Error": OK alone, or OK and Cancel with Return on Cancel.
#pragma once

#include <QString>
#include <QWidget>

// True when the user answered OK.
bool RunCriticalAlert(QWidget* parent, const QString& message, const QString& info, bool withCancel);
