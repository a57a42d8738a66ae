// A folder of this user that nobody else may enter, held open by descriptor: it is checked once through
// the descriptor, and files in it are opened relative to that descriptor, so a name swapped in after the
// check can redirect nothing. The user's runtime folder is the common one.
#pragma once

#include "Export.h"
#include "FileDescriptor.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace fnd {

class FND_EXPORT PrivateFolder {
public:
    // The folder at path when it is a real folder (not a link) owned by this user with mode 0700;
    // otherwise an invalid one, and problem (when given) says why, naming the folder.
    static PrivateFolder open(const std::filesystem::path& path, std::string* problem = nullptr);
    // The user's runtime folder: $XDG_RUNTIME_DIR when it is set to an absolute path, else
    // "k3100-runtime" in the user's cache folder (${XDG_CACHE_HOME:-~/.cache}), made here (0700) when
    // missing. Checked as open() checks.
    static PrivateFolder runtime(std::string* problem = nullptr);

    bool valid() const { return fd_.valid(); }
    const std::filesystem::path& path() const { return path_; }

    // Opens the file called name in the folder with the open(2) flags given (a new file gets mode): never
    // through a link, never waiting on a FIFO. Anything but a regular file is refused (invalid, errno
    // EINVAL), as is a name with a separator.
    FileDescriptor openFile(std::string_view name, int flags, mode_t mode = 0600) const;
    // True when the file called name is gone afterwards (removed, or there was none).
    bool removeFile(std::string_view name) const;

private:
    PrivateFolder(FileDescriptor fd, std::filesystem::path path)
        : fd_(std::move(fd)), path_(std::move(path)) {}
    // madeHere: the folder was just made by this process, and its mode is set rather than checked.
    static PrivateFolder adopt(const std::filesystem::path& path, std::string* problem, bool madeHere);

    FileDescriptor fd_;
    std::filesystem::path path_;
};

} // namespace fnd
