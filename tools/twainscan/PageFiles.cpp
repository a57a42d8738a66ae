// The probe is a real temporary file rather than access(): that also catches read-only mounts, full
// quotas and the superuser on folders such as /proc, where access() says yes and every write fails.
#include "PageFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "FileIO.h"
#include "TwainSession.h"

namespace twainscan {
namespace {

constexpr int kLastNumber = 9999;  // four digits in the file name
constexpr int kPublishTries = 100; // names taken by another writer meanwhile are skipped

void ProbeWritable(const std::filesystem::path& folder) {
    std::string probe = (folder / ".twainscan-probe.XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        throw ScanError("cannot write into the folder " + folder.string() + ": " + std::strerror(errno));
    ::close(fd);
    ::unlink(probe.c_str());
}

} // namespace

CPageFiles::CPageFiles(const std::filesystem::path& folder, const std::string& prefix)
    : mFolder(folder), mPrefix(prefix) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder))
        throw ScanError("cannot create the folder " + folder.string());
    ProbeWritable(folder);
    mNext = HighestExisting() + 1;
    if (mNext > kLastNumber)
        throw NoFreeNumber();
}

ScanError CPageFiles::NoFreeNumber() const {
    return ScanError("no free page number left in " + mFolder.string() + " for " + mPrefix);
}

std::filesystem::path CPageFiles::Name(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "-%04d.tif", number);
    return mFolder / (mPrefix + name);
}

int CPageFiles::HighestExisting() const {
    int highest = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(mFolder, error)) {
        const std::string name = entry.path().filename().string();
        const std::size_t digits = mPrefix.size() + 1;
        if (name.size() != digits + 8 || name.compare(0, mPrefix.size(), mPrefix) != 0 ||
            name[mPrefix.size()] != '-' || name.compare(digits + 4, 4, ".tif") != 0)
            continue;
        const std::string number = name.substr(digits, 4);
        if (number.find_first_not_of("0123456789") == std::string::npos)
            highest = std::max(highest, std::stoi(number));
    }
    return highest;
}

std::filesystem::path CPageFiles::Write(std::span<const std::uint8_t> bytes) {
    for (int tries = 0; tries < kPublishTries && mNext <= kLastNumber; ++tries) {
        const std::filesystem::path path = Name(mNext++);
        std::string error;
        if (fnd::writeFileAtomically(path, bytes, &error, fnd::Existing::Keep))
            return path;
        if (errno != EEXIST)
            throw ScanError(error);
    }
    throw NoFreeNumber();
}

} // namespace twainscan
