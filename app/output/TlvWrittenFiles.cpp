// See TlvWrittenFiles.h.
#include "TlvWrittenFiles.h"

#include <algorithm>

namespace tlv {
namespace fs = std::filesystem;

void TlvWrittenFiles::initWriteFilePathArray() {
    std::lock_guard guard(mFilePathArrayLck);
    if (!mWriteFilePathArray)
        mWriteFilePathArray.emplace();
}

void TlvWrittenFiles::releaseWriteFilePathArray(bool removeFiles) {
    std::lock_guard guard(mFilePathArrayLck);
    if (removeFiles && mWriteFilePathArray) {
        for (const fs::path& path : *mWriteFilePathArray) {
            std::error_code ec;
            fs::remove(path, ec);
        }
    }
    mWriteFilePathArray.reset();
}

void TlvWrittenFiles::addWriteFilePath(const fs::path& path) {
    std::lock_guard guard(mFilePathArrayLck);
    if (mWriteFilePathArray && !path.empty())
        mWriteFilePathArray->push_back(path);
}

void TlvWrittenFiles::setWriteFilePathArray(std::vector<fs::path> paths) {
    std::lock_guard guard(mFilePathArrayLck);
    mWriteFilePathArray = std::move(paths);
}

void TlvWrittenFiles::replaceWriteFilePath(const fs::path& oldPath, const fs::path& newPath) {
    std::lock_guard guard(mFilePathArrayLck);
    if (!mWriteFilePathArray)
        return;
    const auto entry = std::find(mWriteFilePathArray->begin(), mWriteFilePathArray->end(), oldPath);
    if (entry != mWriteFilePathArray->end())
        *entry = newPath;
}

std::optional<fs::path> TlvWrittenFiles::writeFilePathAtIndex(std::size_t index) const {
    std::lock_guard guard(mFilePathArrayLck);
    if (!mWriteFilePathArray || index >= mWriteFilePathArray->size())
        return std::nullopt;
    return (*mWriteFilePathArray)[index];
}

std::vector<fs::path> TlvWrittenFiles::cpyWriteFilePathArray() const {
    std::lock_guard guard(mFilePathArrayLck);
    return mWriteFilePathArray.value_or(std::vector<fs::path>{});
}

std::vector<std::string> TlvWrittenFiles::cpyWriteFileNameArray() const {
    std::vector<std::string> names;
    for (const fs::path& path : cpyWriteFilePathArray())
        names.push_back(path.stem().string());
    return names;
}

std::vector<fs::path> TlvWrittenFiles::filePathUrls() const {
    std::vector<fs::path> existing;
    for (const fs::path& path : cpyWriteFilePathArray()) {
        std::error_code ec;
        if (fs::exists(path, ec))
            existing.push_back(path);
    }
    return existing;
}

} // namespace tlv
