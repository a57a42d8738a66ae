// Whether a program runs in the user's desktop session, judged by the executables of its processes.
#pragma once

#include <filesystem>

namespace ws {

// True when a process of this user in this desktop session runs the executable at program (links
// resolved on both sides, so an alias of the program counts as the program). The session is the one
// whose bus this process reaches ($DBUS_SESSION_BUS_ADDRESS): another user's process, or this user's in
// another desktop session, is not the user's copy of the program here.
bool isProgramRunning(const std::filesystem::path& program);

} // namespace ws
