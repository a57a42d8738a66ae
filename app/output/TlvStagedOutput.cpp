// See TlvStagedOutput.h.
#include "TlvStagedOutput.h"

#include "StagedFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tlv {
namespace fs = std::filesystem;
namespace {

constexpr int kMaxRenames = 1000; // names tried before the file is given up

} // namespace

TlvStagedOutput::TlvStagedOutput(TlvWrittenFiles& files, TlvNextFreeName nextFreeName)
    : mFiles(files), mNextFreeName(std::move(nextFreeName)) {}

TlvStagedOutput::~TlvStagedOutput() = default;

bool TlvStagedOutput::open(const fs::path& path) {
    mFile = fnd::StagedFile::create(path.string());
    mPath = path;
    return mFile != nullptr;
}

std::optional<fs::path> TlvStagedOutput::chosenPath() const {
    if (!mFile)
        return std::nullopt;
    return mPath;
}

int TlvStagedOutput::fd() const {
    return mFile ? mFile->fd() : -1;
}

std::string TlvStagedOutput::openPath() const {
    return mFile ? mFile->openPath() : std::string();
}

std::uint64_t TlvStagedOutput::bytes() const {
    struct stat info {};
    if (!mFile || ::fstat(mFile->fd(), &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<fs::path> TlvStagedOutput::publish() {
    const std::unique_ptr<fnd::StagedFile> file = std::move(mFile);
    if (!file || ::fsync(file->fd()) != 0)
        return std::nullopt;
    fs::path name = mPath;
    for (int tries = 0; !file->publish(name.string()); ++tries) {
        const std::optional<fs::path> next =
            errno == EEXIST && mNextFreeName && tries < kMaxRenames ? mNextFreeName(name) : std::nullopt;
        if (!next)
            return std::nullopt;
        name = *next;
    }
    if (name != mPath)
        mFiles.replaceWriteFilePath(mPath, name);
    return name;
}

void TlvStagedOutput::abandon() {
    mFile.reset();
}

} // namespace tlv
