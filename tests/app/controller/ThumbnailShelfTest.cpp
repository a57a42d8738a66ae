// The batch's thumbnails beyond the latest few lie in the temporary folder and come back as they went.
#include "TlvThumbnailShelf.h"
#include "TlvUtilsMethod.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using tlv::TlvThumbnail;
using tlv::TlvThumbnailShelf;

// A colour thumbnail whose every byte tells its page.
std::shared_ptr<const TlvThumbnail> thumbnailOf(int page) {
    return std::make_shared<const TlvThumbnail>(
        TlvThumbnail{5, 3, 24, 16, std::vector<std::uint8_t>(16 * 3, static_cast<std::uint8_t>(page + 1))});
}

std::size_t thumbnailFiles() {
    std::size_t count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(TlvUtilsMethod::tmpImageFolderPath()))
        count += entry.path().filename().string().starts_with("tmpThumb_") ? 1 : 0;
    return count;
}

class ThumbnailShelf : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tlv-thumbs-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        setenv("TMPDIR", dir.c_str(), 1);
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
    }
    void TearDown() override {
        TlvUtilsMethod::removeTmpFolder();
        unsetenv("TMPDIR");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
};

TEST_F(ThumbnailShelf, ALongBatchKeepsAFewInMemoryAndEveryPageComesBackWhole) {
    constexpr int kPages = 30;
    {
        TlvThumbnailShelf shelf;
        for (int page = 0; page < kPages; ++page)
            shelf.add(page == 4 ? nullptr : thumbnailOf(page));
        EXPECT_EQ(shelf.inMemoryCount(), TlvThumbnailShelf::kInMemory);
        EXPECT_EQ(thumbnailFiles(), kPages - 1 - TlvThumbnailShelf::kInMemory);
        for (int page = 0; page < kPages; ++page) {
            const auto thumbnail = shelf.at(static_cast<std::size_t>(page));
            if (page == 4) {
                EXPECT_EQ(thumbnail, nullptr);
                continue;
            }
            ASSERT_NE(thumbnail, nullptr) << page;
            EXPECT_EQ(thumbnail->width, 5);
            EXPECT_EQ(thumbnail->height, 3);
            EXPECT_EQ(thumbnail->bitsPerPixel, 24);
            EXPECT_EQ(thumbnail->bytesPerRow, 16);
            EXPECT_EQ(thumbnail->pixels, thumbnailOf(page)->pixels) << page;
        }
        EXPECT_EQ(shelf.at(kPages), nullptr);

        // Pages dropped from the end take their files; the next page takes the first free place.
        shelf.dropAfter(10);
        EXPECT_EQ(thumbnailFiles(), 9u);
        shelf.add(thumbnailOf(70));
        EXPECT_EQ(shelf.at(10)->pixels, thumbnailOf(70)->pixels);
        EXPECT_EQ(shelf.at(11), nullptr);
    }
    EXPECT_EQ(thumbnailFiles(), 0u);
}

TEST_F(ThumbnailShelf, WithoutAFolderToWriteToThumbnailsStayInMemory) {
    TlvUtilsMethod::removeTmpFolder();
    TlvThumbnailShelf shelf;
    for (int page = 0; page < 12; ++page)
        shelf.add(thumbnailOf(page));
    for (int page = 0; page < 12; ++page)
        EXPECT_EQ(shelf.at(static_cast<std::size_t>(page))->pixels, thumbnailOf(page)->pixels) << page;
}

} // namespace
