// Library image files: raw ".ovk", record and bitmap round trips, and refusal of malformed or hostile
// files with the image left empty.
#include "CImgFile.h"
#include "TestImages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Ovk;
using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;
using pixentest::readFile;
using pixentest::TempDir;
using pixentest::writeFile;

namespace {

void putLe32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

void putLe16(std::string& bytes, std::size_t offset, std::uint32_t value) {
    bytes[offset] = static_cast<char>(value);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

// Loads path and expects the given refusal with the image left empty.
void expectRefused(const std::string& path, ImageFileError expected, bool bitmap) {
    CImgFile image(patterned(3, 3, 8, 1, RGBORDER_PIXEL));
    ImageFileError why = ImageFileError::None;
    EXPECT_FALSE(bitmap ? image.loadBmp(path.c_str(), &why) : image.loadOvk(path.c_str(), &why));
    EXPECT_EQ(why, expected);
    EXPECT_TRUE(image.isNull());
    EXPECT_EQ(image.getInfo().ulSize, 0u);
}

bool sameRecord(const tagIMAGEINFO& a, const tagIMAGEINFO& b) {
    tagIMAGEINFO x = a, y = b;
    x.lpImage = y.lpImage = nullptr;
    return std::memcmp(&x, &y, sizeof x) == 0;
}

} // namespace

TEST(CImgFile, OvkRoundTripKeepsRecordAndPixels) {
    TempDir dir;
    for (const CImg& source :
         {patterned(37, 11, 8, 3, RGBORDER_LINE), patterned(13, 5, 1, 1, RGBORDER_PIXEL)}) {
        CImgFile original(source);
        static_cast<tagIMAGEINFO*>(original)->lXpos = -4;
        static_cast<tagIMAGEINFO*>(original)->lYResolution = 150;
        const std::string path = dir / "page.ovk";
        ASSERT_TRUE(original.saveOvk(path.c_str()));
        const std::string file = readFile(path);
        ASSERT_EQ(file.size(), 52 + original.getImageSize());
        EXPECT_EQ(file.substr(0, 8), std::string("\x34\0\0\0\0\0\0\0", 8)); // size word 52, pointer 0

        CImgFile loaded;
        ASSERT_TRUE(loaded.loadOvk(path.c_str()));
        EXPECT_TRUE(sameRecord(loaded.getInfo(), original.getInfo()));
        EXPECT_EQ(bytesOf(loaded), bytesOf(original));
    }
    EXPECT_FALSE(CImgFile().saveOvk((dir / "empty.ovk").c_str()));
}

TEST(CImgFile, OvkLoaderRefusesMalformedFiles) {
    TempDir dir;
    const std::string good = dir / "good.ovk";
    ASSERT_TRUE(CImgFile(patterned(10, 4, 8, 1, RGBORDER_PIXEL)).saveOvk(good.c_str()));
    const std::string bytes = readFile(good);

    auto variant = [&](const std::string& name, std::string content) {
        writeFile(dir / name, content);
        return dir / name;
    };
    expectRefused(variant("short-header.ovk", bytes.substr(0, 30)), ImageFileError::SizeMismatch, false);
    expectRefused(variant("truncated.ovk", bytes.substr(0, bytes.size() - 1)), ImageFileError::SizeMismatch,
                  false);
    expectRefused(variant("trailing.ovk", bytes + "x"), ImageFileError::SizeMismatch, false);
    std::string sizeWord = bytes;
    putLe32(sizeWord, 0, 64);
    expectRefused(variant("size-word.ovk", sizeWord), ImageFileError::Format, false);
    std::string inconsistent = bytes;
    putLe32(inconsistent, 28, 41); // buffer size that does not match the geometry
    expectRefused(variant("inconsistent.ovk", inconsistent), ImageFileError::Geometry, false);
    // A consistent header declaring an image of nearly 4 GiB, in a file of a few bytes.
    std::string huge = bytes;
    putLe32(huge, 16, 65535);
    putLe32(huge, 20, 65535);
    putLe32(huge, 24, 65535);
    putLe32(huge, 28, 65535u * 65535u);
    expectRefused(variant("huge.ovk", huge), ImageFileError::TooLarge, false);
    expectRefused(dir / "missing.ovk", ImageFileError::Open, false);
    expectRefused(dir / "", ImageFileError::Open, false); // a folder
}

TEST(CImgFile, RecordFileRoundTripAndUntouchedRecordOnFailure) {
    TempDir dir;
    CImg image = patterned(7, 3, 8, 3, RGBORDER_PIXEL);
    const std::string path = dir / "page.inf";
    ASSERT_TRUE(CImgFile::saveImgInf(path.c_str(), image));
    EXPECT_EQ(readFile(path).size(), 52u);
    tagIMAGEINFO loaded{};
    ASSERT_TRUE(CImgFile::loadImgInf(path.c_str(), &loaded));
    EXPECT_TRUE(sameRecord(loaded, image.getInfo()));
    EXPECT_EQ(loaded.lpImage, nullptr);

    writeFile(dir / "short.inf", readFile(path).substr(0, 51));
    tagIMAGEINFO untouched{};
    untouched.lWidth = 99;
    EXPECT_FALSE(CImgFile::loadImgInf((dir / "short.inf").c_str(), &untouched));
    EXPECT_EQ(untouched.lWidth, 99);
    const tagIMAGEINFO emptyRecord{};
    EXPECT_FALSE(CImgFile::saveImgInf(path.c_str(), &emptyRecord));
}

TEST(CImgFile, BitmapRoundTripsGreyColourAndBinary) {
    TempDir dir;
    const std::string path = dir / "page.bmp";
    for (const CImg& source : {patterned(8, 5, 8, 1, RGBORDER_PIXEL), patterned(4, 6, 8, 3, RGBORDER_PIXEL),
                               patterned(32, 3, 1, 1, RGBORDER_PIXEL)}) {
        ASSERT_TRUE(CImgFile(source).saveBmp(path.c_str()));
        CImgFile loaded;
        ASSERT_TRUE(loaded.loadBmp(path.c_str()));
        EXPECT_EQ(loaded.getBps(), source.getBps());
        EXPECT_EQ(loaded.getSpp(), source.getSpp());
        EXPECT_EQ(loaded.getXResolution(), 300);
        EXPECT_EQ(bytesOf(loaded), bytesOf(source));
    }
}

TEST(CImgFile, BitmapLayoutOnDisk) {
    TempDir dir;
    const std::string path = dir / "colour.bmp";
    CImg colour;
    ASSERT_EQ(colour.createImg(1, 2, 8, 3, RGBORDER_LINE, 150, 300), 1);
    const std::uint8_t planes[2][3] = {{10, 20, 30}, {40, 50, 60}}; // line 0 red/green/blue, then line 1
    for (int line = 0; line < 2; ++line)
        for (int plane = 0; plane < 3; ++plane)
            colour.getLine(line, plane)[0] = planes[line][plane];
    ASSERT_TRUE(CImgFile(colour).saveBmp(path.c_str()));
    const std::string file = readFile(path);
    ASSERT_EQ(file.size(), 54u + 8);
    // Bottom row first, blue green red, padded to four bytes.
    EXPECT_EQ(file.substr(54), std::string("\x3C\x32\x28\0\x1E\x14\x0A\0", 8));

    CImgFile loaded;
    ASSERT_TRUE(loaded.loadBmp(path.c_str()));
    EXPECT_EQ(loaded.getRGBOrder(), RGBORDER_PIXEL);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(loaded.getImage()), 3), "\x0A\x14\x1E");
    EXPECT_EQ(loaded.getXResolution(), 149); // 5905 pixels per metre
    EXPECT_EQ(loaded.getYResolution(), 300);

    CImgFile sixteen;
    ASSERT_EQ(sixteen.createImg(4, 4, 16, 1, RGBORDER_PIXEL), 1);
    ImageFileError why = ImageFileError::None;
    EXPECT_FALSE(sixteen.saveBmp((dir / "sixteen.bmp").c_str(), &why));
    EXPECT_EQ(why, ImageFileError::Unsupported);
}

TEST(CImgFile, BitmapLoaderRefusesWhatItCannotRead) {
    TempDir dir;
    const std::string good = dir / "good.bmp";
    ASSERT_TRUE(CImgFile(patterned(8, 4, 8, 1, RGBORDER_PIXEL)).saveBmp(good.c_str()));
    const std::string bytes = readFile(good);
    auto variant = [&](const std::string& name, std::size_t offset, std::uint32_t value,
                       bool sixteenBit = false) {
        std::string content = bytes;
        sixteenBit ? putLe16(content, offset, value) : putLe32(content, offset, value);
        writeFile(dir / name, content);
        return dir / name;
    };
    expectRefused(variant("signature.bmp", 0, 'X', true), ImageFileError::Format, true);
    expectRefused(variant("v5-header.bmp", 14, 124), ImageFileError::Format, true);
    expectRefused(variant("sixteen.bmp", 28, 16, true), ImageFileError::Unsupported, true);
    expectRefused(variant("thirty-two.bmp", 28, 32, true), ImageFileError::Unsupported, true);
    expectRefused(variant("compressed.bmp", 30, 1), ImageFileError::Unsupported, true);
    expectRefused(variant("top-down.bmp", 22, static_cast<std::uint32_t>(-4)), ImageFileError::Unsupported,
                  true);
    expectRefused(variant("no-width.bmp", 18, 0), ImageFileError::Geometry, true);
    // Headers that claim more than the file holds, or more than any page.
    expectRefused(variant("tall.bmp", 22, 5), ImageFileError::SizeMismatch, true);
    expectRefused(variant("colours.bmp", 46, 0xFFFFFFu), ImageFileError::SizeMismatch, true);
    expectRefused(variant("huge.bmp", 18, 0x7FFFFFFF), ImageFileError::TooLarge, true);
    writeFile(dir / "stub.bmp", bytes.substr(0, 40));
    expectRefused(dir / "stub.bmp", ImageFileError::SizeMismatch, true);
}

TEST(CImgFile, PdfRefusesBadPathsAndOversizedPagesBeforeTheDocumentMaker) {
    TempDir dir;
    ImageFileError why = ImageFileError::None;
    const CImgFile page(patterned(16, 16, 8, 1, RGBORDER_PIXEL));
    EXPECT_FALSE(page.savePdf((dir / "page.tif").c_str(), false, 75, false, 0, 0, &why));
    EXPECT_EQ(why, ImageFileError::Path);
    CImgFile wide;
    ASSERT_EQ(wide.createImg(10201, 1, 1, 1, RGBORDER_PIXEL), 1);
    EXPECT_FALSE(wide.savePdf((dir / "wide.pdf").c_str(), false, 75, false, 0, 0, &why));
    EXPECT_EQ(why, ImageFileError::TooLarge);
    CImgFile sixteen;
    ASSERT_EQ(sixteen.createImg(4, 4, 16, 1, RGBORDER_PIXEL), 1);
    EXPECT_FALSE(sixteen.savePdf((dir / "deep.pdf").c_str(), false, 75, false, 0, 0, &why));
    EXPECT_EQ(why, ImageFileError::Unsupported);
}
