// The transfer sequencing inside one process against the emulated scanner: each page leaving once by
// every mechanism, a running page left where it stood by image information and layout (and a pending one
// by a layout set too late), the page of a reset setting, the pending transfers after a page, the
// transfer-ready timer of the clients that need a fresh signal per image (and a reset that must stop it),
// image information that has to scan first (with blank skip: the next page that is not blank), the
// poisoned information of one client, and a host that quits mid-batch.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <tuple>
#include <vector>

#include "COrvkQS.h"
#include "DecodedTiff.h"
#include "Emulator.h"
#include "ExclusiveLock.h"
#include "NotificationCenter.h"
#include "PixenLibrary.h"
#include "QSDataSource.h"
#include "RunLoop.h"
#include "ScannerErrors.h"
#include "Sheet.h"

namespace {

class TransferSequencingTest : public test::QSDataSourceTest {
protected:
    // Opens as the given application with the emulated scanner attached, grey at 150 dpi.
    void Start(const char* maker, const char* product, int sheets, const char* sheet = "gen:ramp-a4") {
        mEmulator.loadSheet(*SheetOf(sheet), sheets);
        Open(maker, product);
        auto scanner =
            std::make_unique<k3100::COrvkQS>(k3100::SScannerDesc{k3100::kTransportUSB, mEmulator.vendorId(),
                                                                 mEmulator.productId(), mEmulator.connect()},
                                             k3100::PixenQS880Library());
        ASSERT_EQ(scanner->OpenSession(), 0);
        mDS->AttachScanner(std::move(scanner));
        ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_GRAY}), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 150), TWRC_SUCCESS);
        ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 150), TWRC_SUCCESS);
    }
    static std::optional<k3100::emu::Sheet> SheetOf(const char* spec) {
        std::string error;
        return k3100::emu::sheetFromSpec(spec, error);
    }
    TW_UINT16 Enable() {
        TW_USERINTERFACE ui{};
        return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    }
    // One page after its information (unless the host does not ask for it), by memory transfer (the last
    // block's return code), or natively or into the file (the native image kept in the file as well);
    // mReceived is the page as it came.
    TW_UINT16 TransferPage(TW_UINT16 mechanism = TWSX_MEMORY, const std::filesystem::path& file = {},
                           bool askInfo = true) {
        mReceived = {};
        TW_IMAGEINFO info{};
        if (askInfo) {
            if (const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info); rc != TWRC_SUCCESS)
                return rc;
        }
        if (mechanism == TWSX_NATIVE) {
            TW_HANDLE image = nullptr;
            const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image);
            if (image && !file.empty())
                ReceivedFrom(test::ReadNativeTiff(image, file));
            std::free(image);
            return rc;
        }
        if (mechanism != TWSX_MEMORY) {
            std::string name = file.string();
            TW_SETUPFILEXFER2 setup{name.data(), 0, TWFF_TIFF, 0, 0};
            const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, &setup);
            if (rc == TWRC_XFERDONE)
                ReceivedFrom(test::ReadTiff(file));
            return rc;
        }
        // The buffer is proposed up to state 6; asked again in state 7 the client keeps the one it had.
        TW_SETUPMEMXFER setup{};
        if (mDS->GetState() == CDataSource::kXferReady) {
            EXPECT_EQ(Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
            mBuffer.resize(setup.Preferred);
        }
        TW_UINT16 rc = TWRC_SUCCESS;
        while (rc == TWRC_SUCCESS) {
            TW_IMAGEMEMXFER block{};
            block.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(mBuffer.size()),
                            mBuffer.data()};
            rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
            mReceived.columns = block.Columns;
            mReceived.rows += block.Rows;
            mReceived.pixels.insert(mReceived.pixels.end(), mBuffer.begin(),
                                    mBuffer.begin() +
                                        std::min<std::size_t>(block.BytesWritten, mBuffer.size()));
        }
        return rc;
    }
    void ReceivedFrom(const test::SDecoded& page) { mReceived = {page.width, page.height, {}}; }
    TW_INT16 EndTransfer() {
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        return pending.Count;
    }
    // Runs the host's loop until another callback arrives; false when none came within a generous bound.
    bool RunUntilCallback() {
        const std::size_t before = mDS->callbacks.size();
        for (int i = 0; i < 100 && mDS->callbacks.size() == before; ++i)
            fnd::RunLoop::current().runFor(0.05);
        return mDS->callbacks.size() > before;
    }

    // A fresh session's batch of two sheets by the mechanism, each page taken by transfer(file) before
    // its MSG_ENDXFER: both sheets leave, once each, and the batch ends enabled.
    template <class Transfer> void RunTwoSheetBatch(TW_UINT16 mechanism, Transfer transfer) {
        SCOPED_TRACE(testing::Message() << "mechanism " << mechanism);
        const std::filesystem::path file = mEnv.PreferencesPath().parent_path() / "page.tif";
        mDS = std::make_unique<test::CTestQSDS>();
        const std::uint32_t fedBefore = mEmulator.totalCount();
        Start("Test Maker", "Test Scan", 2);
        ASSERT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
        ASSERT_EQ(Enable(), TWRC_SUCCESS);
        int pages = 0;
        for (TW_INT16 count = -1; count != 0 && pages < 3; ++pages) {
            transfer(file);
            if (testing::Test::HasFatalFailure())
                return;
            count = EndTransfer();
        }
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(mEmulator.totalCount() - fedBefore, 2u);
        EXPECT_EQ(mDS->GetState(), CDataSource::kEnabled);
        Close();
    }
    // One batch of one page by memory transfer, from enable to disable; the page as it came.
    void ScanOnePage() {
        ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, TW_INT16{1}), TWRC_SUCCESS);
        ASSERT_EQ(Enable(), TWRC_SUCCESS);
        ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
        EXPECT_EQ(EndTransfer(), 0);
        TW_USERINTERFACE ui{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    }

    struct SPage {
        TW_UINT32 columns = 0, rows = 0;
        std::vector<std::uint8_t> pixels; // by memory transfer only
        bool operator==(const SPage&) const = default;
    };
    k3100::emu::Emulator mEmulator;
    std::vector<std::uint8_t> mBuffer;
    SPage mReceived;
};

TEST_F(TransferSequencingTest, ClientsThatNeedAFreshSignalGetItFromATimerThatResetStops) {
    Start("Apple Computer, Inc.", "Image Capture", 3);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
    EXPECT_EQ(EndTransfer(), -1);
    EXPECT_TRUE(mDS->IsXferReadyScheduled());
    ASSERT_TRUE(RunUntilCallback());
    EXPECT_EQ(mDS->callbacks.back(), MSG_XFERREADY);
    EXPECT_EQ(mDS->GetState(), CDataSource::kXferReady);

    ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
    EXPECT_EQ(EndTransfer(), -1);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(mDS->GetState(), CDataSource::kEnabled);
    EXPECT_FALSE(mDS->IsXferReadyScheduled());
    const std::size_t callbacks = mDS->callbacks.size();
    fnd::RunLoop::current().runFor(0.4);
    EXPECT_EQ(mDS->callbacks.size(), callbacks);
}

// A page asked for again after its TWRC_XFERDONE (state 7, also after DAT_IMAGEINFO) is refused with the
// batch as it stood; MSG_ENDXFER then counts on as usual (more after the first sheet, none after the
// second), and every sheet leaves exactly once.
TEST_F(TransferSequencingTest, APageAskedForAgainAfterItsTransferLeavesOnlyOnce) {
    for (TW_UINT16 mechanism : {TWSX_MEMORY, TWSX_NATIVE, TWSX_FILE}) {
        RunTwoSheetBatch(mechanism, [&](const std::filesystem::path& file) {
            ASSERT_EQ(TransferPage(mechanism, file), TWRC_XFERDONE);
            TW_IMAGEINFO described{};
            ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &described), TWRC_SUCCESS);
            std::filesystem::remove(file);
            EXPECT_EQ(TransferPage(mechanism, file), TWRC_FAILURE);
            EXPECT_EQ(Status(), TWCC_SEQERROR);
            EXPECT_FALSE(std::filesystem::exists(file));
            TW_IMAGEINFO again{};
            ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &again), TWRC_SUCCESS);
            EXPECT_EQ(std::memcmp(&again, &described, sizeof again), 0) << "the page's description changed";
            EXPECT_EQ(mDS->GetState(), CDataSource::kTransferring);
        });
    }
}

// TWAIN does not make a host ask for the image information before a native or a file transfer: each page
// then comes whole, as described when asked afterwards. (A memory transfer still needs it, as its blocks
// are laid out by it.)
TEST_F(TransferSequencingTest, NativeAndFileTransfersWithoutImageInformationDeliverWholePages) {
    for (TW_UINT16 mechanism : {TWSX_NATIVE, TWSX_FILE}) {
        RunTwoSheetBatch(mechanism, [&](const std::filesystem::path& file) {
            ASSERT_EQ(TransferPage(mechanism, file, false), TWRC_XFERDONE) << "condition " << Status();
            TW_IMAGEINFO described{};
            ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &described), TWRC_SUCCESS);
            EXPECT_EQ(mReceived.columns, 1275u); // US letter at 150 dpi
            EXPECT_EQ(mReceived.rows, 1650u);
            EXPECT_EQ(+described.ImageWidth, 1275);
            EXPECT_EQ(+described.ImageLength, 1650);
        });
    }
}

// After a reset the frame is the default paper's whole page, the paper size says that paper, and the page
// scanned is the frame read; written back as read, the frame keeps paper and page agreeing. The default
// paper is US letter here and A4 for a user who measures in centimetres; the paper set before is the other.
TEST_F(TransferSequencingTest, AResetFrameIsTheDefaultPapersPageAndThePageScanned) {
    struct SCase {
        const char* measurement;
        TW_UINT16 setBefore, byDefault;
        TW_UINT32 columns, rows; // the default paper at 150 dpi, in pixels
    };
    for (const SCase& paper : {SCase{"C", TWSS_A4, TWSS_USLETTER, 1275, 1650},
                               SCase{"de_DE.UTF-8", TWSS_USLETTER, TWSS_A4, 1240, 1753}}) {
        SCOPED_TRACE(paper.measurement);
        mDS = std::make_unique<test::CTestQSDS>();
        setenv("LC_MEASUREMENT", paper.measurement, 1);
        Start("Test Maker", "Test Scan", 2);
        unsetenv("LC_MEASUREMENT");
        ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TW_UINT16{TWUN_PIXELS}), TWRC_SUCCESS);
        ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, paper.setBefore), TWRC_SUCCESS);
        const auto paperSize = [this](TW_UINT16 msg) {
            EXPECT_EQ(Cap(msg, ICAP_SUPPORTEDSIZES), TWRC_SUCCESS);
            return AnswerField<TW_UINT16>();
        };
        EXPECT_EQ(paperSize(MSG_GETDEFAULT), paper.byDefault);
        ASSERT_EQ(Cap(MSG_GETDEFAULT, ICAP_FRAMES), TWRC_SUCCESS);
        const auto byDefault = AnswerField<TW_FRAME>();
        ASSERT_EQ(Cap(MSG_RESET, ICAP_FRAMES), TWRC_SUCCESS);
        const auto frame = AnswerField<TW_FRAME>();
        EXPECT_EQ(std::memcmp(&frame, &byDefault, sizeof frame), 0);
        EXPECT_EQ(+frame.Right.Whole, static_cast<TW_INT16>(paper.columns));
        EXPECT_EQ(+frame.Bottom.Whole, static_cast<TW_INT16>(paper.rows));
        EXPECT_EQ(paperSize(MSG_GETCURRENT), paper.byDefault);
        ScanOnePage();
        EXPECT_EQ(mReceived.columns, paper.columns);
        EXPECT_EQ(mReceived.rows, paper.rows);

        ASSERT_EQ(Cap(MSG_GET, ICAP_FRAMES), TWRC_SUCCESS);
        ASSERT_EQ(Cap(MSG_SET, ICAP_FRAMES, mAnswerType, mAnswer.get()), TWRC_SUCCESS);
        EXPECT_EQ(paperSize(MSG_GETCURRENT), paper.byDefault);
        ScanOnePage();
        EXPECT_EQ(mReceived.columns, paper.columns);
        EXPECT_EQ(mReceived.rows, paper.rows);
        Close();
    }
}

// A reset does what a MSG_SET of the value it answers does, down to the page: the paper size (A4 where letter
// is the default), the threshold, automatic deskew (on a tilted sheet) and one resolution, each set away
// from its default and reset, give the page of the answered value, not that of the value set before.
TEST_F(TransferSequencingTest, APageScannedAfterAResetIsThePageOfTheValueItAnswers) {
    struct SCase {
        TW_UINT16 id;
        const char* sheet;
        TW_UINT16 pixelType;
        std::function<TW_UINT16()> setAway;
    };
    for (const SCase& c :
         {SCase{ICAP_SUPPORTEDSIZES, "gen:ramp-a4", TWPT_GRAY,
                [&] { return SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}); }},
          SCase{ICAP_THRESHOLD, "gen:ramp-a4", TWPT_BW, [&] { return SetFix(ICAP_THRESHOLD, 30); }},
          SCase{ICAP_AUTOMATICDESKEW, "gen:ramp-a4@4", TWPT_GRAY,
                [&] { return SetBool(ICAP_AUTOMATICDESKEW, true); }},
          SCase{ICAP_XRESOLUTION, "gen:ramp-a4", TWPT_GRAY, [&] { return SetFix(ICAP_XRESOLUTION, 150); }}}) {
        SCOPED_TRACE(testing::Message() << "capability 0x" << std::hex << c.id);
        mDS = std::make_unique<test::CTestQSDS>();
        Start("Test Maker", "Test Scan", 3, c.sheet);
        ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, c.pixelType), TWRC_SUCCESS);
        ASSERT_EQ(c.setAway(), TWRC_SUCCESS);
        ScanOnePage();
        const SPage away = mReceived;
        ASSERT_EQ(Cap(MSG_RESET, c.id), TWRC_SUCCESS);
        const test::OwnedHandle answer = std::move(mAnswer);
        const TW_UINT16 answerType = mAnswerType;
        ScanOnePage();
        const SPage afterReset = mReceived;
        ASSERT_EQ(Cap(MSG_SET, c.id, answerType, answer.get()), TWRC_SUCCESS);
        ScanOnePage();
        EXPECT_FALSE(mReceived == away) << "the setting does not show on the page";
        EXPECT_EQ(afterReset.columns, mReceived.columns);
        EXPECT_EQ(afterReset.rows, mReceived.rows);
        EXPECT_TRUE(afterReset == mReceived) << "the page after the reset is not the page of its answer";
        Close();
    }
}

// Deskew is one setting under two names: turned on as ICAP_AUTOMATICDESKEW and off as its custom twin (as
// the dialog's box writes it), the tilted sheet comes as scanned without deskew and both read off.
TEST_F(TransferSequencingTest, DeskewTurnedOffByEitherNameIsOff) {
    Start("Test Maker", "Test Scan", 3, "gen:ramp-a4@4");
    ScanOnePage();
    const SPage plain = mReceived;
    ASSERT_EQ(SetBool(ICAP_AUTOMATICDESKEW, true), TWRC_SUCCESS);
    ScanOnePage();
    EXPECT_FALSE(mReceived == plain) << "deskew does not show on the page";
    ASSERT_EQ(SetOne(CCAP_OVK_DESKEW, TWTY_INT32, TW_INT32{0}), TWRC_SUCCESS);
    ScanOnePage();
    EXPECT_TRUE(mReceived == plain) << "deskew stayed on";
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_AUTOMATICDESKEW), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_BOOL>(), 0);
}

// Once enabled, the batch is laid out: a layout set or reset (a smaller frame, the default paper) is refused
// as out of sequence, and the pending page comes as laid out before the enable (4 by 4 inches at 150 dpi).
TEST_F(TransferSequencingTest, ALayoutSetOrResetOnceEnabledIsRefusedAndThePageKeepsItsSize) {
    Start("Test Maker", "Test Scan", 1);
    TW_IMAGELAYOUT layout{};
    layout.Frame = {FloatToFix32(1), FloatToFix32(1), FloatToFix32(5), FloatToFix32(5)};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, TW_INT16{1}), TWRC_SUCCESS);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    for (const TW_UINT16 msg : {MSG_SET, MSG_RESET}) {
        TW_IMAGELAYOUT smaller{};
        smaller.Frame = {FloatToFix32(0), FloatToFix32(0), FloatToFix32(2), FloatToFix32(2)};
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, msg, &smaller), TWRC_FAILURE)
            << "message 0x" << std::hex << msg;
        EXPECT_EQ(Status(), TWCC_SEQERROR);
    }
    ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
    EXPECT_EQ(mReceived.columns, 600u);
    EXPECT_EQ(mReceived.rows, 600u);
    EXPECT_EQ(EndTransfer(), 0);
}

// A frame of the host's own is no paper: the size code says so (TWSS_NONE, which its list offers), and
// written back as read by either getter it leaves the frame as it was; the code of the paper under the
// frame, set after, brings that paper's whole page.
TEST_F(TransferSequencingTest, AHostsOwnFrameReadsNoPaperSizeAndSurvivesItsWriteBack) {
    Start("Test Maker", "Test Scan", 2);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 200), TWRC_SUCCESS);
    const TW_FRAME own{FloatToFix32(1), FloatToFix32(1), FloatToFix32(5), FloatToFix32(5)};
    ASSERT_EQ(SetOne(ICAP_FRAMES, TWTY_FRAME, own), TWRC_SUCCESS);
    ASSERT_EQ(Cap(MSG_GET, ICAP_SUPPORTEDSIZES), TWRC_SUCCESS);
    const auto current = AnswerField<TW_UINT32>(offsetof(TW_ENUMERATION, CurrentIndex));
    EXPECT_EQ(AnswerField<TW_UINT16>(offsetof(TW_ENUMERATION, ItemList) + current * sizeof(TW_UINT16)),
              TWSS_NONE);
    ASSERT_EQ(Cap(MSG_SET, ICAP_SUPPORTEDSIZES, mAnswerType, mAnswer.get()), TWRC_CHECKSTATUS);
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_SUPPORTEDSIZES), TWRC_SUCCESS);
    EXPECT_EQ(AnswerField<TW_UINT16>(), TWSS_NONE);
    ASSERT_EQ(Cap(MSG_SET, ICAP_SUPPORTEDSIZES, mAnswerType, mAnswer.get()), TWRC_SUCCESS);
    ScanOnePage();
    EXPECT_EQ(mReceived.columns, 800u);
    EXPECT_EQ(mReceived.rows, 800u);

    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_USLETTER}), TWRC_SUCCESS);
    ScanOnePage();
    EXPECT_EQ(mReceived.columns, 1700u);
    EXPECT_EQ(mReceived.rows, 2200u);
}

// A host that reads the frame, chooses another resolution and sends the frame back keeps its page: A4 at
// 300 dpi stays 2,480 columns wide, whatever 200 dpi's whole pixels would make of its inches.
TEST_F(TransferSequencingTest, AFrameReadAtOneResolutionAndWrittenBackAtAnotherKeepsThePage) {
    Start("Test Maker", "Test Scan", 1);
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 200), TWRC_SUCCESS);
    ASSERT_EQ(Cap(MSG_GET, ICAP_FRAMES), TWRC_SUCCESS);
    const test::OwnedHandle frame = std::move(mAnswer);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 300), TWRC_SUCCESS);
    ASSERT_EQ(Cap(MSG_SET, ICAP_FRAMES, TWON_ONEVALUE, frame.get()), TWRC_SUCCESS);
    ScanOnePage();
    EXPECT_EQ(mReceived.columns, 2480u);
    EXPECT_EQ(mReceived.rows, 3507u);
}

// Image information and layout asked between the blocks of a memory transfer (state 7) answer as before
// the first block, and the page goes on where it stood: each of its 3,507 rows (A4 at 300 dpi) once, from
// the one sheet fed.
TEST_F(TransferSequencingTest, InformationAndLayoutBetweenBlocksLeaveTheRunningPageWhereItStood) {
    const std::uint32_t fedBefore = mEmulator.totalCount();
    Start("Test Maker", "Test Scan", 1);
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 300), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 300), TWRC_SUCCESS);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    TW_IMAGEINFO described{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &described), TWRC_SUCCESS);
    ASSERT_EQ(described.ImageLength, 3507);
    TW_IMAGELAYOUT laidOut{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &laidOut), TWRC_SUCCESS);
    std::vector<std::uint8_t> buffer(std::size_t{1000} * static_cast<std::uint32_t>(described.ImageWidth));
    std::uint32_t rows = 0;
    TW_UINT16 rc = TWRC_SUCCESS;
    for (int blocks = 0; rc == TWRC_SUCCESS && blocks < 100; ++blocks) {
        TW_IMAGEMEMXFER block{};
        block.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
        rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
        ASSERT_EQ(+block.YOffset, rows);
        rows += block.Rows;
        TW_IMAGEINFO again{};
        ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &again), TWRC_SUCCESS);
        EXPECT_EQ(std::memcmp(&again, &described, sizeof again), 0) << "the page's description changed";
        TW_IMAGELAYOUT layout{};
        ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
        EXPECT_EQ(std::memcmp(&layout, &laidOut, sizeof layout), 0) << "the layout changed";
    }
    EXPECT_EQ(rc, TWRC_XFERDONE);
    EXPECT_EQ(rows, 3507u);
    EXPECT_EQ(mEmulator.totalCount() - fedBefore, 1u);
    EXPECT_EQ(EndTransfer(), 0);
}

// After a page's TWRC_XFERDONE, still in state 7, the pending transfers are those after it, as its
// MSG_ENDXFER then reports: a fixed count counts down; an open count is -1 while the feeder runs on.
TEST_F(TransferSequencingTest, PendingTransfersAfterAPageAreThoseThatFollowIt) {
    for (const TW_INT16 wanted : {TW_INT16{2}, TW_INT16{-1}}) {
        SCOPED_TRACE(testing::Message() << "CAP_XFERCOUNT " << wanted);
        mDS = std::make_unique<test::CTestQSDS>();
        Start("Test Maker", "Test Scan", 2);
        ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, wanted), TWRC_SUCCESS);
        ASSERT_EQ(Enable(), TWRC_SUCCESS);
        ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
        TW_PENDINGXFERS pending{};
        ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
        const TW_INT16 following = wanted > 0 ? 1 : -1;
        EXPECT_EQ(static_cast<TW_INT16>(pending.Count), following);
        EXPECT_EQ(EndTransfer(), following);
        ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
        if (wanted > 0) {
            ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
            EXPECT_EQ(pending.Count, 0);
        }
        EXPECT_EQ(EndTransfer(), 0);
        Close();
    }
}

TEST_F(TransferSequencingTest, ImageInfoScansFirstWhenThePageSizeIsDetected) {
    Start("Test Maker", "Test Scan", 0);
    mEmulator.loadSheet(*SheetOf("gen:ramp"), 1); // letter: wider than the A4 that is set
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}), TWRC_SUCCESS);
    ASSERT_EQ(SetInt(CCAP_OVK_DETECTPAGESIZE, 1), TWRC_SUCCESS);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    // The letter sheet's length, found on the page (the edge may lose a few lines); A4 would be 1754.
    EXPECT_NEAR(info.ImageLength, 11 * 150, 30);
}

// Here no transfer-ready signal searched ahead, so the information itself must find the page.
TEST_F(TransferSequencingTest, ImageInfoWithBlankSkipMeasuresTheNextPageThatIsNotBlank) {
    Start("Test Maker", "Test Scan", 0);
    mEmulator.loadSheet(*SheetOf("gen:blank-a4,gen:blank-a4"), 1);
    mEmulator.loadSheet(*SheetOf("gen:ramp"), 1);
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}), TWRC_SUCCESS);
    ASSERT_EQ(SetInt(CCAP_OVK_DETECTPAGESIZE, 1), TWRC_SUCCESS);
    ASSERT_EQ(SetInt(CCAP_OVK_BLANKSKIP, 1), TWRC_SUCCESS);
    SetCapSIntValue(Pool(), CAP_XFERCOUNT, -1);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS) << Status();
    EXPECT_NEAR(info.ImageLength, 11 * 150, 30); // the letter sheet behind the blank one
}

TEST_F(TransferSequencingTest, ImageInfoWithBlankSkipFailsPlainlyWhenOnlyBlankPagesAreLeft) {
    Start("Test Maker", "Test Scan", 0);
    mEmulator.loadSheet(*SheetOf("gen:blank-a4,gen:blank-a4"), 1);
    ASSERT_EQ(SetInt(CCAP_OVK_DETECTPAGESIZE, 1), TWRC_SUCCESS);
    ASSERT_EQ(SetInt(CCAP_OVK_BLANKSKIP, 1), TWRC_SUCCESS);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
}

TEST_F(TransferSequencingTest, OfficeClientsFailedImageInfoKeepsFailing) {
    Start("Microsoft", "Microsoft Word", 0);
    ASSERT_EQ(SetInt(CCAP_OVK_DETECTPAGESIZE, 1), TWRC_SUCCESS);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    EXPECT_NE(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS); // no paper to scan first
    mEmulator.loadSheet(*SheetOf("gen:ramp-a4"), 1);
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
}

TEST_F(TransferSequencingTest, HostQuittingMidBatchClosesAndFreesTheScanner) {
    Start("Test Maker", "Test Scan", 2);
    ASSERT_EQ(Enable(), TWRC_SUCCESS);
    ASSERT_EQ(TransferPage(), TWRC_XFERDONE);
    fnd::NotificationCenter::defaultCenter().post("ApplicationWillTerminateNotification");
    EXPECT_EQ(mDS->GetState(), CDataSource::kClosed);
    const auto lock = CExclusiveLockObject::CreateExclusiveLockObject(CDataSource::kLockName);
    ASSERT_TRUE(lock);
    EXPECT_TRUE(lock->LockObject());
}

TEST_F(TransferSequencingTest, ClientsThatCannotTakeChangingPixelTypesScanWithoutTypeDetection) {
    for (const auto& [maker, product, kept] :
         {std::tuple{"Microsoft", "Microsoft Word", 0}, std::tuple{"Test Maker", "Test Scan", 1}}) {
        mDS = std::make_unique<test::CTestQSDS>();
        Open(maker, product);
        ASSERT_EQ(SetInt(CCAP_OVK_DETECTPAGETYPE, 1), TWRC_SUCCESS);
        ASSERT_EQ(Enable(), TWRC_SUCCESS);
        EXPECT_EQ(Int(CCAP_OVK_DETECTPAGETYPE), kept) << maker;
        Close();
    }
}

// A scanner that ends each feed quietly yet keeps announcing paper that never becomes ready.
class CPhantomPaperQSDS : public test::CTestQSDS {
public:
    int readyChecks = 0;
    bool IsDocumentReady(std::uint32_t* error) override {
        if (error)
            *error = 0;
        ++readyChecks;
        return false;
    }
    std::uint32_t ScanPage(tagScanParam&) override { return k3100::kScanErrEndOfBatch; }
    std::int32_t GetPendingDocumentCount() override { return -1; }
    void DeliveredOneOfOneImage() {
        mState = kTransferring;
        mBatch.StartSheet(1);
    }
};

TEST_F(TransferSequencingTest, PaperThatNeverBecomesReadyEndsTheBatchAfterAWait) {
    auto phantom = std::make_unique<CPhantomPaperQSDS>();
    CPhantomPaperQSDS* ds = phantom.get();
    ds->SetMorePaperLimit(std::chrono::milliseconds(300));
    mDS = std::move(phantom);
    Start("Test Maker", "Test Scan", 0);
    ASSERT_EQ(SetBool(CAP_AUTOFEED, true), TWRC_SUCCESS);
    ds->DeliveredOneOfOneImage();
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(mDS->GetState(), CDataSource::kEnabled);
    EXPECT_GT(ds->readyChecks, 1); // it waited, polling, instead of asking once or for ever
}

// The real transfer-ready routing; the application itself cannot be reached here (no source manager),
// so delivering to it fails, which tells whether it was tried.
class CRoutingQSDS : public test::CTestQSDS {
public:
    TW_UINT16 InvokeCallback(TW_CALLBACK& callback, const fnd::Value& object) override {
        return COrvkQSDS::InvokeCallback(callback, object);
    }
};

TEST_F(TransferSequencingTest, PositioningPrescanStaysInsideTheDialog) {
    mDS = std::make_unique<CRoutingQSDS>();
    Start("Test Maker", "Test Scan", 1);
    TW_USERINTERFACE ui{};
    ui.ShowUI = 1;
    SetUIControllerFactory([] { return std::make_unique<CNullUIController>(); });
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    SetUIControllerFactory(nullptr);
    fnd::Dictionary userInfo{{"Result", fnd::Dictionary()}};
    const fnd::Dictionary request{{"scanModeParam.xferReady.qsds", fnd::Value(std::uint32_t{1})}};
    fnd::NotificationCenter::defaultCenter().post("XferReadyNotification", request, &userInfo);
    EXPECT_EQ(userInfo.get("Result").asDictionary()->get("Code").asUInt16(), TWRC_SUCCESS);
    EXPECT_EQ(mDS->GetState(), CDataSource::kEnabled);
    TW_DEVICEEVENT event{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event), TWRC_SUCCESS);
    EXPECT_EQ(+event.Event, COrvkQSDS::kDeviceEventNone);
}

} // namespace
