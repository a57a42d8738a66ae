// Enabling: while a panel of the main application is open, or while it is busy (any state but its
// top screen 0 and the finished output 306), only About and show-application answer; while the
// scanner reports anything but 0, confirm-output and the jobs are off as well.
#include "MenuRows.h"

namespace tapwell {

namespace {

MenuRow separator() {
    MenuRow row;
    row.separator = true;
    return row;
}

MenuRow item(int tag, std::string titleKey) {
    MenuRow row;
    row.tag = tag;
    row.titleKey = std::move(titleKey);
    return row;
}

MenuRow job(int num, std::string titleKey, std::int32_t funcType) {
    MenuRow row = item(kTagJobBase + num, std::move(titleKey));
    row.foa = num == -1;
    row.badge = row.foa ? 1 : -1;
    row.funcType = funcType;
    return row;
}

bool jobsAllowed(const MenuState& state) {
    return !state.modal && (state.appState == 0 || state.appState == 306 || !state.mainAppRunning);
}

} // namespace

// Jobs 4 and 5 of the factory list are empty on this platform, so they have no rows.
std::vector<MenuRow> builtInJobRows(bool hasImageViewer, bool buttonOneScansFirst) {
    std::vector<MenuRow> rows{job(-1, "JobList_Def00", -1), job(1, "JobList_Def01", 0),
                              job(2, "JobList_Def02", 1),
                              hasImageViewer ? job(3, "JobList_Def03_01", 3) : job(3, "JobList_Def03_02", 0)};
    if (!buttonOneScansFirst) {
        rows[0].badge = -1;
        rows[1].badge = 1;
    }
    return rows;
}

std::vector<MenuRow> jobRows(const std::vector<JobMenuEntry>& jobs) {
    std::vector<MenuRow> rows;
    for (const JobMenuEntry& entry : jobs) {
        MenuRow row =
            job(entry.num, entry.num == -1 ? "JobList_Def00" : "", entry.num == -1 ? -1 : entry.funcType);
        if (entry.num != -1)
            row.title = entry.title;
        row.badge = entry.btnState;
        row.iconPath = entry.iconPath;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<MenuRow> menuRows(const MenuState& state, const std::vector<MenuRow>& jobs) {
    std::vector<MenuRow> rows{item(kTagQuit, "CloseApp"),           separator(),
                              item(kTagAbout, "VersionInfo"),       item(kTagShowApp, "LaunchApp"),
                              item(kTagOutputCheck, "OutputCheck"), separator()};
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        rows.push_back(jobs[i]);
        if (i == 0 && jobs.size() > 1)
            rows.push_back(separator());
    }
    const bool allowed = jobsAllowed(state);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        MenuRow& row = rows[i];
        row.enabled = row.tag == kTagAbout || row.tag == kTagShowApp || allowed;
        if (state.connectErr != 0 && i >= 4)
            row.enabled = false;
    }
    rows[4].checkMark = state.outputCheck;
    return rows;
}

} // namespace tapwell
