// Pages of each depth and quarter turn to TIFF and JPEG files: decoded again with libtiff, and checked
// with tiffinfo, tiffdump and ImageMagick's identify.
#include "OutputTestSupport.h"

#include "TlvCreateJPEG.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"
#include "test_pages.h"

#include <thread>
#include <tiffio.h>

namespace outtest {
namespace {

// The samples a reader should find: the raw page turned, and 1-bit pages stored with 1 = black.
std::vector<std::uint8_t> expectedSamples(const RawPage& page, int index) {
    tlv::TlvPageImage image = tlv::readPageImage(writeRawPage(page, index) /* the same bytes again */);
    tlv::reversalImageBW(image);
    return image.bitmap.pixels;
}

// Every directory of the file decoded, against the pages it should hold.
void expectTiffPages(const fs::path& path, const std::vector<RawPage>& pages, int firstIndex) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr) << path;
    EXPECT_EQ(TIFFNumberOfDirectories(tiff), pages.size());
    for (size_t k = 0; k < pages.size(); ++k) {
        ASSERT_TRUE(TIFFSetDirectory(tiff, static_cast<tdir_t>(k)));
        const std::vector<std::uint8_t> expected =
            expectedSamples(pages[k], firstIndex + static_cast<int>(k));
        std::uint32_t width = 0, height = 0;
        std::uint16_t photometric = 0, compression = 0;
        float xres = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xres);
        const bool odd = pages[k].rotation % 2 == 1;
        EXPECT_EQ(width, static_cast<std::uint32_t>(odd ? pages[k].height : pages[k].width));
        EXPECT_EQ(xres, static_cast<float>(odd ? pages[k].yRes : pages[k].xRes));
        EXPECT_EQ(compression, pages[k].bpp == 1 ? COMPRESSION_CCITTFAX4 : COMPRESSION_NONE);
        EXPECT_EQ(photometric, pages[k].bpp == 1   ? PHOTOMETRIC_MINISWHITE
                               : pages[k].bpp == 8 ? PHOTOMETRIC_MINISBLACK
                                                   : PHOTOMETRIC_RGB);
        std::vector<std::uint8_t> got(expected.size());
        const size_t row = got.size() / height;
        for (std::uint32_t y = 0; y < height; ++y)
            ASSERT_EQ(TIFFReadScanline(tiff, got.data() + row * y, y, 0), 1);
        if (pages[k].bpp == 1) // padding bits of each row are free
            for (size_t i = row - 1; i < got.size(); i += row)
                got[i] = expected[i];
        EXPECT_EQ(got, expected) << path << " page " << k;
    }
    TIFFClose(tiff);
}

class TiffJpegWriter : public OutputTest {};

TEST_F(TiffJpegWriter, EveryDepthAndTurnToTiffGroupedEveryThreePages) {
    const std::vector<RawPage> pages = addEveryDepthAndTurn();
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.imgFileName = "Scan_001.tiff";
    host.options.ffMultiTypeTIFF = 1;
    host.options.multiPageNumTIFF = 3;
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{});
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::PagesWritten});
    const std::vector<fs::path> files = savedFiles();
    ASSERT_EQ(files.size(), 4u);
    for (size_t f = 0; f < files.size(); ++f) {
        expectTiffPages(files[f], {pages.begin() + f * 3, pages.begin() + f * 3 + 3},
                        static_cast<int>(f * 3));
        EXPECT_EQ(vlmtest::run("tiffdump '" + files[f].string() + "' | head -2 | tail -1").substr(0, 13),
                  "Magic: 0x4949");
        EXPECT_EQ(vlmtest::run("identify '" + files[f].string() + "' | wc -l"), "3\n");
    }
    // The bilevel group: G4, white is zero, the resolution turned with the page.
    const std::string info = vlmtest::run("tiffinfo '" + files[0].string() + "' 2>&1");
    EXPECT_NE(info.find("Compression Scheme: CCITT Group 4"), std::string::npos) << info;
    EXPECT_NE(info.find("Photometric Interpretation: min-is-white"), std::string::npos) << info;
    EXPECT_NE(info.find("Resolution: 200, 300 pixels/inch"), std::string::npos) << info;
    // The children were appended and went.
    const std::optional<fs::path> multi = TlvUtilsMethod::createAndMultiFolderPath();
    ASSERT_TRUE(multi);
    EXPECT_TRUE(fs::is_empty(*multi));
}

TEST_F(TiffJpegWriter, AllPagesInOneTiff) {
    const std::vector<RawPage> pages = addEveryDepthAndTurn();
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.imgFileName = "All.tiff";
    reader->readImgFiles(host.batch());
    ASSERT_EQ(savedFiles(), std::vector<fs::path>{saveFolder / "All.tiff"});
    expectTiffPages(saveFolder / "All.tiff", pages, 0);
    EXPECT_EQ(vlmtest::run("identify '" + (saveFolder / "All.tiff").string() + "' | wc -l"), "12\n");
}

TEST_F(TiffJpegWriter, ContinuingPageWithoutItsGroupFileFails) {
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.imgFileName = "Scan_001.tiff";
    addPage({8, 30, 20});
    addPage({8, 30, 20});
    const tlv::TlvOutputOptions options = host.options;
    const tlv::TlvPageImage page = reader->imageRepByIndex(0);
    writer->exeWriteImgFiles(host.batch(), 0, page, options, false, std::nullopt, std::nullopt);
    writer->formatWriter(tlv::kFormatTIFF).abandon();
    try {
        writer->exeWriteImgFiles(host.batch(), 1, page, options, true, std::nullopt, std::nullopt);
        ADD_FAILURE() << "the page was lost without a failure";
    } catch (const tlv::TlvOutputFailure& failure) {
        EXPECT_EQ(failure.key(), tlv::kErrTiffAddPage);
    }
    EXPECT_TRUE(fs::is_empty(*TlvUtilsMethod::createAndMultiFolderPath()));
}

TEST_F(TiffJpegWriter, JobPagesArriveOutOfOrderAndAreJoinedInPageOrder) {
    host.scanMode = tlv::kScanModeJOB;
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.imgFileName = "Job.tiff";
    host.setState(102);
    const std::vector<RawPage> pages{{8, 30, 20}, {24, 20, 30}, {1, 40, 10}, {8, 12, 12}};
    for (const RawPage& page : pages)
        addPage(page);
    std::vector<std::thread> threads; // the page threads start the wrong way round
    for (int i = static_cast<int>(pages.size()) - 1; i >= 0; --i)
        threads.emplace_back(
            [this, i] { reader->readImgFileForJobScn(host.batch(), *host.imgInfoAtIndex(i), i); });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(host.errors(), std::vector<std::string>{});
    EXPECT_TRUE(savedFiles().empty()); // a running scan closes the file later
    writer->checkClosePDF(host.batch());
    expectTiffPages(saveFolder / "Job.tiff", {pages[0], pages[1], pages[2], pages[3]}, 0);
}

TEST_F(TiffJpegWriter, JpegPagesTurnedWithTheQualityOfTheirRate) {
    host.options.fileFormatType = tlv::kFormatJPEG;
    for (int bpp : {8, 24})
        for (int turns = 0; turns < 4; ++turns)
            addPage({bpp, 64, 40, 300, 200, turns});
    host.options.imgFileName = "Photo_001.jpg";
    reader->readImgFiles(host.batch());
    const std::vector<fs::path> files = savedFiles();
    ASSERT_EQ(files.size(), 8u);
    for (size_t f = 0; f < files.size(); ++f) {
        const bool odd = f % 4 % 2 == 1;
        const std::string expected =
            (odd ? "40 64 200x300 " : "64 40 300x200 ") + std::string(f < 4 ? "Gray" : "sRGB") + " 60";
        EXPECT_EQ(vlmtest::run("identify -format '%w %h %[resolution.x]x%[resolution.y] %[colorspace] %Q' '" +
                               files[f].string() + "'"),
                  expected)
            << files[f];
    }
    const int rates[] = {1, 2, 4, 5};
    const int qualities[] = {100, 80, 40, 20};
    const tlv::TlvPageImage page = reader->imageRepByIndex(4);
    for (int r = 0; r < 4; ++r) {
        tlv::TlvOutputOptions options = host.options;
        options.compRateJPEG = rates[r];
        options.isAddNumber = false;
        options.imgFileName = "Rate" + std::to_string(rates[r]) + ".jpg";
        writer->exeWriteImgFiles(host.batch(), r, page, options, false, std::nullopt, std::nullopt);
        const fs::path file = saveFolder / options.imgFileName;
        EXPECT_EQ(vlmtest::run("identify -format %Q '" + file.string() + "'"), std::to_string(qualities[r]));
    }
}

TEST_F(TiffJpegWriter, BilevelPageIsNoJpeg) {
    host.options.fileFormatType = tlv::kFormatJPEG;
    host.options.imgFileName = "Photo_001.jpg";
    addPage({1, 64, 40});
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrJpegParam});
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::WriteFailed});
    EXPECT_TRUE(savedFiles().empty()); // the reserved name went too
}

} // namespace
} // namespace outtest
