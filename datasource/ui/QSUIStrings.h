// Texts of the dialog: keys of the data source's own string table, so that a host's table never
// answers for them.
#pragma once

#include <QString>

QString QSUIString(const QString& key);
