// Installed applications as the XDG conventions describe them: .desktop files found by their id in
// $XDG_DATA_HOME/applications and $XDG_DATA_DIRS/*/applications, and the default application of a
// MIME type ("x-scheme-handler/mailto" for mail) as xdg-mime answers it.
#pragma once

#include "DesktopEntry.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

// $XDG_DATA_HOME (default ~/.local/share) first, then $XDG_DATA_DIRS (default /usr/local/share and
// /usr/share), each with "applications" appended.
std::vector<std::filesystem::path> applicationFolders();
// The first file for a desktop-file id ("org.example.Mail.desktop") in the folders, best first; a '-'
// in the id may stand for a sub-folder ("kde-mail.desktop" in "kde/mail.desktop"). Ids that could
// leave the folders find nothing.
std::optional<std::filesystem::path> findDesktopFile(std::string_view desktopId,
                                                     const std::vector<std::filesystem::path>& folders);
// The same in applicationFolders().
std::optional<std::filesystem::path> findDesktopFile(std::string_view desktopId);
// The id of the default application for the type, absent when there is none or xdg-mime fails.
std::optional<std::string> defaultApplicationId(std::string_view mimeType);
// Its entry, when its .desktop file is found and readable.
std::optional<DesktopEntry> defaultApplication(std::string_view mimeType);
// The applications whose entries list the type in MimeType, in the folders (an id found first hides
// the same id further on; hidden and undisplayed entries are left out), sorted by name.
std::vector<DesktopEntry> applicationsForType(std::string_view mimeType,
                                              const std::vector<std::filesystem::path>& folders);
// The same in applicationFolders().
std::vector<DesktopEntry> applicationsForType(std::string_view mimeType);
// What a person calls the application of a .desktop file: its Name, else the file's name without
// its extension.
std::string applicationName(const std::filesystem::path& desktopFile);

} // namespace ws
