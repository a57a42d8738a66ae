// A test that must do something in a process of its own (take a resource limit or a mount namespace,
// or die half-way) runs itself again in a freshly started process of this program. Not a fork: another
// thread of this process (a worker an earlier test left idle) may hold a lock at that moment, and a
// forked child would wait on its copy of that lock for ever.
#pragma once

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

inline constexpr char kAloneVariable[] = "K3100_TEST_ALONE";

// True in the process that rerunAlone started.
inline bool runningAlone() {
    return std::getenv(kAloneVariable) != nullptr;
}

// Runs the current test again, on its own, in a new process of this program with kAloneVariable and
// the "NAME=value" entries of more set; its exit status, or -1 when it could not be started or did not
// end by itself.
inline int rerunAlone(std::vector<std::string> more = {}) {
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + test.test_suite_name() + "." + test.name();
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(filter.c_str()), nullptr};
    more.push_back(std::string(kAloneVariable) + "=1");
    std::vector<char*> env;
    for (std::string& entry : more)
        env.push_back(entry.data());
    for (char** variable = environ; *variable; ++variable)
        env.push_back(*variable);
    env.push_back(nullptr);
    std::fflush(stdout);
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), env.data()) != 0)
        return -1;
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace test
