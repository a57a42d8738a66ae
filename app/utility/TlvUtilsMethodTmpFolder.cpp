// The temporary folder lives in a shared directory, so its name is never trusted: each folder is made
// fresh by mkdtemp (private, unpredictable), checked through its descriptor, and page files are made
// and opened relative to that descriptor without following links, never by path. The descriptor also
// holds an advisory lock for the folder's lifetime, so that a later start can tell the folders that a
// crashed instance left behind (lock free) from those of a running one, and remove only the former.
#include "TlvUtilsMethod.h"

#include "Bundle.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

fs::path baseFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? fs::path(tmp) : fs::path("/tmp");
}

// "Tlv_<VXDeviceName>_Tmp-<uid>.", the common start of this user's folder names.
std::string namePrefix() {
    const std::string* device = fnd::Bundle::main().infoValue("VXDeviceName").asString();
    return "Tlv_" + (device ? *device : std::string()) + "_Tmp-" + std::to_string(::getuid()) + ".";
}

// This user's own real folder that no other user may enter, and nobody else holds its lock.
bool isOwnPrivateFolder(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// A single file name inside the folder: no separator, no "." or "..".
bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

class TmpFolder {
public:
    static TmpFolder& shared() {
        static TmpFolder folder;
        return folder;
    }

    bool makeFresh() {
        std::lock_guard lock(mLock);
        forget(true);
        removeLeftFolders();
        // Made under a name no instance clears and locked before it takes its own, so that another
        // instance starting at the same moment never takes it for a crashed one's.
        std::string leaf = "."; // appended: GCC 12 warns falsely (-Wstringop-overflow) on "." + a string
        leaf += namePrefix();
        leaf += "XXXXXX";
        std::string made = (baseFolder() / leaf).string();
        if (!::mkdtemp(made.data()))
            return false;
        const int fd = ::open(made.c_str(), kDirFlags);
        if (fd >= 0)
            ::fchmod(fd, 0700); // a restrictive umask must not keep this user out
        if (fd < 0 || !isOwnPrivateFolder(fd)) {
            if (fd >= 0)
                ::close(fd);
            return false; // a folder made by mkdtemp that fails the checks is not ours to remove
        }
        const fs::path name = fs::path(made).parent_path() / fs::path(made).filename().string().substr(1);
        if (::renameat2(AT_FDCWD, made.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) != 0) {
            std::error_code ec;
            fs::remove_all(made, ec);
            ::close(fd);
            return false;
        }
        mFd = fd;
        mPath = name;
        return true;
    }

    bool remove() {
        std::lock_guard lock(mLock);
        return forget(true);
    }

    fs::path path() const {
        std::lock_guard lock(mLock);
        return mPath;
    }

    int openAt(std::string_view name, int flags) const {
        std::lock_guard lock(mLock);
        if (mFd < 0 || !isPlainName(name)) {
            errno = ENOENT;
            return -1;
        }
        return ::openat(mFd, std::string(name).c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    }

    bool unlinkAt(std::string_view name) const {
        std::lock_guard lock(mLock);
        return mFd >= 0 && isPlainName(name) && ::unlinkat(mFd, std::string(name).c_str(), 0) == 0;
    }

private:
    TmpFolder() = default;
    ~TmpFolder() { forget(false); }

    // Closes the folder's descriptor, removing the folder first when asked; false when there was none.
    bool forget(bool removeIt) {
        if (mFd < 0)
            return false;
        std::error_code ec;
        if (removeIt)
            fs::remove_all(mPath, ec);
        ::close(mFd);
        mFd = -1;
        mPath.clear();
        return !ec;
    }

    // Folders of this user whose lock nobody holds: left by an instance that did not end cleanly.
    static void removeLeftFolders() {
        const fs::path base = baseFolder();
        const std::string prefix = namePrefix();
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) != 0)
                continue;
            const int fd = ::open(entry.path().c_str(), kDirFlags);
            if (fd < 0)
                continue;
            if (isOwnPrivateFolder(fd))
                fs::remove_all(entry.path(), ec);
            ::close(fd);
        }
    }

    mutable std::mutex mLock;
    int mFd = -1;
    fs::path mPath;
};

std::optional<fs::path> makeSubFolder(const char* name) {
    const fs::path folder = TmpFolder::shared().path();
    if (folder.empty())
        return std::nullopt;
    const fs::path sub = folder / name;
    if (::mkdir(sub.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat st {};
    return ::lstat(sub.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? std::optional(sub) : std::nullopt;
}

} // namespace

fs::path TlvUtilsMethod::tmpImageFolderPath() {
    return TmpFolder::shared().path();
}

std::string TlvUtilsMethod::tmpBaseImageFileName(int pageIndex) {
    return "tmpImg_" + std::to_string(pageIndex);
}

fs::path TlvUtilsMethod::tmpBaseImageFilePath(int pageIndex) {
    return tmpImageFolderPath() / tmpBaseImageFileName(pageIndex);
}

int TlvUtilsMethod::createTmpFile(std::string_view name) {
    return TmpFolder::shared().openAt(name, O_RDWR | O_CREAT | O_EXCL);
}

int TlvUtilsMethod::openTmpFile(std::string_view name) {
    return TmpFolder::shared().openAt(name, O_RDONLY | O_NONBLOCK);
}

bool TlvUtilsMethod::removeTmpFile(std::string_view name) {
    return TmpFolder::shared().unlinkAt(name);
}

bool TlvUtilsMethod::createTmpFolder() {
    return TmpFolder::shared().makeFresh();
}

bool TlvUtilsMethod::removeTmpFolder() {
    return TmpFolder::shared().remove();
}

std::optional<fs::path> TlvUtilsMethod::createAndMultiFolderPath() {
    return makeSubFolder("Multi");
}

std::optional<fs::path> TlvUtilsMethod::createAndMailFolderPath() {
    return makeSubFolder("Mail");
}

void TlvUtilsMethod::removeMultiFolder() {
    const fs::path folder = tmpImageFolderPath();
    std::error_code ec;
    if (!folder.empty())
        fs::remove_all(folder / "Multi", ec);
}

std::optional<std::uint64_t> TlvUtilsMethod::tmpFolderRoom() {
    struct statvfs disk {};
    if (::statvfs(baseFolder().c_str(), &disk) != 0)
        return std::nullopt;
    return std::uint64_t{disk.f_bavail} * disk.f_frsize;
}
