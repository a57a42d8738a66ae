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

std::optional<fs::path> publishUnderFreeName(const fs::path& name,
                                             const std::function<TlvPublishTry(const fs::path&)>& publishAs,
                                             const TlvNextFreeName& nextFreeName, TlvWrittenFiles& files) {
    fs::path tried = name;
    for (int tries = 0;; ++tries) {
        const TlvPublishTry result = publishAs(tried);
        if (result == TlvPublishTry::kPublished)
            break;
        const std::optional<fs::path> next =
            result == TlvPublishTry::kTaken && nextFreeName && tries < kMaxRenames ? nextFreeName(tried)
                                                                                   : std::nullopt;
        if (!next)
            return std::nullopt;
        tried = *next;
    }
    if (tried != name)
        files.replaceWriteFilePath(name, tried);
    return tried;
}

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
    const auto publishAs = [&file](const fs::path& name) {
        if (file->publish(name.string()))
            return TlvPublishTry::kPublished;
        return errno == EEXIST ? TlvPublishTry::kTaken : TlvPublishTry::kFailed;
    };
    return publishUnderFreeName(mPath, publishAs, mNextFreeName, mFiles);
}

void TlvStagedOutput::abandon() {
    mFile.reset();
}

} // namespace tlv
