// The checks between the data source's numbers and the memory they index, the thumbnail's size and
// the page record's keys.
#include <gtest/gtest.h>

#include "TlvPageRecord.h"
#include "TlvScanMessages.h"

namespace {

TW_IMAGEINFO Info(TW_INT32 width, TW_INT32 height, TW_INT16 bpp) {
    TW_IMAGEINFO info{};
    info.ImageWidth = width;
    info.ImageLength = height;
    info.BitsPerPixel = bpp;
    info.SamplesPerPixel = bpp == 24 ? 3 : 1;
    info.BitsPerSample[0] = bpp == 1 ? 1 : 8;
    info.XResolution = TW_FIX32{300, 0};
    info.YResolution = TW_FIX32{150, 32768};
    return info;
}

TW_IMAGEMEMXFER Block(TW_UINT32 bytesPerRow, TW_UINT32 rows, TW_UINT32 written) {
    TW_IMAGEMEMXFER block{};
    block.BytesPerRow = bytesPerRow;
    block.Rows = rows;
    block.BytesWritten = written;
    return block;
}

} // namespace

TEST(PageRecord, OnlyRealPagesHaveALayout) {
    const auto grey = tlv::pageLayoutOf(Info(2480, 3508, 8));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->rowBytes, 2480u);
    EXPECT_EQ(tlv::pageLayoutOf(Info(1001, 10, 1))->rowBytes, 126u);
    EXPECT_EQ(tlv::pageLayoutOf(Info(100, 10, 24))->rowBytes, 300u);
    EXPECT_EQ(grey->yRes, 150.5f);
    EXPECT_FALSE(tlv::pageLayoutOf(Info(0, 10, 8)));
    EXPECT_FALSE(tlv::pageLayoutOf(Info(10, -1, 8)));
    EXPECT_FALSE(tlv::pageLayoutOf(Info(10, 10, 16)));
    EXPECT_FALSE(tlv::pageLayoutOf(Info(0x7FFFFFFF, 10, 24))); // a row no buffer could hold
    TW_IMAGEINFO mixed = Info(10, 10, 24);
    mixed.SamplesPerPixel = 1; // 24 bits that are no three 8-bit samples
    EXPECT_FALSE(tlv::pageLayoutOf(mixed));
}

TEST(PageRecord, TheBufferHoldsARowAndStaysBounded) {
    const tlv::TlvPageLayout page = *tlv::pageLayoutOf(Info(1000, 10, 24));
    EXPECT_EQ(tlv::transferBufferSize(TW_SETUPMEMXFER{0, 3000, 0}, page), 3000u);
    EXPECT_FALSE(tlv::transferBufferSize(TW_SETUPMEMXFER{0, 2999, 0}, page));
    EXPECT_FALSE(tlv::transferBufferSize(TW_SETUPMEMXFER{0, 0xFFFFFFFF, 0}, page));
}

TEST(PageRecord, BlocksMustFitTheBufferAndThePage) {
    const tlv::TlvPageLayout page = *tlv::pageLayoutOf(Info(100, 10, 8));
    EXPECT_TRUE(tlv::isSoundBlock(Block(100, 4, 400), 400, page, 0));
    EXPECT_TRUE(tlv::isSoundBlock(Block(100, 4, 400), 400, page, 6));  // ends at the last row
    EXPECT_FALSE(tlv::isSoundBlock(Block(100, 4, 400), 400, page, 7)); // one row beyond the page
    EXPECT_FALSE(tlv::isSoundBlock(Block(100, 5, 500), 400, page, 0)); // larger than the buffer
    EXPECT_FALSE(tlv::isSoundBlock(Block(99, 4, 396), 400, page, 0));  // rows shorter than the page's
    EXPECT_FALSE(tlv::isSoundBlock(Block(100, 4, 300), 400, page, 0)); // rows beyond what it wrote
    // Products that would wrap in 32 bits.
    EXPECT_FALSE(tlv::isSoundBlock(Block(0x80000000u, 2, 0), 400, page, 0));
    EXPECT_FALSE(tlv::isSoundBlock(Block(100, 0xFFFFFFFFu, 400), 400, page, 0));
}

TEST(PageRecord, ThumbnailsFitTheirBoxAndNeverLoseASide) {
    const auto size = [](int w, int h) {
        const tlv::TlvThumbSize s = tlv::sizeForPreImg(w, h);
        return std::pair{s.width, s.height};
    };
    EXPECT_EQ(size(2480, 3508), std::pair(232, 329));
    EXPECT_EQ(size(3508, 2480), std::pair(329, 232));
    EXPECT_EQ(size(1000, 1000), std::pair(234, 234));
    EXPECT_EQ(size(100, 50), std::pair(329, 164));
    EXPECT_EQ(size(20000, 1), std::pair(329, 1)); // would round to 0
    EXPECT_EQ(size(1, 20000), std::pair(1, 329));
}

TEST(PageRecord, TheRecordNamesTheRawFileAndItsLayout) {
    const tlv::TlvPageLayout page = *tlv::pageLayoutOf(Info(2480, 3508, 1));
    const fnd::Dictionary info = tlv::makeImgInfoDict(page, 7);
    EXPECT_EQ(*info.get(ImgInfo_NameKey).asString(), "tmpImg_7");
    EXPECT_EQ(info.get(ImgInfo_bppKey).asInt32(), 1);
    EXPECT_EQ(info.get(ImgInfo_WidthKey).asInt32(), 2480);
    EXPECT_EQ(info.get(ImgInfo_HeightKey).asInt32(), 3508);
    EXPECT_EQ(info.get(ImgInfo_XResKey).asDouble(), 300.0);
    EXPECT_EQ(info.get(ImgInfo_RotateKey).asInt32(), 0);
}

TEST(PageRecord, MessagesTellNotLoadedInUseAndScannerFaultsApart) {
    EXPECT_EQ(tlv::openFailureKey(TWRC_ENDOFLIST, TWCC_SUCCESS), "Err_NotUseScannerDriver");
    EXPECT_EQ(tlv::openFailureKey(TWRC_ENDOFLIST, TWCC_NODS), "Err_NotLoadScannerDriver");
    EXPECT_EQ(tlv::openFailureKey(tlv::kOpenQuitting, TWCC_SUCCESS), "Err_NotLoadScannerDriver");
    EXPECT_EQ(tlv::openFailureKey(TWRC_FAILURE, TWCC_MAXCONNECTIONS), "Err_ScannerInUse");
    EXPECT_EQ(tlv::openFailureKey(TWRC_FAILURE, TWCC_NODS), "Err_ScannerNotConnected"); // found, no scanner
    EXPECT_EQ(tlv::openFailureKey(TWRC_FAILURE, TWCC_CHECKDEVICEONLINE), "Err_NotUseScannerDriver");
    EXPECT_EQ(tlv::openFailureKey(TWRC_FAILURE, TWCC_BUMMER), "Err_NotUseScannerDriver");
    EXPECT_EQ(tlv::scanFailureKey(TWCC_PAPERJAM), "Err_ScanPaperJam");
    EXPECT_EQ(tlv::scanFailureKey(TWCC_PAPERDOUBLEFEED), "Err_ScanDoubleFeed");
    EXPECT_EQ(tlv::scanFailureKey(TWCC_NOMEDIA), "Err_ScanNoPaper");
    EXPECT_EQ(tlv::scanFailureKey(TWCC_CHECKDEVICEONLINE), "Err_ScannerNotConnected");
    EXPECT_EQ(tlv::scanFailureKey(TWCC_SUCCESS), "Err_ScanStopped");
}
