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
// Starts argv[0] with the rest as arguments and does not wait; false when it could not start.
bool startDetached(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder = {});

} // namespace ws
