// A file written in the folder it is meant for that appears there only when it is published, never over
// a file of the same name. Until then it has no name (O_TMPFILE), so a writer that dies leaves nothing
// behind; where the file system cannot do that, it lies under a hidden ".NAME.PID-N.part" name, and such
// names of writers that are gone are removed when the next file is staged in that folder.
#pragma once

#include <memory>
#include <string>

namespace fnd {

class StagedFile {
    struct Key { // lets only create() construct, through std::make_unique
        explicit Key() = default;
    };

public:
    enum class Naming { UnnamedWherePossible, HiddenName };

    // Opens the staged file for `path` for reading and writing (0666 less the umask, never writable by
    // others); null with errno set when it cannot.
    static std::unique_ptr<StagedFile> create(const std::string& path,
                                              Naming naming = Naming::UnnamedWherePossible);
    StagedFile(Key, int fd, std::string partPath);
    ~StagedFile(); // removes the file unless it was published

    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    int fd() const { return fd_; }
    // A path that opens the file while it is staged (its hidden name, or its descriptor's link in /proc),
    // for what works on files by name.
    std::string openPath() const;
    // Gives the file the name `path` (in the same folder) unless a file of that name exists (errno
    // EEXIST then). The descriptor stays open.
    bool publish(const std::string& path);

private:
    int fd_ = -1;
    std::string partPath_; // the hidden name, empty while the file has none
    bool published_ = false;
};

} // namespace fnd
