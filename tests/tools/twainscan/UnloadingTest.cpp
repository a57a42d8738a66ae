// A data source that an application loads, uses and unloads again leaves nothing of its own behind in the
// shared foundation, which stays for the life of the process: the run loop holds no more timers after a
// batch than before it, and a third party's application that unloads the source manager (which unloads
// the data source at its close) ends without running freed code.
#include <fstream>
#include <sstream>

#include "RunLoop.h"
#include "ScanHarness.h"

namespace e2e {
namespace {

class Unloading : public ScanHarness {};

TEST_F(Unloading, ABatchLeavesNoTimersInTheRunLoop) {
    const std::size_t before = fnd::RunLoop::main().timerCount();
    const SBatch batch = Scan({"gen:ramp-a4 20"}, {"--pixel-type", "bw", "--resolution", "150"});
    EXPECT_EQ(batch.error, "");
    EXPECT_EQ(batch.pages.size(), 20u);
    EXPECT_EQ(fnd::RunLoop::main().timerCount(), before);
}

TEST_F(Unloading, AnApplicationThatUnloadsTheManagerEndsCleanly) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 3"}));
    const std::string log = (mDir / "client.log").string();
    const pid_t client = test::spawnLogged({UNLOADING_CLIENT, (mBuild / "lib" / DSM_SONAME).string()}, log);
    const int status = test::exitStatus(client);
    std::stringstream output;
    output << std::ifstream(log).rdbuf();
    EXPECT_EQ(status, 0) << output.str();
    EXPECT_NE(output.str().find("pages: 3"), std::string::npos) << output.str();
}

} // namespace
} // namespace e2e
