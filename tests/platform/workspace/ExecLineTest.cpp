// Exec lines become argument vectors by the quoting rules and the field codes, and an argument
// written with quoteExecArgument comes back unchanged whatever it holds.
#include "ExecLine.h"

#include <gtest/gtest.h>

using ws::Argv;

namespace {

ws::DesktopEntry entry(const std::string& exec) {
    return *ws::DesktopEntry::parse("[Desktop Entry]\nName=Viewer\nIcon=viewer\nExec=" + exec + "\n",
                                    "/usr/share/applications/viewer.desktop");
}

} // namespace

TEST(ExecLine, QuotingAndEscapes) {
    EXPECT_EQ(ws::splitExec(R"(app  "two words" "q\"uo\`te\$d\\" plain\x "")"),
              (Argv{"app", "two words", "q\"uo`te$d\\", "plain\\x", ""}));
    EXPECT_EQ(ws::splitExec(R"("/opt/My App/bin/app" --flag)"), (Argv{"/opt/My App/bin/app", "--flag"}));
    EXPECT_EQ(ws::splitExec(R"(app "unclosed)"), std::nullopt);
    // The file's own escapes come first: "\\\\" in the file is one backslash inside quotes.
    EXPECT_EQ(ws::splitExec(entry(R"(app "a\\\\b")").exec()), (Argv{"app", "a\\b"}));
}

TEST(ExecLine, SingleFileCodesRunOnceForEachFileAndListCodesOnceForAll) {
    const std::vector<std::filesystem::path> files{"/tmp/a b.pdf", "/tmp/c.pdf"};
    EXPECT_EQ(ws::expandExec(entry("viewer --open=%f"), files),
              (std::vector<Argv>{{"viewer", "--open=/tmp/a b.pdf"}, {"viewer", "--open=/tmp/c.pdf"}}));
    EXPECT_EQ(ws::expandExec(entry("viewer %U"), files),
              (std::vector<Argv>{{"viewer", "/tmp/a b.pdf", "/tmp/c.pdf"}}));
    EXPECT_EQ(ws::expandExec(entry("viewer %F"), {}), (std::vector<Argv>{{"viewer"}}));
    EXPECT_EQ(ws::expandExec(entry("viewer %u"), {}), (std::vector<Argv>{{"viewer"}}));
    EXPECT_EQ(ws::expandExec(entry("viewer --new"), files), (std::vector<Argv>{{"viewer", "--new"}}));
}

TEST(ExecLine, OtherFieldCodes) {
    EXPECT_EQ(ws::expandExec(entry("viewer %i %c %k 100%% %d %m %f"), {"/tmp/x%f"}),
              (std::vector<Argv>{{"viewer", "--icon", "viewer", "Viewer",
                                  "/usr/share/applications/viewer.desktop", "100%", "/tmp/x%f"}}));
    EXPECT_TRUE(ws::expandExec(entry(R"("unclosed %f)"), {"/tmp/a"}).empty());
    EXPECT_TRUE(ws::expandExec(entry(""), {"/tmp/a"}).empty());
    EXPECT_TRUE(ws::expandExec(entry("%f"), {}).empty());
}

TEST(ExecLine, QuotedArgumentsComeBackIntact) {
    const Argv awkward{"/opt/K3100 Apps/tap well",
                       "it's \"quoted\"",
                       "$HOME; rm -rf ~",
                       "back\\slash",
                       "`id`",
                       "50% & more",
                       "tab\there",
                       "new\nline",
                       " lead",
                       "plain"};
    // Appended piece by piece: a separator put before each quoted argument (a literal plus a temporary
    // string, an insert at its front) made GCC 12 warn of an overlapping copy that cannot happen.
    std::string exec;
    for (const std::string& arg : awkward) {
        if (!exec.empty())
            exec += ' ';
        exec += ws::quoteExecArgument(arg);
    }
    // Through a file, as a login item writes it.
    const auto parsed = ws::DesktopEntry::parse("[Desktop Entry]\nExec=" + ws::escapeValue(exec) + "\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ws::expandExec(*parsed, {}), std::vector<Argv>{awkward});
}
