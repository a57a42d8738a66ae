// Two more users of the machine in tests, neither of them root (root passes every permission check):
// the victim, whose ids the test process takes while it does what a user of ours does, and the other
// user, who plants names in shared folders and runs programs of its own. Only root may switch users.
#pragma once

#include "EndsWithTheTest.h"
#include "TempFolder.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace test {

// "nobody" on Debian: an account that owns nothing of the tests'.
constexpr uid_t kOtherUid = 65534;
constexpr gid_t kOtherGid = 65534;
// No account of the machine: whatever the victim makes is the test's alone.
constexpr uid_t kVictimUid = 50123;
constexpr gid_t kVictimGid = 50123;

// Whether each folder on the way to folder, folder included, passes.
inline bool everyFolderOnTheWay(const std::filesystem::path& folder,
                                const std::function<bool(const char*)>& passes) {
    std::error_code error;
    for (std::filesystem::path step = std::filesystem::absolute(folder, error); !error;
         step = step.parent_path()) {
        if (!passes(step.c_str()))
            return false;
        if (step == step.root_path())
            return true;
    }
    return false;
}

// Whether every user may pass through each folder on the way to folder.
inline bool everyoneCanReach(const std::filesystem::path& folder) {
    return everyFolderOnTheWay(folder, [](const char* step) {
        struct stat st {};
        return ::stat(step, &st) == 0 && (st.st_mode & S_IXOTH) != 0;
    });
}

// Whether no one but root may plant, move or remove a name in a folder on the way to folder (in a sticky
// one nobody moves what is not theirs), as the scanner lock asks of the folders above its own.
inline bool onlyRootCanChange(const std::filesystem::path& folder) {
    return everyFolderOnTheWay(folder, [](const char* step) {
        struct stat st {};
        return ::lstat(step, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == 0 &&
               ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (st.st_mode & S_ISVTX) != 0);
    });
}

// Where shared folders are made: the temporary folder, else /tmp, whichever every user can reach, one
// that only root can change first. When neither can be reached, the temporary folder, and
// withoutOtherUser() says why tests with other users cannot run.
inline std::filesystem::path sharedFolderBase() {
    const std::filesystem::path candidates[] = {std::filesystem::temp_directory_path(), "/tmp"};
    for (const bool trusted : {true, false})
        for (const std::filesystem::path& base : candidates)
            if (everyoneCanReach(base) && (!trusted || onlyRootCanChange(base)))
                return base;
    return candidates[0];
}

// Why a test that needs a second user cannot run here; empty when it can.
inline std::string withoutOtherUser() {
    if (::geteuid() != 0)
        return "needs root to act as another user";
    if (!everyoneCanReach(sharedFolderBase()))
        return "needs a temporary folder other users can reach; neither $TMPDIR nor /tmp is";
    return "";
}

// A folder of the test's where every user may make names and none moves another's, as in /tmp, whatever
// the modes of the temporary folder and of /tmp: made by the test's user (root, in tests with other
// users) and removed with everything in it when the test ends.
class SharedFolder : public TempFolder {
public:
    SharedFolder() : TempFolder(sharedFolderBase()) {
        if (!path().empty())
            ::chmod(path().c_str(), 01777);
    }
};

// While it lives, the whole test process (every thread) and the children it starts act as the user
// given; made by root, and not nested. Root stays the saved id, so that the other user's children can
// still be made and the test returns to root at the end.
class ActingAs {
public:
    ActingAs(uid_t uid, gid_t gid) {
        groups_.resize(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
        groups_.resize(
            static_cast<size_t>(std::max(::getgroups(static_cast<int>(groups_.size()), groups_.data()), 0)));
        active_ =
            ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, 0) == 0 && ::setresuid(uid, uid, 0) == 0;
    }
    ~ActingAs() {
        if (::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0)
            ::setgroups(groups_.size(), groups_.data());
        // Changing ids made the process undumpable, which would keep the leak checker's tracer out.
        ::prctl(PR_SET_DUMPABLE, 1);
    }
    ActingAs(const ActingAs&) = delete;
    ActingAs& operator=(const ActingAs&) = delete;

    bool active() const { return active_; }

private:
    std::vector<gid_t> groups_;
    bool active_ = false;
};

// In a child: becomes the other user (also from the victim, whose saved id is root's); false when the
// ids could not be taken.
inline bool becomeOtherUser() {
    return ::setresuid(0, 0, 0) == 0 && ::setgroups(0, nullptr) == 0 && ::setgid(kOtherGid) == 0 &&
           ::setuid(kOtherUid) == 0;
}

// Runs body as the other user in a child process and waits for it: true when body answered true.
inline bool asOtherUser(const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(becomeOtherUser() && body() ? 0 : 1);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Starts argv as the other user (with this process's environment); its process id, -1 when the fork
// failed. The caller ends and reaps it.
inline pid_t startAsOtherUser(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t testProcess = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (becomeOtherUser()) {
            endWithTheTest(testProcess); // after the change of user, which clears it
            ::execv(args[0], args.data());
        }
        ::_exit(127);
    }
    return pid;
}

// Names another user plants where we look: a file of the mode given, and a Unix socket bound at path
// (its name stays when its process ends). 0, or -1 with errno.
inline int makeFile(const std::string& path, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
    return fd < 0 ? -1 : ::close(fd);
}
inline int bindSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    return fd < 0 ? -1 : ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

} // namespace test
