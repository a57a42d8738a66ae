// The shared settings record "QS_AppSetting" that the main application keeps in its preferences: a
// binary property list inside a data value. It comes from another program's file, so it is parsed
// strictly and every key is checked for its type and range; what fails a check is left out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tapwell {

struct JobMenuEntry {
    std::int32_t num = 0;       // -1 the FOA job, 1..10 the jobs
    std::int32_t btnState = -1; // the scanner button that starts it (badge), -1 none
    std::int32_t funcType = -1; // 0 folder, 1 mail, 2 print, 3 application
    std::string iconPath;       // the application or printer program whose icon stands for it
    std::string title;
};

// A key that is absent or of the wrong type stays unset and leaves the helper's value as it was.
struct AppSetting {
    std::optional<bool> isModal;
    std::optional<std::int32_t> appState;
    std::optional<bool> confirmOutput;
    std::optional<bool> startAppPlugInScn;
    std::optional<bool> showIcnLogInPC;
    std::optional<std::vector<JobMenuEntry>> jobs;
};

// The FOA job and ten jobs; entries beyond are ignored.
inline constexpr std::size_t kMaxJobEntries = 11;

// Absent when the bytes are no property-list dictionary.
std::optional<AppSetting> decodeAppSetting(std::span<const std::uint8_t> bytes);
// The record in a preferences file; absent when the file, the key or the record cannot be read.
std::optional<AppSetting> readAppSetting(const std::filesystem::path& preferences);
// Whether the main application's button 1 starts a scan-first batch, as its own setting
// "AppBtn1AllocFOAScanKey" says (so when that cannot be read): it holds before the application has
// written a record.
bool readButtonOneScansFirst(const std::filesystem::path& preferences);

} // namespace tapwell
