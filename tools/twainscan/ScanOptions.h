// The command line of twainscan: what to list or scan, the capabilities to set and where the pages go.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace twainscan {

struct SCapSetting {
    std::uint16_t capId;
    std::uint16_t itemType; // TWTY_*
    double value;
};

struct SScanOptions {
    bool listOnly = false;
    bool showEvents = false;       // print the source's device events as they come
    std::string source = "K-3100"; // must occur in the data source's product name
    std::string outputFolder;
    std::string prefix = "page";
    std::vector<SCapSetting> settings; // every documented option, in a fixed order
};

// Parses argv; an error message when an option is unknown or its value is out of range.
std::optional<SScanOptions> ParseScanOptions(int argc, const char* const* argv, std::string& error);
const char* ScanUsage();

} // namespace twainscan
