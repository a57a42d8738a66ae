// Atomic writes that must not replace: an existing name is refused and left as it was, with no
// temporary file behind; a free name is written as usual.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>

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

} // namespace
