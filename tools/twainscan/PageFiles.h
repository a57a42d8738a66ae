// Where twainscan's pages go: PREFIX-NNNN.tif in the output folder, numbered on after the highest page
// already there, so that a second batch into the same folder never replaces the pages of the first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace twainscan {

class ScanError;

class CPageFiles {
public:
    // Creates the folder when needed and proves that a file can be made in it and that a page number is
    // free, so that a folder that cannot take the pages fails the run before the first sheet is fed.
    // Throws ScanError.
    CPageFiles(const std::filesystem::path& folder, const std::string& prefix);

    // Publishes one page's bytes under the next free number, never over an existing file; its path.
    std::filesystem::path Write(std::span<const std::uint8_t> bytes);
    int NextNumber() const { return mNext; }

private:
    std::filesystem::path Name(int number) const;
    int HighestExisting() const;
    ScanError NoFreeNumber() const;

    std::filesystem::path mFolder;
    std::string mPrefix;
    int mNext = 1;
};

} // namespace twainscan
