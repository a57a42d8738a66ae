// Atomic writes that must not replace: an existing name is refused and left as it was, with no
// temporary file behind; a free name is written as usual. The modes files are given.
#include <gtest/gtest.h>

#include <unistd.h>

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

// A streamed write that fails part-way leaves the old file as it was and no temporary file; one that
// succeeds replaces it with what it wrote.
TEST(FileIO, StreamedWriteReplacesOnlyWhenTheWriterSucceeds) {
    TempFolder folder;
    writeText(folder / "page.jpg", "old");
    const auto partly = [](int fd) {
        EXPECT_EQ(::write(fd, "ne", 2), 2);
        return false; // gives up after part of the file
    };
    EXPECT_FALSE(fnd::writeFileAtomically(folder / "page.jpg", partly));
    EXPECT_EQ(readText(folder / "page.jpg"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    const auto whole = [](int fd) { return ::write(fd, "new", 3) == 3; };
    EXPECT_TRUE(fnd::writeFileAtomically(folder / "page.jpg", whole));
    EXPECT_EQ(readText(folder / "page.jpg"), "new");
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
    const std::pair<mode_t, mode_t> newFiles[] = {{022, 0644}, {077, 0600}, {002, 0664}, {0, 0664}};
    for (const auto& [mask, mode] : newFiles) {
        ::umask(mask);
        const auto file = folder / ("new-" + std::to_string(mask));
        EXPECT_TRUE(fnd::writeFileAtomically(file, kBytes));
        EXPECT_EQ(modeOf(file), mode) << std::oct << mask;
    }
    ::umask(022);
    const std::pair<mode_t, mode_t> existing[] = {{0600, 0600}, {0666, 0664}, {0640, 0640}};
    for (const auto& [before, after] : existing) {
        writeText(folder / "kept", "old");
        ::chmod((folder / "kept").c_str(), before);
        EXPECT_TRUE(fnd::writeFileAtomically(folder / "kept", kBytes));
        EXPECT_EQ(modeOf(folder / "kept"), after) << std::oct << before;
    }
    ::umask(saved);
}

} // namespace
