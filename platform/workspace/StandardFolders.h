// The user's standard folders by their XDG names (DESKTOP, DOWNLOAD, DOCUMENTS, MUSIC, PICTURES,
// VIDEOS, ...), as xdg-user-dir answers them.
#pragma once

#include <filesystem>
#include <string_view>

namespace ws {

// The home folder when the folder is not configured or the tool cannot answer, as xdg-user-dir
// itself does.
std::filesystem::path userFolder(std::string_view name);

} // namespace ws
