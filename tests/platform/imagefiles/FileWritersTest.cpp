// The file forms of the TIFF and JPEG encoders: the same bytes as the memory forms, every pixel read back
// by libtiff, and a failed write reported.
#include "ImageEncoders.h"
#include "TempFolder.h"

#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

// A page of varied samples (so compression has work), with rows padded past their width when asked.
SPageBitmap VariedPage(std::uint16_t samples, std::uint16_t bits, std::uint32_t padding) {
    SPageBitmap page;
    page.width = 301;
    page.height = 517; // several strips at every depth
    page.samplesPerPixel = samples;
    page.bitsPerSample = bits;
    page.bytesPerRow = static_cast<std::uint32_t>(page.MinimumBytesPerRow()) + padding;
    page.xResolution = page.yResolution = 300;
    page.pixels.resize(std::size_t{page.bytesPerRow} * page.height);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : page.pixels) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return page;
}

fs::path ScratchFile(const std::string& name) {
    static const TempFolder scratch; // goes when the test program ends
    return scratch / name;
}

std::vector<std::uint8_t> ReadBack(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

template <typename Write> std::vector<std::uint8_t> WrittenThroughFile(const std::string& name, Write write) {
    const fs::path path = ScratchFile(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_TRUE(write(fd)) << name;
    ::close(fd);
    return ReadBack(path);
}

// Every row as libtiff decodes it equals the page's row (its padding left out).
void ExpectPixelsOf(const fs::path& path, const SPageBitmap& page) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize64(tiff)));
    ASSERT_EQ(row.size(), page.MinimumBytesPerRow());
    // Bits past the width of a 1-bit row are no pixels: group 4 does not keep them.
    const unsigned spare = (8 - page.width % 8) % 8;
    const auto lastByteMask = static_cast<std::uint8_t>(page.bitsPerSample == 1 ? 0xFF << spare : 0xFF);
    std::uint32_t differing = 0;
    for (std::uint32_t y = 0; y < page.height; ++y) {
        ASSERT_GE(TIFFReadScanline(tiff, row.data(), y, 0), 0);
        const std::uint8_t* expected = page.Row(y);
        const std::size_t last = row.size() - 1;
        differing += !std::equal(row.begin(), row.end() - 1, expected) ||
                     ((row[last] ^ expected[last]) & lastByteMask) != 0;
    }
    TIFFClose(tiff);
    EXPECT_EQ(differing, 0u) << path;
}

TEST(FileWriters, TiffFileHoldsTheEncodedBytesAndEveryPixel) {
    struct SDepth {
        std::uint16_t samples, bits;
    };
    for (const SDepth depth : {SDepth{1, 1}, SDepth{1, 8}, SDepth{3, 8}})
        for (const std::uint32_t padding : {0u, 3u})
            for (const ETiffCompression compression : {ETiffCompression::kNone, ETiffCompression::kBest}) {
                const SPageBitmap page = VariedPage(depth.samples, depth.bits, padding);
                const std::string name = std::to_string(depth.samples * depth.bits) + "-" +
                                         std::to_string(padding) + "-" +
                                         std::to_string(static_cast<int>(compression)) + ".tiff";
                const std::vector<std::uint8_t> file = WrittenThroughFile(name, [&](int fd) {
                    return WriteTiff(page, fd, compression, EBilevelSense::kZeroIsBlack);
                });
                EXPECT_EQ(file, EncodeTiff(page, compression)) << name;
                ExpectPixelsOf(ScratchFile(name), page);
                // libtiff is handed the page's own rows: they must come back untouched.
                EXPECT_TRUE(page.pixels == VariedPage(depth.samples, depth.bits, padding).pixels) << name;
            }
}

TEST(FileWriters, JpegFileHoldsTheEncodedBytes) {
    for (const std::uint16_t samples : {1, 3}) {
        const SPageBitmap page = VariedPage(samples, 8, 0);
        const std::vector<std::uint8_t> file =
            WrittenThroughFile("page.jpg", [&](int fd) { return WriteJpeg(page, fd, 60); });
        EXPECT_GT(file.size(), 65536u) << "more than one buffer of the writer";
        EXPECT_EQ(file, EncodeJpeg(page, 60)) << samples;
    }
}

TEST(FileWriters, FullDiskAndInvalidPagesAreFailures) {
    const int full = ::open("/dev/full", O_RDWR | O_CLOEXEC);
    ASSERT_GE(full, 0);
    const SPageBitmap page = VariedPage(3, 8, 0);
    EXPECT_FALSE(WriteTiff(page, full, ETiffCompression::kBest));
    EXPECT_FALSE(WriteJpeg(page, full));
    ::close(full);
    SPageBitmap invalid = page;
    invalid.pixels.resize(invalid.pixels.size() - 1);
    const fs::path path = ScratchFile("invalid");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_FALSE(WriteTiff(invalid, fd));
    EXPECT_FALSE(WriteJpeg(invalid, fd));
    ::close(fd);
    EXPECT_EQ(fs::file_size(path), 0u);
}

} // namespace
