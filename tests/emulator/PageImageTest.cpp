// Sheet images from files: the formats the emulator reads and the broken files it refuses.
#include "PageImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace k3100::emu {
namespace {

class PageImageFiles : public ::testing::Test {
protected:
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("k3100-page-" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const char* name, const std::string& bytes) {
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(PageImageFiles, GreyAndColourPnm) {
    std::string error;
    const auto grey = PageImage::load(
        write("g.pgm", std::string("P5\n# comment\n3 2\n255\n") + std::string("\x00\x80\xff\x10\x20\x30", 6)),
        error);
    ASSERT_TRUE(grey) << error;
    EXPECT_EQ(grey->width(), 3);
    EXPECT_EQ(grey->pixel(1, 0)[2], 0x80);
    EXPECT_EQ(grey->pixel(2, 1)[0], 0x30);

    const auto colour = PageImage::load(write("c.ppm", std::string("P6 1 1 255\n") + "\x01\x02\x03"), error);
    ASSERT_TRUE(colour) << error;
    EXPECT_EQ(colour->pixel(0, 0)[2], 3);
}

TEST_F(PageImageFiles, BrokenFilesAreRefused) {
    std::string error;
    EXPECT_FALSE(PageImage::load(write("t.pgm", "P5 4 4 255\n\x01\x02"), error));
    EXPECT_NE(error.find("truncated"), std::string::npos);
    EXPECT_FALSE(PageImage::load(write("huge.pgm", "P5 99999999 99999999 255\n"), error));
    EXPECT_FALSE(PageImage::load(write("deep.pgm", "P5 1 1 65535\n\x00\x00"), error));
    EXPECT_FALSE(PageImage::load(write("tiff.tif", "II*\0garbage"), error));
    EXPECT_FALSE(PageImage::load(write("x.txt", "hello"), error));
    EXPECT_FALSE(PageImage::load((dir / "missing").string(), error));
}

TEST(PageImageGenerated, RampRunsFromWhiteToBlack) {
    const PageImage ramp = PageImage::ramp(10200, 13200, 100);
    EXPECT_EQ(ramp.width(), 850);
    EXPECT_EQ(ramp.height(), 1100);
    EXPECT_EQ(ramp.pixel(0, 0)[0], 255);
    EXPECT_LT(ramp.pixel(849, 0)[0], 5);
    EXPECT_EQ(ramp.pixel(400, 30)[0], 0) << "bar";
}

} // namespace
} // namespace k3100::emu
