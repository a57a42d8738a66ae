// The joiner and converter against files libtiff writes and reads back: joined files must open as
// multi-page TIFFs with every page's pixels intact, broken or hostile files must be refused without
// touching the target.
#include "TiffFunc.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct PageSpec {
    uint32_t width = 37, height = 23;
    uint16_t samples = 1, bits = 8;
    uint8_t seed = 1;
};

std::vector<uint8_t> pixels(const PageSpec& p) {
    const size_t row = p.bits == 1 ? (p.width + 7) / 8 : size_t{p.width} * p.samples;
    std::vector<uint8_t> data(row * p.height);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7 + p.seed * 31);
    return data;
}

void writeTiff(const fs::path& path, const std::vector<PageSpec>& pages, bool bigEndian = false) {
    TIFF* tiff = TIFFOpen(path.c_str(), bigEndian ? "wb" : "wl");
    ASSERT_NE(tiff, nullptr);
    for (const PageSpec& p : pages) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, p.samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, p.bits == 1 ? COMPRESSION_CCITTFAX4 : COMPRESSION_NONE);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 5u); // several strips: offsets come as arrays
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 300.0f);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 200.0f);
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        std::vector<uint8_t> data = pixels(p);
        const size_t row = data.size() / p.height;
        for (uint32_t y = 0; y < p.height; ++y)
            ASSERT_GE(TIFFWriteScanline(tiff, data.data() + row * y, y, 0), 0);
        ASSERT_TRUE(TIFFWriteDirectory(tiff));
    }
    TIFFClose(tiff);
}

// Every page of the file, as decoded by libtiff, must equal the page it was written from.
void expectPages(const fs::path& path, const std::vector<PageSpec>& pages) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    EXPECT_EQ(TIFFNumberOfDirectories(tiff), pages.size());
    for (size_t k = 0; k < pages.size(); ++k) {
        ASSERT_TRUE(TIFFSetDirectory(tiff, static_cast<tdir_t>(k)));
        const std::vector<uint8_t> expected = pixels(pages[k]);
        std::vector<uint8_t> got(expected.size());
        const size_t row = got.size() / pages[k].height;
        for (uint32_t y = 0; y < pages[k].height; ++y)
            ASSERT_EQ(TIFFReadScanline(tiff, got.data() + row * y, y, 0), 1);
        EXPECT_EQ(got, expected) << "page " << k;
        float xres = 0;
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xres);
        EXPECT_EQ(xres, 300.0f);
    }
    TIFFClose(tiff);
}

std::vector<char> bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t le32At(const fs::path& path, uint64_t at) {
    const std::vector<char> b = bytesOf(path);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(b.at(at + i));
    return v;
}

void patch32(const fs::path& path, uint64_t at, uint32_t value) {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(at));
    const char b[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    f.write(b, 4);
}

class TiffJoin : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tifffunc-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    fs::path target() const { return dir / "target.tif"; }
    fs::path source() const { return dir / "source.tif"; }
};

TEST_F(TiffJoin, OnePageJoinedToOnePageLinksAndRelocatesItsDirectory) {
    const PageSpec grey{40, 30, 1, 8, 1}, colour{33, 21, 3, 8, 2};
    writeTiff(target(), {grey});
    writeTiff(source(), {colour});
    const uint64_t oldSize = fs::file_size(target());
    uint32_t pages = kTiffCountPages, offset = 0, zeroLink = 0;
    uint64_t size = 0;
    FILE* f = std::fopen(target().c_str(), "rb");
    ASSERT_EQ(SearchLinkPos(f, &pages, &offset, &zeroLink, &size), kTiffOK);
    std::fclose(f);
    EXPECT_EQ(pages, 1u);
    EXPECT_EQ(size, oldSize);

    ASSERT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffOK);
    EXPECT_EQ(le32At(target(), zeroLink), oldSize + le32At(source(), 4));
    expectPages(target(), {grey, colour}); // RGB: the BitsPerSample array moved too
}

TEST_F(TiffJoin, SourceWithTwoPagesIsReachedThroughItsRelocatedLink) {
    const std::vector<PageSpec> first{{16, 9, 1, 1, 3}}, more{{40, 12, 1, 8, 4}, {18, 14, 3, 8, 5}};
    writeTiff(target(), first);
    writeTiff(source(), more);
    ASSERT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffOK);
    ASSERT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffOK);
    expectPages(target(), {first[0], more[0], more[1], more[0], more[1]});
    uint32_t page = 3, offset = 0, link = 0;
    uint64_t size = 0;
    FILE* f = std::fopen(target().c_str(), "rb");
    EXPECT_EQ(SearchLinkPos(f, &page, &offset, &link, &size), kTiffOK);
    EXPECT_EQ(le32At(target(), link), offset);
    page = 6;
    EXPECT_EQ(SearchLinkPos(f, &page, &offset, &link, &size), kTiffWrongOrder); // only five
    std::fclose(f);
}

TEST_F(TiffJoin, BigEndianTargetIsRefusedUntilConverted) {
    const PageSpec rgb{21, 17, 3, 8, 6}, grey{30, 10, 1, 8, 7};
    writeTiff(target(), {rgb}, true);
    writeTiff(source(), {grey});
    const std::vector<char> before = bytesOf(target());
    EXPECT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffWrongOrder);
    EXPECT_EQ(bytesOf(target()), before);

    ASSERT_EQ(ConvertII(target().c_str()), kTiffOK);
    EXPECT_EQ(bytesOf(target())[0], 'I');
    expectPages(target(), {rgb});
    ASSERT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffOK);
    expectPages(target(), {rgb, grey});
}

TEST_F(TiffJoin, ConvertingALittleEndianFileChangesNothing) {
    writeTiff(target(), {{}});
    const std::vector<char> before = bytesOf(target());
    EXPECT_EQ(ConvertII(target().c_str()), kTiffOK);
    EXPECT_EQ(bytesOf(target()), before);
    EXPECT_EQ(ConvertII((dir / "missing.tif").c_str()), kTiffOpenFirst);
}

TEST_F(TiffJoin, BigEndianFileWithTwoPagesConvertsWhole) {
    const std::vector<PageSpec> pages{{12, 8, 1, 8, 8}, {9, 7, 3, 8, 9}};
    writeTiff(target(), pages, true);
    ASSERT_EQ(ConvertII(target().c_str()), kTiffOK);
    expectPages(target(), pages);
}

TEST_F(TiffJoin, BigEndianFileWithAnOffsetOutsideIsRefusedUntouched) {
    writeTiff(target(), {{21, 17, 3, 8, 6}}, true);
    std::vector<char> bytes = bytesOf(target());
    // The first directory's entries: make every value that is an offset point past the end.
    const uint32_t ifd = static_cast<uint8_t>(bytes[4]) << 24 | static_cast<uint8_t>(bytes[5]) << 16 |
                         static_cast<uint8_t>(bytes[6]) << 8 | static_cast<uint8_t>(bytes[7]);
    const int entries = static_cast<uint8_t>(bytes[ifd]) << 8 | static_cast<uint8_t>(bytes[ifd + 1]);
    for (int e = 0; e < entries; ++e) {
        const size_t at = ifd + 2 + 12 * e;
        if (bytes[at + 2] == 0 && bytes[at + 3] == 5) // RATIONAL: always an offset
            bytes[at + 8] = 0x7F;
    }
    std::ofstream(target(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(ConvertII(target().c_str()), kTiffBadLayout);
    EXPECT_EQ(bytesOf(target()), bytes);
}

TEST_F(TiffJoin, TargetThatWouldPassFourGibibytesIsRefusedAndKept) {
    writeTiff(target(), {{}});
    writeTiff(source(), {{}});
    // Sparse: the directory stays valid at its place, the file only claims the size.
    fs::resize_file(target(), 0xFFFFFFFFull - fs::file_size(source()) + 1);
    const uint64_t size = fs::file_size(target());
    EXPECT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffTooLarge);
    EXPECT_EQ(fs::file_size(target()), size);
}

TEST_F(TiffJoin, LoopingOrOutOfFileChainsAreRefused) {
    writeTiff(target(), {{}});
    writeTiff(source(), {{}});
    const std::vector<char> original = bytesOf(target());
    uint32_t pages = kTiffCountPages, offset = 0, zeroLink = 0;
    uint64_t size = 0;
    FILE* f = std::fopen(target().c_str(), "rb");
    ASSERT_EQ(SearchLinkPos(f, &pages, &offset, &zeroLink, &size), kTiffOK);
    std::fclose(f);

    patch32(target(), zeroLink, le32At(target(), 4)); // the last directory points at the first
    const std::vector<char> looping = bytesOf(target());
    EXPECT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffBadLayout);
    EXPECT_EQ(bytesOf(target()), looping);
    EXPECT_EQ(ConcatTiff(source().c_str(), target().c_str()), kTiffBadLayout);
    EXPECT_EQ(fs::file_size(source()), original.size());

    patch32(target(), zeroLink, static_cast<uint32_t>(size + 100)); // past the end
    EXPECT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffBadLayout);
}

TEST_F(TiffJoin, FailureHalfWayRestoresTheTarget) {
    const PageSpec page{20, 20, 1, 8, 1};
    writeTiff(target(), {page});
    writeTiff(source(), {page, page});
    const std::vector<char> before = bytesOf(target());
    // The second source page's strip array points past the end: found only after the copy and links.
    uint32_t k = 2, offset = 0, link = 0;
    uint64_t size = 0;
    FILE* f = std::fopen(source().c_str(), "rb");
    ASSERT_EQ(SearchLinkPos(f, &k, &offset, &link, &size), kTiffOK);
    std::fclose(f);
    const std::vector<char> src = bytesOf(source());
    const uint16_t entries = static_cast<uint8_t>(src[offset]) | static_cast<uint8_t>(src[offset + 1]) << 8;
    for (uint16_t e = 0; e < entries; ++e) {
        const uint64_t at = offset + 2 + 12 * e;
        if ((static_cast<uint8_t>(src[at]) | static_cast<uint8_t>(src[at + 1]) << 8) == 273)
            patch32(source(), at + 8, static_cast<uint32_t>(size));
    }
    EXPECT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffBadLayout);
    EXPECT_EQ(bytesOf(target()), before);
    expectPages(target(), {page});
}

TEST_F(TiffJoin, MissingFilesGiveTheirCodes) {
    writeTiff(target(), {{}});
    EXPECT_EQ(ConcatTiff((dir / "none.tif").c_str(), target().c_str()), kTiffOpenFirst);
    EXPECT_EQ(ConcatTiff(target().c_str(), (dir / "none.tif").c_str()), kTiffOpenSecond);
    std::ofstream(source()) << "not a tiff at all";
    EXPECT_EQ(ConcatTiff(target().c_str(), source().c_str()), kTiffWrongOrder);
}

} // namespace
