// The agreed transfer mechanism (ICAP_XFERMECH) for every pair: a page asked for by another mechanism is
// refused with TWCC_SEQERROR before the page, a running transfer or any file is touched, and then leaves
// the agreed way whole, every row once.
#include <cstring>
#include <filesystem>
#include <memory>

#include "PageSource.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kWidth = 16;  // grey pixels, one byte each
constexpr std::uint32_t kRows = 3507; // A4 at 300 dpi
constexpr std::uint32_t kBlockRows = 1000;

TW_UINT16 TransferOf(TW_UINT16 mechanism) {
    switch (mechanism) {
    case TWSX_MEMORY:
        return DAT_IMAGEMEMXFER;
    case TWSX_NATIVE:
        return DAT_IMAGENATIVEXFER;
    default:
        return DAT_IMAGEFILEXFER;
    }
}

class TransferMechanismTest : public test::PageSourceTest {
protected:
    void SetUp() override {
        PageSourceTest::SetUp();
        ASSERT_FALSE(fs::exists(mStray)) << "left over in the test's folder";
    }
    void TearDown() override { fs::remove(mStray); }

    // A fresh page waits, by the mechanism agreed.
    void NextPage(TW_UINT16 mechanism) {
        TW_PENDINGXFERS pending{};
        Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        mDS.ForceState(CDataSource::kXferReady);
        mDS.prepareCalls = mDS.finishCalls = 0;
        SetPage(TWPT_GRAY, kWidth, kRows);
        ASSERT_TRUE(SetCapUIntValue(mDS.GetCapPool(), ICAP_XFERMECH, mechanism));
    }
    void Describe() {
        TW_IMAGEINFO info{};
        ASSERT_EQ(Info(info), TWRC_SUCCESS);
    }
    // Asks for the page by the transfer; a file both to the file of DAT_SETUPFILEXFER (the standard's
    // TWAIN.TMP in the current folder) and to one the request names. Each ask must be refused.
    void ExpectRefused(TW_UINT16 dat) {
        const std::int32_t state = mDS.GetState();
        if (dat == DAT_IMAGENATIVEXFER) {
            TW_HANDLE image = nullptr;
            EXPECT_EQ(Call(DG_IMAGE, dat, MSG_GET, &image), TWRC_FAILURE);
            EXPECT_EQ(Status(), TWCC_SEQERROR);
            EXPECT_EQ(image, nullptr);
        } else if (dat == DAT_IMAGEFILEXFER) {
            EXPECT_EQ(Call(DG_IMAGE, dat, MSG_GET, nullptr), TWRC_FAILURE);
            EXPECT_EQ(Status(), TWCC_SEQERROR);
            EXPECT_EQ(Call(DG_IMAGE, dat, MSG_GET, &mNamedFile), TWRC_FAILURE);
            EXPECT_EQ(Status(), TWCC_SEQERROR);
            EXPECT_FALSE(fs::exists(mStray));
            EXPECT_FALSE(fs::exists(mName));
        } else {
            std::vector<std::uint8_t> buffer(kWidth * kBlockRows);
            TW_IMAGEMEMXFER block{};
            EXPECT_EQ(Block(buffer, block), TWRC_FAILURE);
            EXPECT_EQ(Status(), TWCC_SEQERROR);
            EXPECT_EQ(+block.BytesWritten, 0u);
        }
        EXPECT_EQ(mDS.GetState(), state);
    }
    // The rest of the page the agreed way; the rows delivered by memory, each checked against the page.
    std::uint32_t Take(TW_UINT16 mechanism, std::uint32_t nextRow = 0) {
        if (mechanism == TWSX_NATIVE) {
            TW_HANDLE image = nullptr;
            EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
            EXPECT_NE(image, nullptr);
            std::free(image);
            return kRows;
        }
        if (mechanism != TWSX_MEMORY) {
            EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, &mNamedFile), TWRC_XFERDONE);
            EXPECT_TRUE(fs::remove(mName));
            return kRows;
        }
        std::vector<std::uint8_t> buffer(kWidth * kBlockRows);
        std::vector<std::uint8_t> expected(kWidth);
        for (TW_UINT16 rc = TWRC_SUCCESS; rc == TWRC_SUCCESS;) {
            TW_IMAGEMEMXFER block{};
            rc = Block(buffer, block);
            EXPECT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc;
            EXPECT_EQ(+block.YOffset, nextRow);
            for (std::uint32_t r = 0; r < block.Rows; ++r, ++nextRow) {
                test::FillRow(TWPT_GRAY, kWidth, nextRow, expected.data());
                EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin() + r * kWidth))
                    << "row " << nextRow;
            }
        }
        return nextRow;
    }

    const fs::path mStray = fs::current_path() / "TWAIN.TMP";
    std::string mName = (fs::path(mDir.Path()) / "page.tif").string();
    TW_SETUPFILEXFER2 mNamedFile{mName.data(), 0, TWFF_TIFF, 0, 0};
};

TEST_F(TransferMechanismTest, EveryOtherMechanismIsRefusedBeforeAndAfterTheImageInformation) {
    for (TW_UINT16 agreed : {TWSX_MEMORY, TWSX_NATIVE, TWSX_FILE}) {
        for (TW_UINT16 asked : {DAT_IMAGEMEMXFER, DAT_IMAGENATIVEXFER, DAT_IMAGEFILEXFER}) {
            if (asked == TransferOf(agreed))
                continue;
            for (bool described : {false, true}) {
                SCOPED_TRACE(testing::Message() << "agreed " << agreed << ", asked 0x" << std::hex << asked
                                                << (described ? " after" : " before") << " the information");
                NextPage(agreed);
                if (described)
                    Describe();
                ExpectRefused(asked);
                EXPECT_EQ(mDS.prepareCalls, 0) << "the page was touched";
                if (!described)
                    Describe();
                EXPECT_EQ(Take(agreed), kRows);
                EXPECT_EQ(mDS.prepareCalls, 1);
                EXPECT_EQ(mDS.finishCalls, 1);
            }
        }
    }
}

// In the middle of a memory transfer (state 7) another mechanism leaves the running page as it was: the
// rest follows on from where it stood, and the page's 3,507 rows come exactly once.
TEST_F(TransferMechanismTest, ARunningMemoryTransferGoesOnWhereItStood) {
    NextPage(TWSX_MEMORY);
    Describe();
    std::vector<std::uint8_t> buffer(kWidth * kBlockRows);
    TW_IMAGEMEMXFER first{};
    ASSERT_EQ(Block(buffer, first), TWRC_SUCCESS);
    ASSERT_EQ(+first.Rows, kBlockRows);
    ASSERT_EQ(mDS.GetState(), CDataSource::kTransferring);
    ExpectRefused(DAT_IMAGENATIVEXFER);
    ExpectRefused(DAT_IMAGEFILEXFER);
    EXPECT_EQ(Take(TWSX_MEMORY, kBlockRows), kRows);
    EXPECT_EQ(mDS.prepareCalls, 1);
    EXPECT_EQ(mDS.finishCalls, 1);
}

// After TWRC_XFERDONE (still state 7) the page is out: asking for it again by any mechanism, also after
// DAT_IMAGEINFO as real clients do, is refused without a second scan, and MSG_ENDXFER then ends it.
TEST_F(TransferMechanismTest, ATransferredPageIsRefusedUntilItsEnd) {
    for (TW_UINT16 agreed : {TWSX_MEMORY, TWSX_NATIVE, TWSX_FILE}) {
        SCOPED_TRACE(testing::Message() << "agreed " << agreed);
        NextPage(agreed);
        const std::int32_t transfers = mDS.TransferCount();
        TW_IMAGEINFO described{};
        ASSERT_EQ(Info(described), TWRC_SUCCESS);
        ASSERT_EQ(Take(agreed), kRows);
        ASSERT_EQ(mDS.GetState(), CDataSource::kTransferring);
        for (TW_UINT16 asked : {DAT_IMAGEMEMXFER, DAT_IMAGENATIVEXFER, DAT_IMAGEFILEXFER})
            ExpectRefused(asked);
        TW_IMAGEINFO again{};
        ASSERT_EQ(Info(again), TWRC_SUCCESS);
        EXPECT_EQ(std::memcmp(&again, &described, sizeof again), 0) << "the page's description changed";
        TW_IMAGELAYOUT layout{};
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
        ExpectRefused(TransferOf(agreed));
        EXPECT_EQ(mDS.prepareCalls, 1) << "the page was scanned again";
        EXPECT_EQ(mDS.finishCalls, 1);
        EXPECT_EQ(mDS.TransferCount(), transfers + 1);
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        EXPECT_EQ(mDS.GetState(), CDataSource::kEnabled);
    }
}

} // namespace
