// The file holds the status as decimal text; its time of change is the press's. It is only ever opened
// inside a private folder through the folder's descriptor, never by a path.
#include "KeptPress.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tapwell {

namespace {

constexpr std::size_t kMaxText = 16; // a 32-bit status in decimal and its line end

} // namespace

KeptPress KeptPress::forSession() {
    std::string problem;
    fnd::PrivateFolder folder = fnd::PrivateFolder::runtime(&problem);
    if (!folder.valid())
        std::fprintf(stderr, "tapwell: a press is not kept for the next helper: %s\n", problem.c_str());
    return KeptPress(std::move(folder));
}

bool KeptPress::keep(std::uint32_t status) const {
    if (status == 0)
        return folder_.removeFile(kFileName);
    const fnd::FileDescriptor file = folder_.openFile(kFileName, O_WRONLY | O_CREAT | O_TRUNC);
    const std::string text = std::to_string(status) + '\n';
    return file.valid() && ::write(file.get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::uint32_t KeptPress::take(std::chrono::seconds maxAge) const {
    const fnd::FileDescriptor file = folder_.openFile(kFileName, O_RDONLY);
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0)
        return 0;
    char text[kMaxText + 1] = {};
    const ssize_t n = ::read(file.get(), text, kMaxText);
    keep(0);
    const auto changed =
        std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
    if (n <= 0 || std::chrono::system_clock::now() - changed > maxAge)
        return 0;
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

} // namespace tapwell
