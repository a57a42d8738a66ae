// Image information and memory transfer through the dispatcher: blocks of whole rows, the proposed
// buffer sizes, the scan steps they drive, and the pages and buffers that must be refused.
#include "PageSource.h"

namespace {

using test::PageSourceTest;

TEST_F(PageSourceTest, MemoryTransferBeforeImageInfoIsCancelledQuietly) {
    std::vector<std::uint8_t> buffer(4096);
    TW_IMAGEMEMXFER block{};
    EXPECT_EQ(Block(buffer, block), TWRC_CANCEL);
    EXPECT_EQ(Status(), TWCC_SUCCESS);
    EXPECT_EQ(mDS.prepareCalls, 0);
}

TEST_F(PageSourceTest, ImageInfoDescribesThePageOfEachPixelType) {
    struct Case {
        std::int32_t pixelType;
        TW_INT16 samples, bits;
        TW_UINT32 bytesPerRow; // for 1001 pixels
    };
    for (const Case c : {Case{TWPT_BW, 1, 1, 126}, Case{TWPT_GRAY, 1, 8, 1001}, Case{TWPT_RGB, 3, 8, 3003}}) {
        SetPage(c.pixelType, 1001, 50);
        TW_IMAGEINFO info{};
        ASSERT_EQ(Info(info), TWRC_SUCCESS);
        EXPECT_EQ(+info.ImageWidth, 1001);
        EXPECT_EQ(+info.ImageLength, 50);
        EXPECT_EQ(+info.SamplesPerPixel, c.samples);
        EXPECT_EQ(+info.BitsPerSample[c.samples - 1], c.bits);
        EXPECT_EQ(+info.BitsPerPixel, c.samples * c.bits);
        EXPECT_FLOAT_EQ(Fix32ToFloat(info.XResolution), 300);
        std::vector<std::uint8_t> buffer(c.bytesPerRow);
        TW_IMAGEMEMXFER block{};
        ASSERT_EQ(Block(buffer, block), TWRC_SUCCESS);
        EXPECT_EQ(+block.BytesPerRow, c.bytesPerRow);
        EXPECT_EQ(+block.Columns, 1001u);
        EXPECT_EQ(+block.Rows, 1u);
        mDS.ForceState(CDataSource::kXferReady);
    }
}

TEST_F(PageSourceTest, PageLeavesInBlocksOfWholeRowsAndEndsWithXferDone) {
    SetPage(TWPT_GRAY, 40, 25);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    std::vector<std::uint8_t> buffer(10 * 40 + 39); // room for 10 rows, not 11
    const TW_UINT32 expectedRows[] = {10, 10, 5};
    for (int i = 0; i < 3; ++i) {
        TW_IMAGEMEMXFER block{};
        EXPECT_EQ(Block(buffer, block), i < 2 ? TWRC_SUCCESS : TWRC_XFERDONE);
        EXPECT_EQ(+block.Rows, expectedRows[i]);
        EXPECT_EQ(+block.YOffset, TW_UINT32(10 * i));
        EXPECT_EQ(+block.BytesWritten, expectedRows[i] * 40);
        for (std::uint32_t r = 0; r < block.Rows; ++r)
            EXPECT_EQ(buffer[r * 40 + 7], test::SampleAt(TWPT_GRAY, 7, block.YOffset + r, 0));
    }
    EXPECT_EQ(mDS.prepareCalls, 1);
    EXPECT_EQ(mDS.finishCalls, 1);
    EXPECT_EQ(mDS.TransferCount(), 1);
    EXPECT_EQ(mDS.GetState(), CDataSource::kTransferring);
}

TEST_F(PageSourceTest, ProposedBufferFollowsThePage) {
    TW_SETUPMEMXFER setup{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(+setup.MinBufSize, 32768u);
    EXPECT_EQ(+setup.MaxBufSize, 0xFFFFFFFFu);
    EXPECT_EQ(+setup.Preferred, 2097152u);

    TW_IMAGEINFO info{};
    SetPage(TWPT_GRAY, 100, 4200); // 14 inches: the whole page fits the 14 MiB budget
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(+setup.Preferred, 420000u);
    EXPECT_EQ(+setup.MinBufSize, 32768u);
    EXPECT_EQ(+setup.MaxBufSize, 2097152u);

    SetPage(TWPT_RGB, 3000, 4500); // 15 inches: 4 MiB of whole 9000-byte rows
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(+setup.Preferred, (0x400000u / 9000u) * 9000u);
    EXPECT_EQ(+setup.Preferred % 9000u, 0u);
}

TEST_F(PageSourceTest, PagesThatCannotBeDeliveredAreRefused) {
    TW_IMAGEINFO info{};
    SetPage(TWPT_GRAY, 100, 100);
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    SetPage(TWPT_GRAY, 0, 100);
    EXPECT_EQ(Info(info), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    std::vector<std::uint8_t> buffer(4096);
    TW_IMAGEMEMXFER block{};
    EXPECT_EQ(Block(buffer, block), TWRC_CANCEL);
    EXPECT_EQ(mDS.prepareCalls, 0);
}

TEST_F(PageSourceTest, BufferSmallerThanARowIsRefusedAndThePageStaysAvailable) {
    SetPage(TWPT_RGB, 100, 4);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    std::vector<std::uint8_t> small(299);
    TW_IMAGEMEMXFER block{};
    EXPECT_EQ(Block(small, block), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(mDS.prepareCalls, 0);
    std::vector<std::uint8_t> whole(1200);
    EXPECT_EQ(Block(whole, block), TWRC_XFERDONE);
    EXPECT_EQ(+block.Rows, 4u);
}

TEST_F(PageSourceTest, ScannerFailureIsReturnedAfterRecovery) {
    SetPage(TWPT_GRAY, 10, 10);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    mDS.prepareResult = TWRC_CANCEL;
    std::vector<std::uint8_t> buffer(100);
    TW_IMAGEMEMXFER block{};
    EXPECT_EQ(Block(buffer, block), TWRC_CANCEL);
    EXPECT_EQ(mDS.recoverCalls, 1);
    EXPECT_EQ(mDS.readCalls, 0);
}

// A block that fails gives its page up; asked for again, the page is prepared anew from its first row.
TEST_F(PageSourceTest, PageGivenUpInTheMiddleStartsAnewWhenAskedAgain) {
    SetPage(TWPT_GRAY, 10, 10);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    std::vector<std::uint8_t> buffer(40); // 4 rows
    TW_IMAGEMEMXFER block{};
    ASSERT_EQ(Block(buffer, block), TWRC_SUCCESS);
    mDS.readResult = TWRC_FAILURE;
    EXPECT_EQ(Block(buffer, block), TWRC_FAILURE);
    EXPECT_EQ(mDS.recoverCalls, 1);
    mDS.readResult = TWRC_SUCCESS;
    ASSERT_EQ(Info(info), TWRC_SUCCESS);
    ASSERT_EQ(Block(buffer, block), TWRC_SUCCESS);
    EXPECT_EQ(+block.YOffset, 0u);
    EXPECT_EQ(mDS.prepareCalls, 2);
}

} // namespace
