// One write per line, so that lines from several threads do not interleave.
#include "managerlog.h"

#include <string>
#include <unistd.h>

namespace twain::dsm {

void logLine(std::string_view text) noexcept {
    try {
        const std::string line = "sourcemanager: " + std::string(text) + "\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    } catch (...) {
    }
}

} // namespace twain::dsm
