// Handing work to other programs: an application started from its .desktop file (with files to open)
// or by path, without waiting for it ("it was started"); a file, folder or page opened with the user's
// default application (xdg-open) and a new mail with attachments (xdg-email), whose tools are waited for
// within a bound ("it was handed on": false when the tool failed, as without a mail program).
#pragma once

#include "DesktopEntry.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

// Every command of the entry's Exec line (see expandExec), in the entry's Path folder when it names
// one; false when the line is malformed or a command could not start. Files for an application that
// takes none start nothing and answer false: it would open without them.
bool launch(const DesktopEntry& entry, const std::vector<std::filesystem::path>& files = {});
bool launchProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments = {});
// An application by its .desktop file (desktop-file id) where one is installed, else its program by path
// (an empty path starts nothing).
bool launchApplication(std::string_view desktopId, const std::filesystem::path& program);
bool openPath(const std::filesystem::path& path);
// A URL (a page with its anchor) with the user's default application.
bool openUrl(const std::string& url);
// The mail program gets absolute paths; the files must stay until it has read them.
bool composeMail(const std::vector<std::filesystem::path>& attachments);

} // namespace ws
