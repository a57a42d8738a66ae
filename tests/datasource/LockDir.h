// A private lock folder per test process, so that tests running side by side never share the scanner
// lock of a real session or of each other.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace test {

class LockDir {
public:
    // parent: where the folder is made (tests with another user need one that user can reach).
    explicit LockDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        std::string pattern = (parent / "k3100-lock-XXXXXX").string();
        mPath = mkdtemp(pattern.data()) ? pattern : std::string();
        setenv("K3100_LOCK_DIR", mPath.c_str(), 1);
    }
    ~LockDir() {
        unsetenv("K3100_LOCK_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    LockDir(const LockDir&) = delete;
    LockDir& operator=(const LockDir&) = delete;

    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

} // namespace test
