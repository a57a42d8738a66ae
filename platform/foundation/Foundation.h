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
//   NotificationCenter.h  observers by name and object; synchronous post with a user info that
//                      observers may fill in to answer the poster.
//   RunLoop.h, Timer.h one loop per thread: one-shot and repeating timers, re-entrant runFor(),
//                      delayed calls per target with cancel, FIFO calls to the main thread (waiting
//                      or not), and a driver interface so another event loop can run it.
//   UserDefaults.h     per-bundle settings in $XDG_CONFIG_HOME/<bundle id>.plist, explicit synchronize()
//                      that merges with what other processes wrote.
//   StringTable.h      localised texts by key ("key" = "text"; files or property lists); a missing
//                      key answers itself.
//   Bundle.h           a binary's information dictionary, resource folder and localised strings,
//                      found from a loaded address (dladdr) or the program; $K3100_BUNDLE_PATH
//                      overrides where resource folders are looked for, $K3100_DATA_DIR moves the
//                      programs' data folders (share/k3100/<program> when installed).
//   EmbeddingHost.h    the application that embeds a data source and takes its messages as notifications.
#pragma once

#include "Bundle.h"
#include "EmbeddingHost.h"
#include "FileIO.h"
#include "NotificationCenter.h"
#include "Number.h"
#include "PreferencesFile.h"
#include "PropertyList.h"
#include "RunLoop.h"
#include "StringTable.h"
#include "Timer.h"
#include "UserDefaults.h"
#include "Value.h"
