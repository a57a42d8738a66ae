// Whether a program runs, judged by the executables of the user's processes.
#pragma once

#include <filesystem>

namespace ws {

// True when a process that this user may inspect runs the executable at program (links resolved on
// both sides, so an alias of the program counts as the program).
bool isProgramRunning(const std::filesystem::path& program);

} // namespace ws
