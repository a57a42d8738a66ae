// A desktop tool's answer is read only when it ran to a clean end in time; a hung one is killed.
#include "Tools.h"

#include <gtest/gtest.h>

TEST(Tools, AnswerOnlyFromAToolThatFinishedCleanlyInTime) {
    EXPECT_EQ(ws::runTool("sh", {"-c", "printf 'a\\nb\\n\\n'"}), "a\nb");
    EXPECT_EQ(ws::runTool("sh", {"-c", "echo partial; exit 3"}), std::nullopt);
    EXPECT_EQ(ws::runTool("no-such-program-k3100", {}), std::nullopt);
    EXPECT_EQ(ws::runTool("", {}), std::nullopt);
    EXPECT_EQ(ws::runTool("sleep", {"10"}, 100), std::nullopt);
}
