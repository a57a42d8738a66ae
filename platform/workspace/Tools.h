// Desktop tools are run with argument vectors, never through a shell; the ones whose answer is read are
// waited for within a bound, the ones that hand work to another program are not.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ws {

// xdg-mime and xdg-user-dir read a few small files; a tool that takes longer is hung (ms).
inline constexpr int kToolTimeoutMs = 10000;

// The tool's standard output, trailing newlines removed, when it ran and exited with 0 within timeoutMs
// (otherwise it is killed).
std::optional<std::string> runTool(const std::string& program, const std::vector<std::string>& arguments,
                                   int timeoutMs = kToolTimeoutMs);
// The hand-off tools (xdg-open, xdg-email) return once the work is handed on (ms); one still running
// then does the work itself in the foreground.
inline constexpr int kHandOffWaitMs = 3000;

// Starts argv[0] with the rest as arguments and waits for its exit status, at most waitMs: false when it
// could not start or exited with a failure. One still running then counts as started and is left to
// run; it is reaped once it ends.
bool handOff(const std::vector<std::string>& argv, int waitMs = kHandOffWaitMs);
// Starts argv[0] with the rest as arguments and does not wait; false when it could not start. This and
// handOff start the program with no signal blocked and every one at its default action.
bool startDetached(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder = {});

} // namespace ws
