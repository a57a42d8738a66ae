// Runs a program with an argument vector (no shell) and collects what it writes to its standard
// output, for the few desktop questions only a helper program answers.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Absent when the program cannot start, fails, or does not finish within timeoutMs (it is then
// killed). At most maxBytes of output are kept.
std::optional<std::string> TlvCommandOutput(const std::vector<std::string>& argv, int timeoutMs = 3000,
                                            std::size_t maxBytes = 4096);
