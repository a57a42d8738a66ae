// The platform foundation layer of the K3100 software: the services the scanner's data source, the
// page library's callers and the applications expect from the desktop platform, without any UI
// toolkit. Everything lives in namespace fnd.
//
//   Value.h            Value, Dictionary (insertion order), Array, Data, Date, Number (kind and width);
//                      deep copies, equality, typed getters that answer "absent" for a wrong type.
//   PropertyList.h     fnd::plist: parse XML or binary property lists, write XML (atomically to files).
//   FileIO.h           whole-file reads and atomic file replacement (temp file, fsync, rename).
//   PreferencesFile.h  a settings file read whole, changed by key and saved atomically; missing or
//                      damaged files read as empty and damaged ones are kept until the next save.
#pragma once

#include "FileIO.h"
#include "Number.h"
#include "PreferencesFile.h"
#include "PropertyList.h"
#include "Value.h"
