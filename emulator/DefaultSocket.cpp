// The default socket lies in the user's runtime folder, the one every program of the user shares: used
// only when it is a real folder (not a link), owned by this user and closed to everyone else, so no
// other user can serve or swap the socket.
#include "DefaultSocket.h"

#include "PrivateFolder.h"
#include "UsbDiscovery.h"

#include <cstdlib>

namespace k3100::emu {

std::string defaultSocketPath(std::string& error) {
    if (const char* named = std::getenv(usb::kEmulatorSocketEnv); named && *named)
        return named;
    const fnd::PrivateFolder runtime = fnd::PrivateFolder::runtime(&error);
    if (!runtime.valid()) {
        error += "; name a socket with --socket";
        return "";
    }
    return (runtime.path() / "k3100.sock").string();
}

} // namespace k3100::emu
