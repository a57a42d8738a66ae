// Native and file transfers: the files are decoded again with libtiff and libjpeg (and the picture form
// walked opcode by opcode) and compared with the synthetic page.
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

#include "DecodedTiff.h"
#include "PageSource.h"

namespace {

namespace fs = std::filesystem;
using test::PageSourceTest;
using test::ReadNativeTiff;
using test::ReadTiff;
using test::SDecoded;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FileTransferTest : public PageSourceTest {
protected:
    TW_UINT16 FileXfer(TW_UINT16 format, const fs::path& path) {
        mName = path.string();
        TW_SETUPFILEXFER2 setup{};
        setup.FileName = mName.data();
        setup.Format = format;
        return Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, &setup);
    }
    fs::path File(const char* name) const { return fs::path(mDir.Path()) / name; }
    // A page of that type and size waits and its information was read, as a transfer needs first, with
    // the transfer mechanism agreed. Answers the information's return code.
    TW_UINT16 ReadyPage(std::int32_t pixelType, std::uint32_t width, std::uint32_t length,
                        TW_UINT16 mechanism = TWSX_FILE) {
        SetPage(pixelType, width, length);
        if (!SetCapUIntValue(mDS.GetCapPool(), ICAP_XFERMECH, mechanism))
            return TWRC_FAILURE;
        TW_IMAGEINFO info{};
        return Info(info);
    }
    std::string mName;
};

TEST_F(FileTransferTest, TiffFileHoldsThePageOfEachPixelType) {
    for (std::int32_t pixelType : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
        SCOPED_TRACE(pixelType);
        mDS.ForceState(CDataSource::kXferReady);
        ASSERT_EQ(ReadyPage(pixelType, 37, 11), TWRC_SUCCESS);
        ASSERT_EQ(FileXfer(TWFF_TIFF, File("page.tif")), TWRC_XFERDONE);
        const SDecoded page = ReadTiff(File("page.tif"));
        ASSERT_EQ(page.width, 37u);
        ASSERT_EQ(page.height, 11u);
        EXPECT_FLOAT_EQ(page.xResolution, kDpi);
        std::vector<std::uint8_t> expected(page.rows[0].size());
        for (std::uint32_t y = 0; y < page.height; ++y) {
            test::FillRow(pixelType, 37, y, expected.data());
            EXPECT_EQ(page.rows[y], expected) << "row " << y;
        }
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    }
    EXPECT_EQ(mDS.TransferCount(), 3);
}

// The standard file transfer: the file is named beforehand (DAT_SETUPFILEXFER) and the transfer itself
// carries no data; TIFF until told otherwise.
TEST_F(FileTransferTest, SetUpFileTransferWritesTheNamedFile) {
    TW_SETUPFILEXFER setup{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, &setup), TWRC_SUCCESS);
    EXPECT_EQ(setup.Format, TWFF_TIFF);
    EXPECT_STREQ(setup.FileName, "TWAIN.TMP");
    setup.Format = TWFF_BMP;
    EXPECT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    setup.Format = TWFF_TIFF;
    std::snprintf(setup.FileName, sizeof setup.FileName, "%s", File("standard.tif").c_str());
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    TW_SETUPFILEXFER current{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &current), TWRC_SUCCESS);
    EXPECT_STREQ(current.FileName, setup.FileName);

    ASSERT_EQ(ReadyPage(TWPT_GRAY, 21, 5), TWRC_SUCCESS);
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    const SDecoded page = ReadTiff(File("standard.tif"));
    EXPECT_EQ(page.width, 21u);
    EXPECT_EQ(page.height, 5u);
}

TEST_F(FileTransferTest, JpegFileDecodesToThePage) {
    ASSERT_EQ(ReadyPage(TWPT_GRAY, 64, 32), TWRC_SUCCESS);
    ASSERT_EQ(FileXfer(TWFF_JFIF, File("page.jpg")), TWRC_XFERDONE);
    const std::vector<std::uint8_t> bytes = ReadBytes(File("page.jpg"));
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr error{};
    decoder.err = jpeg_std_error(&error);
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, bytes.data(), bytes.size());
    ASSERT_EQ(jpeg_read_header(&decoder, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&decoder);
    EXPECT_EQ(decoder.output_width, 64u);
    EXPECT_EQ(decoder.output_height, 32u);
    EXPECT_EQ(decoder.X_density, kDpi);
    std::vector<std::uint8_t> row(64);
    int worst = 0;
    for (std::uint32_t y = 0; y < 32; ++y) {
        JSAMPROW rows[] = {row.data()};
        jpeg_read_scanlines(&decoder, rows, 1);
        for (std::uint32_t x = 0; x < 64; ++x)
            worst = std::max(worst, std::abs(row[x] - test::SampleAt(TWPT_GRAY, x, y, 0)));
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    EXPECT_LE(worst, 12); // lossy at quality 75 on a smooth ramp
}

TEST_F(FileTransferTest, MissingFolderFailsAfterThePageWasTaken) {
    ASSERT_EQ(ReadyPage(TWPT_GRAY, 10, 10), TWRC_SUCCESS);
    EXPECT_EQ(FileXfer(TWFF_TIFF, File("no such folder/page.tif")), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_FILENOTFOUND);
    EXPECT_EQ(mDS.finishCalls, 1);
}

TEST_F(FileTransferTest, UnknownFormatIsRefusedBeforeThePageIsTaken) {
    ASSERT_EQ(ReadyPage(TWPT_GRAY, 10, 10), TWRC_SUCCESS);
    EXPECT_EQ(FileXfer(TWFF_BMP, File("page.bmp")), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(mDS.prepareCalls, 0);
    EXPECT_FALSE(fs::exists(File("page.bmp")));
}

TEST_F(FileTransferTest, NativeTransferHandsOverATiffInContainerMemory) {
    ASSERT_EQ(ReadyPage(TWPT_RGB, 20, 6, TWSX_NATIVE), TWRC_SUCCESS);
    TW_HANDLE handle = nullptr;
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
    std::unique_ptr<void, decltype(&std::free)> owned(handle, &std::free);
    const SDecoded page = ReadNativeTiff(handle, File("native.tif"));
    EXPECT_EQ(page.width, 20u);
    EXPECT_EQ(page.samples, 3u);
    ASSERT_EQ(page.rows.size(), 6u);
    EXPECT_EQ(page.rows[5][3 * 4 + 1], test::SampleAt(TWPT_RGB, 4, 5, 1));
}

// Reads the picture's strips: each direct-map opcode's destination columns, and one pixel of each.
TEST_F(FileTransferTest, PictureFileDrawsAWideColourPageInStrips) {
    ASSERT_EQ(ReadyPage(TWPT_RGB, 2550, 3), TWRC_SUCCESS);
    ASSERT_EQ(FileXfer(TWFF_PICT, File("page.pict")), TWRC_XFERDONE);
    const std::vector<std::uint8_t> file = ReadBytes(File("page.pict"));
    ASSERT_GT(file.size(), 512u);
    EXPECT_TRUE(std::all_of(file.begin(), file.begin() + 512, [](std::uint8_t b) { return b == 0; }));
    auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(file[at] << 8 | file[at + 1]); };
    EXPECT_EQ(u16(512 + 6), 3u);             // frame bottom
    EXPECT_EQ(u16(512 + 8), 2550u);          // frame right
    std::size_t at = 512 + 10 + 4 + 26 + 12; // frame, version, header, clip region
    std::vector<std::pair<std::uint32_t, std::uint32_t>> strips;
    while (u16(at) == 0x009A) {
        const std::uint32_t rowBytes = u16(at + 6) & 0x3FFF;
        const std::size_t dst = at + 6 + 46 + 8;
        strips.emplace_back(u16(dst + 2), u16(dst + 6));
        const std::size_t pixels = dst + 10;
        // Row 2, the strip's column 1, green.
        EXPECT_EQ(file[pixels + 2 * rowBytes + 4 + 2],
                  test::SampleAt(TWPT_RGB, strips.back().first + 1, 2, 1));
        at = pixels + 3 * rowBytes;
    }
    EXPECT_EQ(u16(at), 0x00FFu);
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected{
        {0, 1000}, {1000, 2000}, {2000, 2550}};
    EXPECT_EQ(strips, expected);
    EXPECT_EQ(mDS.TransferCount(), 0); // the picture form is pulled without the application's identity
}

} // namespace
