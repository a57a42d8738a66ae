// Raw pages into bitmaps: each depth with each quarter turn against the pixel mapping written out
// directly, the form each format wants, and raw files or records that cannot be trusted.
#include "OutputTestSupport.h"

#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"

namespace outtest {
namespace {

using tlv::TlvPageImage;

// Sample s of pixel (x, y) of a bitmap: bits for 1-bit pages, bytes otherwise.
int sampleAt(const std::vector<std::uint8_t>& pixels, std::uint64_t rowBytes, int bpp, int x, int y, int s) {
    const std::uint8_t* row = pixels.data() + rowBytes * y;
    if (bpp == 1)
        return (row[x / 8] >> (7 - x % 8)) & 1;
    return row[x * (bpp / 8) + s];
}

// Where destination pixel (c, r) comes from in a W x H source turned clockwise by turns.
std::pair<int, int> sourceOf(int c, int r, int W, int H, int turns) {
    switch (turns) {
    case 1:
        return {r, H - 1 - c};
    case 2:
        return {W - 1 - c, H - 1 - r};
    case 3:
        return {W - 1 - r, c};
    default:
        return {c, r};
    }
}

std::string failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const tlv::TlvOutputFailure& failure) {
        return failure.key();
    }
    return "none";
}

class PageReader : public OutputTest {};

TEST_F(PageReader, EveryDepthAndQuarterTurnMapsEachPixel) {
    for (int bpp : {1, 8, 24}) {
        for (int turns = 0; turns < 4; ++turns) {
            const RawPage raw{bpp, 21, 13, 300, 150, turns}; // odd sizes: bits straddle bytes
            const TlvPageImage page = tlv::readPageImage(writeRawPage(raw, 0));
            const bool odd = turns % 2 == 1;
            ASSERT_EQ(page.bitmap.width, static_cast<uint32_t>(odd ? raw.height : raw.width));
            ASSERT_EQ(page.bitmap.height, static_cast<uint32_t>(odd ? raw.width : raw.height));
            EXPECT_EQ(page.bitmap.xResolution, odd ? 150.0f : 300.0f);
            EXPECT_EQ(page.bitmap.yResolution, odd ? 300.0f : 150.0f);
            const std::vector<std::uint8_t> src = rawPixels(raw, 0);
            const auto srcRow = tlv::bytesPerRowByImgSetting(bpp, raw.width);
            int wrong = 0;
            for (int r = 0; r < static_cast<int>(page.bitmap.height); ++r) {
                for (int c = 0; c < static_cast<int>(page.bitmap.width); ++c) {
                    const auto [sx, sy] = sourceOf(c, r, raw.width, raw.height, turns);
                    for (int s = 0; s < (bpp == 24 ? 3 : 1); ++s)
                        wrong += sampleAt(page.bitmap.pixels, page.bitmap.bytesPerRow, bpp, c, r, s) !=
                                 sampleAt(src, srcRow, bpp, sx, sy, s);
                }
            }
            EXPECT_EQ(wrong, 0) << bpp << " bits, " << turns << " turns";
        }
    }
}

TEST_F(PageReader, FourQuarterTurnsGiveTheOriginal) {
    const RawPage raw{1, 19, 11};
    TlvPageImage page = tlv::readPageImage(writeRawPage(raw, 0));
    std::vector<std::uint8_t> original = page.bitmap.pixels;
    for (size_t last = 2; last < original.size(); last += 3)
        original[last] &= 0xE0; // 19 pixels: the row's last five bits are padding
    for (int i = 0; i < 4; ++i)
        tlv::rotateImageRep(page, 1);
    EXPECT_EQ(page.bitmap.pixels, original);
}

TEST_F(PageReader, EachFormatGetsItsForm) {
    const fnd::Dictionary bw = writeRawPage({1, 16, 4}, 0), colour = writeRawPage({24, 5, 4}, 1);
    for (int format : {tlv::kFormatPDF, tlv::kFormatTIFF, tlv::kFormatJPEG}) {
        TlvPageImage page = tlv::readPageImage(bw);
        const std::uint8_t first = page.bitmap.pixels[0];
        writer->formatWriter(format).bringIntoForm(page);
        const bool inverted = format != tlv::kFormatJPEG;
        EXPECT_EQ(page.bitmap.pixels[0], inverted ? static_cast<std::uint8_t>(~first) : first);
        EXPECT_EQ(page.oneIsBlack, inverted);

        page = tlv::readPageImage(colour);
        const std::vector<std::uint8_t> rgb = page.bitmap.pixels;
        writer->formatWriter(format).bringIntoForm(page); // colour pages are never inverted
        const bool swapped = format == tlv::kFormatPDF;
        EXPECT_EQ(page.bitmap.pixels[0], swapped ? rgb[2] : rgb[0]);
        EXPECT_EQ(page.bitmap.pixels[2], swapped ? rgb[0] : rgb[2]);
        EXPECT_EQ(page.bitmap.pixels[1], rgb[1]);
    }
}

TEST_F(PageReader, UntrustworthyFilesAndRecordsAreRefused) {
    const fs::path folder = TlvUtilsMethod::tmpImageFolderPath();
    fnd::Dictionary record = writeRawPage({8, 30, 20}, 0);
    fs::resize_file(folder / "tmpImg_0", 30 * 20 - 1); // one byte short
    EXPECT_EQ(failureOf([&] { tlv::readPageImage(record); }), tlv::kErrFileDecode);
    fs::remove(folder / "tmpImg_0");
    EXPECT_EQ(failureOf([&] { tlv::readPageImage(record); }), tlv::kNoErrOnlyThrow);

    record = writeRawPage({8, 30, 20}, 0);
    for (const char* key : {ImgInfo_WidthKey, ImgInfo_HeightKey, ImgInfo_XResKey, ImgInfo_YResKey}) {
        fnd::Dictionary zero = record;
        zero.set(key, 0);
        EXPECT_EQ(failureOf([&] { tlv::readPageImage(zero); }), tlv::kErrFileDecode) << key;
    }
    fnd::Dictionary huge = record; // a size the file cannot hold is never allocated
    huge.set(ImgInfo_WidthKey, 1 << 20);
    huge.set(ImgInfo_HeightKey, 1 << 20);
    EXPECT_EQ(failureOf([&] { tlv::readPageImage(huge); }), tlv::kErrFileDecode);
    fnd::Dictionary outside = record;
    outside.set(ImgInfo_NameKey, "../tmpImg_0");
    EXPECT_EQ(failureOf([&] { tlv::readPageImage(outside); }), tlv::kErrFileDecode);
    fnd::Dictionary depth = record;
    depth.set(ImgInfo_bppKey, 16);
    EXPECT_EQ(failureOf([&] { tlv::readPageImage(depth); }), tlv::kErrFileDecode);
}

} // namespace
} // namespace outtest
