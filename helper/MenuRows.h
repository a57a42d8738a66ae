// The rows of the status menu as plain data: six fixed rows (quit, About, show the main application,
// confirm output, two separators), then the job rows with a separator after the first, each enabled
// by the main application's state and the scanner's. The window only draws them.
#pragma once

#include "AppSettingRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tapwell {

enum MenuTag : int {
    kTagQuit = 101,
    kTagAbout = 102,
    kTagShowApp = 103,
    kTagOutputCheck = 104,
    kTagJobBase = 1000, // a job row's tag is 1000 + its job number (999 the FOA job)
};

struct MenuRow {
    bool separator = false;
    int tag = 0;
    std::string titleKey; // looked up in the string table when set
    std::string title;    // shown as it stands otherwise
    bool enabled = true;
    bool foa = false;
    std::int32_t badge = -1;    // scanner button status drawn before the title
    std::int32_t funcType = -1; // output-function icon, none for the FOA row
    std::string iconPath;
    bool checkMark = false; // the confirm-output row shows its check
};

struct MenuState {
    bool modal = false;
    bool mainAppRunning = false;
    std::uint32_t appState = 0;
    std::int32_t connectErr = 0;
    bool outputCheck = false;
};

// The main application's factory jobs, shown when its record cannot be read; the third depends on
// whether the desktop has a default image viewer, and button 1 starts the scan-first batch or job 1.
std::vector<MenuRow> builtInJobRows(bool hasImageViewer, bool buttonOneScansFirst);
// One row per entry, in the record's order.
std::vector<MenuRow> jobRows(const std::vector<JobMenuEntry>& jobs);
// The whole menu: fixed rows, then jobs, with the enabling rules applied.
std::vector<MenuRow> menuRows(const MenuState& state, const std::vector<MenuRow>& jobs);

} // namespace tapwell
