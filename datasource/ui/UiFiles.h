// Loading the dialog's interface files: Designer .ui files among the data source's resources, loaded at
// run time. The file names its classes by short names; the class map turns each into the dialog's own
// class. A class the map and Qt do not know becomes a plain widget (and a log line), never something
// looked up by name; no designer plug-in is loaded.
#pragma once

#include "ResourcePeeker.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

// Makes a widget of the dialog's class for a short class name of an interface file.
using UiClassMap = std::map<QString, std::function<QWidget*(QWidget* parent)>>;
// The dialog's own classes, for its window, palettes and panels.
const UiClassMap& DialogClasses();

// The resource folder of the data source, where its interface files and string tables lie.
std::filesystem::path QSUIResourceFolder();

// Loads "<resources>/<name>.ui" and applies the visitor (when given) to every element. Null, with a log
// line naming the file, when the file is missing or damaged.
std::unique_ptr<QWidget> LoadResourceUiFile(const QString& name, const UiClassMap& classes,
                                            const ElementVisitor& visitor);
// The same for a file anywhere.
std::unique_ptr<QWidget> LoadUiFile(const std::filesystem::path& file, const UiClassMap& classes,
                                    const ElementVisitor& visitor);
