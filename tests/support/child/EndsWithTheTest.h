// What a test starts ends with it, however the test ends (a failure, a crash, a sanitizer's report,
// ctest's time-out, which ends the test's process and its children but not what they detached).
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace test {

// In a child between fork and exec (async-signal-safe calls only), with the test's process id taken
// before the fork: the child gets signal when the test's thread that forked it ends, and leaves at once
// when the test has ended already.
inline void endWithTheTest(pid_t testProcess, int signal = SIGKILL) {
    ::prctl(PR_SET_PDEATHSIG, signal);
    if (::getppid() != testProcess)
        ::_exit(127);
}

// Programs that the test's programs start detached (a launcher's double fork) become the test's
// children instead of the system's, so that a time-out that ends the test's children ends them too.
inline void adoptDetachedPrograms() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

} // namespace test
