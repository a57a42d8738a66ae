// A new output file staged in the folder it is meant for: it has no name there (see StagedFile) until it
// is published whole, under the name chosen for it or, when a file appeared there meanwhile, under the
// next free one, never over a file. So a program killed while it writes leaves no part of a file under
// a name, and nothing a user sees.
#pragma once

#include "TlvWrittenFiles.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fnd {
class StagedFile;
}

namespace tlv {

// The next free name after a taken one; none when there is none.
using TlvNextFreeName = std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)>;

// What one try to give a finished file a name found.
enum class TlvPublishTry { kPublished, kTaken, kFailed };
// Publishes a finished file through publishAs under name or, while the name is taken, under the next free
// ones; the written list follows a changed name. The name it got; none when it could not be published.
std::optional<std::filesystem::path>
publishUnderFreeName(const std::filesystem::path& name,
                     const std::function<TlvPublishTry(const std::filesystem::path&)>& publishAs,
                     const TlvNextFreeName& nextFreeName, TlvWrittenFiles& files);

class TlvStagedOutput {
public:
    TlvStagedOutput(TlvWrittenFiles& files, TlvNextFreeName nextFreeName);
    ~TlvStagedOutput(); // an open file goes
    TlvStagedOutput(const TlvStagedOutput&) = delete;
    TlvStagedOutput& operator=(const TlvStagedOutput&) = delete;

    // Starts the file for path (a file left open goes); false when it cannot be made.
    bool open(const std::filesystem::path& path);
    bool isOpen() const { return mFile != nullptr; }
    // The name the open file is meant for; none when none is open.
    std::optional<std::filesystem::path> chosenPath() const;
    int fd() const;
    // A path that opens the open file, for what works on files by name.
    std::string openPath() const;
    std::uint64_t bytes() const;

    // Flushes the open file to the disk and publishes it; the written list follows a changed name. The
    // name it got; none when it could not be published, and then it is gone.
    std::optional<std::filesystem::path> publish();
    void abandon();

private:
    TlvWrittenFiles& mFiles;
    TlvNextFreeName mNextFreeName;
    std::unique_ptr<fnd::StagedFile> mFile;
    std::filesystem::path mPath;
};

} // namespace tlv
