// A document whose writer dies leaves nothing a user sees in the folder; where a hidden name has to stand
// in, the next file staged there clears it away, but never the file of a writer still at work.
#include "RerunAlone.h"
#include "StagedFile.h"
#include "test_pages.h"
#include "vellumv2.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

constexpr char kFolderVariable[] = "K3100_TEST_FOLDER";

// Runs work on folder in a process of its own that then dies without cleaning up, as a crash would. Its
// own scratch folders lie in this process's, which go when this process ends.
template <typename Work> void dieAfter(const std::string& folder, Work work) {
    if (test::runningAlone()) {
        work(std::string(std::getenv(kFolderVariable)));
        ::_exit(0);
    }
    EXPECT_EQ(test::rerunAlone({std::string(kFolderVariable) + "=" + folder,
                                "TMPDIR=" + fs::path(folder).parent_path().string()}),
              0);
}

TEST(StagedFile, DocumentOfAWriterThatDiedLeavesNothing) {
    const std::string folder = vlmtest::scratchFolder("died");
    const vlmtest::Page page = vlmtest::toBw(vlmtest::renderText({"Half a batch"}, 150, 300, 100));
    dieAfter(folder, [&page](const std::string& where) {
        const PdfPageImageDesc desc = page.desc();
        if (VLMC_exmodeset(VLM_MODE_PLAIN, 0, 0) == VLM_OK &&
            VLMC_exopen((where + "/batch.pdf").c_str(), VLM_OPEN_PDF, 0) == VLM_OK)
            VLMC_spmake(&desc, nullptr);
    });
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{});
}

TEST(StagedFile, HiddenNamesOfWritersThatDiedGoAtTheNextStart) {
    const std::string folder = vlmtest::scratchFolder("hidden");
    const std::string target = folder + "/scan.pdf";
    dieAfter(folder, [](const std::string& where) {
        fnd::StagedFile::create(where + "/scan.pdf", fnd::StagedFile::Naming::HiddenName).release();
    });
    ASSERT_EQ(namesIn(folder).size(), 1u);
    EXPECT_EQ(namesIn(folder)[0].rfind(".scan.pdf.", 0), 0u) << namesIn(folder)[0];

    const auto first = fnd::StagedFile::create(target, fnd::StagedFile::Naming::HiddenName);
    ASSERT_TRUE(first);
    EXPECT_EQ(namesIn(folder).size(), 1u); // the dead writer's file went, this one's came
    const auto second = fnd::StagedFile::create(folder + "/other.pdf", fnd::StagedFile::Naming::HiddenName);
    ASSERT_TRUE(second);
    EXPECT_EQ(namesIn(folder).size(), 2u); // a living writer's file stays
    ASSERT_TRUE(first->publish(target));
    EXPECT_FALSE(second->publish(target)); // never over a file that is there
    EXPECT_EQ(errno, EEXIST);
    ASSERT_TRUE(second->publish(folder + "/other.pdf"));
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"other.pdf", "scan.pdf"}));
}

TEST(StagedFile, OthersMayNeverChangeThePublishedFile) {
    const std::string folder = vlmtest::scratchFolder("mode");
    const mode_t saved = ::umask(0);
    const auto file = fnd::StagedFile::create(folder + "/open.jpg");
    ::umask(saved);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->publish(folder + "/open.jpg"));
    EXPECT_EQ(fs::status(folder + "/open.jpg").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::group_write | fs::perms::others_read);
}

} // namespace
