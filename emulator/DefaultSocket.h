// The socket the emulator serves and controls when none is named: one per user, never a name that every
// user of the machine shares.
#pragma once

#include <string>

namespace k3100::emu {

// $K3100_EMULATOR_SOCKET; else "k3100.sock" in the user's runtime folder (fnd::PrivateFolder::runtime:
// $XDG_RUNTIME_DIR, else a folder in the user's cache folder). Empty, with error, when that folder is
// not this user's own private folder.
std::string defaultSocketPath(std::string& error);

} // namespace k3100::emu
