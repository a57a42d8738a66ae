// The written-file list: the full paths of the batch's output files in the order they were made (entry
// k is the file of file group k). Every operation holds the list's lock for its whole duration, so the
// writers, the renaming step and the main thread can share it.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tlv {

class TlvWrittenFiles {
public:
    // Starts a batch's list (an existing one is kept).
    void initWriteFilePathArray();
    // Ends the list; with removeFiles every listed file that exists is deleted first.
    void releaseWriteFilePathArray(bool removeFiles);
    void addWriteFilePath(const std::filesystem::path& path);
    void setWriteFilePathArray(std::vector<std::filesystem::path> paths);
    // Replaces the entry that is oldPath (a file published under another name than first chosen).
    void replaceWriteFilePath(const std::filesystem::path& oldPath, const std::filesystem::path& newPath);
    std::optional<std::filesystem::path> writeFilePathAtIndex(std::size_t index) const;
    std::vector<std::filesystem::path> cpyWriteFilePathArray() const;
    // Last path components without extension.
    std::vector<std::string> cpyWriteFileNameArray() const;
    // The entries whose files exist.
    std::vector<std::filesystem::path> filePathUrls() const;

private:
    mutable std::mutex mFilePathArrayLck;
    std::optional<std::vector<std::filesystem::path>> mWriteFilePathArray;
};

} // namespace tlv
