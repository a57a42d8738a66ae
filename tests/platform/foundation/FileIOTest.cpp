// Atomic writes that must not replace: an existing name is refused and left as it was, with no
// temporary file behind; a free name is written as usual. The modes files are given.
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#include "FileIO.h"
#include "TempFolder.h"

namespace {

const std::vector<std::uint8_t> kBytes{'n', 'e', 'w'};

TEST(FileIO, KeepingAnExistingFileRefusesItsNameAndLeavesNoTemporaryFile) {
    TempFolder folder;
    writeText(folder / "page.tif", "old");
    std::string error;
    EXPECT_FALSE(fnd::writeFileAtomically(folder / "page.tif", kBytes, &error, fnd::Existing::Keep));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_NE(error.find("page.tif"), std::string::npos);
    EXPECT_EQ(readText(folder / "page.tif"), "old");
    EXPECT_TRUE(fnd::writeFileAtomically(folder / "next.tif", kBytes, &error, fnd::Existing::Keep));
    EXPECT_EQ(readText(folder / "next.tif"), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
    // The default still replaces.
    EXPECT_TRUE(fnd::writeFileAtomically(folder / "page.tif", kBytes));
    EXPECT_EQ(readText(folder / "page.tif"), "new");
}

mode_t modeOf(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A new file follows the umask, as any file the user makes; an existing one keeps its mode, but no file
// is ever left for other users to change.
TEST(FileIO, WrittenFilesFollowTheUmaskAndAreNeverWritableByOthers) {
    TempFolder folder;
    const mode_t saved = ::umask(022);
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}, mode_t{0}}) {
        ::umask(mask);
        const auto file = folder / ("new-" + std::to_string(mask));
        EXPECT_TRUE(fnd::writeFileAtomically(file, kBytes));
        EXPECT_EQ(modeOf(file), (0666 & ~mask) & ~mode_t{S_IWOTH}) << std::oct << mask;
    }
    ::umask(022);
    const auto kept = folder / "kept";
    for (const auto& [before, after] :
         {std::pair{0600, 0600}, std::pair{0666, 0664}, std::pair{0640, 0640}}) {
        writeText(kept, "old");
        ::chmod(kept.c_str(), static_cast<mode_t>(before));
        EXPECT_TRUE(fnd::writeFileAtomically(kept, kBytes));
        EXPECT_EQ(modeOf(kept), static_cast<mode_t>(after)) << std::oct << before;
    }
    ::umask(saved);
}

} // namespace
