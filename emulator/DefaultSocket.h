// The socket the emulator serves and controls when none is named: one per user, never a name that every
// user of the machine shares.
#pragma once

#include <string>

namespace k3100::emu {

// $K3100_EMULATOR_SOCKET; else "$XDG_RUNTIME_DIR/k3100.sock"; else "k3100.sock" in
// "${TMPDIR:-/tmp}/k3100-<uid>", a folder made for this user alone. Empty, with error, when that folder
// exists and is not this user's own private folder.
std::string defaultSocketPath(std::string& error);

} // namespace k3100::emu
