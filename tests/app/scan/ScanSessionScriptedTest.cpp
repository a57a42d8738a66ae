// The page transfer against a data source that says what a test tells it (a source manager entry of
// the test's own): numbers that describe no real page, blocks beyond the buffer or the page, and a
// source that sends blocks without rows. Each such page fails alone: the pages before it are kept, the
// rest of the batch is drained, and the batch ends in failure with its message.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <thread>

#include <sys/resource.h>

#include "RunLoop.h"
#include "Strings.h"
#include "TestScanHost.h"
#include "TlvDeviceCntlr.h"
#include "VX_TWAINCommon.h"

namespace {

// One page as the scripted source answers for it.
struct SScriptedPage {
    TW_IMAGEINFO info{};
    TW_UINT32 maxBufSize = 0;
    // Applied to each block the source fills: rows, bytes per row and bytes written as it claims them.
    TW_UINT32 blockRows = 0;
    TW_UINT32 claimedBytesPerRow = 0;
    TW_UINT32 claimedBytesWritten = 0;
    bool soundBlocks = true; // claims follow from the rows
    TW_UINT32 extraRows = 0; // rows a block brings beyond those the page has left
};

struct SScript {
    std::deque<SScriptedPage> pages;
    TWAINCALLBACKPROC callback = nullptr;
    TW_UINT32 rowsSent = 0;
    int blocksAsked = 0;
    int endXfers = 0;
    int resets = 0;
    int closes = 0;
    int idleTicks = 0; // device events the source sends while it enables, as it waits inside the call
    int aborts = 0;
    bool tickEveryBlock = false; // the source waits for each block's rows, ticking meanwhile
    bool inTick = false;
    int feederStops = 0;
    int feederStopsInTick = 0;
    int feederStopsRefused = 0; // the next ones the source refuses, as outside its transfer states
};
SScript gScript;
// The data source's idle tick and the abort request it takes ('AbRq').
constexpr TW_UINT16 kIdleTick = 0x8004;
constexpr std::uint32_t kAbortRequest = 0x41625271;

SScriptedPage GreyPage(TW_INT32 width, TW_INT32 height) {
    SScriptedPage page;
    page.info.ImageWidth = width;
    page.info.ImageLength = height;
    page.info.SamplesPerPixel = 1;
    page.info.BitsPerSample[0] = 8;
    page.info.BitsPerPixel = 8;
    page.info.XResolution = TW_FIX32{150, 0};
    page.info.YResolution = TW_FIX32{150, 0};
    page.maxBufSize = static_cast<TW_UINT32>(width) * 4;
    page.blockRows = 4;
    return page;
}

TW_UINT16 Block(TW_IMAGEMEMXFER& block) {
    const SScriptedPage& page = gScript.pages.front();
    ++gScript.blocksAsked;
    if (gScript.tickEveryBlock) {
        gScript.inTick = true;
        gScript.callback(nullptr, nullptr, DG_CONTROL, DAT_NULL, MSG_DEVICEEVENT, nullptr);
        gScript.inTick = false;
    }
    const auto rowBytes = static_cast<TW_UINT32>(page.info.ImageWidth);
    const TW_UINT32 left = static_cast<TW_UINT32>(page.info.ImageLength) - gScript.rowsSent;
    block.Rows = std::min(page.blockRows, left) + page.extraRows;
    block.BytesPerRow = rowBytes;
    block.BytesWritten = block.Rows * rowBytes;
    if (!page.soundBlocks) {
        block.BytesPerRow = page.claimedBytesPerRow;
        block.BytesWritten = page.claimedBytesWritten;
    }
    std::memset(block.Memory.TheMem, 0x5A, std::min<TW_UINT32>(block.Memory.Length, block.Rows * rowBytes));
    gScript.rowsSent = std::min(gScript.rowsSent + block.Rows, static_cast<TW_UINT32>(page.info.ImageLength));
    return gScript.rowsSent >= static_cast<TW_UINT32>(page.info.ImageLength) && page.blockRows != 0
               ? TWRC_XFERDONE
               : TWRC_SUCCESS;
}

TW_UINT16 ControlTriplet(pTW_IDENTITY dest, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    switch (dat) {
    case DAT_CALLBACK:
        gScript.callback = reinterpret_cast<TWAINCALLBACKPROC>(static_cast<TW_CALLBACK*>(data)->CallBackProc);
        return TWRC_SUCCESS;
    case DAT_IDENTITY:
        if (msg == MSG_GETNEXT)
            return TWRC_ENDOFLIST;
        if (msg == MSG_GETFIRST) {
            auto* identity = static_cast<TW_IDENTITY*>(data);
            VX_TWAINCommon::setIdentityText(identity->Manufacturer, "Orvik Electronics");
            VX_TWAINCommon::setIdentityText(identity->ProductFamily, "Orvik K-3100 Driver");
            VX_TWAINCommon::setIdentityText(identity->ProductName, "Orvik K-3100 TWAIN");
        }
        gScript.closes += msg == MSG_CLOSEDS;
        return TWRC_SUCCESS;
    case DAT_USERINTERFACE:
        if (msg == MSG_ENABLEDS) {
            for (int i = 0; i < gScript.idleTicks; ++i)
                gScript.callback(dest, nullptr, DG_CONTROL, DAT_NULL, MSG_DEVICEEVENT, nullptr);
            gScript.callback(dest, nullptr, DG_CONTROL, DAT_NULL, MSG_XFERREADY, nullptr);
        }
        return TWRC_SUCCESS;
    case DAT_DEVICEEVENT:
        *static_cast<TW_DEVICEEVENT*>(data) = TW_DEVICEEVENT{};
        static_cast<TW_DEVICEEVENT*>(data)->Event = kIdleTick;
        return TWRC_SUCCESS;
    case DAT_PASSTHRU: {
        const auto* command = static_cast<TW_PASSTHRU*>(data);
        std::uint32_t code = 0;
        if (command->pCommand && command->CommandBytes == sizeof code)
            std::memcpy(&code, command->pCommand, sizeof code);
        gScript.aborts += code == kAbortRequest;
        return TWRC_SUCCESS;
    }
    case DAT_PENDINGXFERS:
        if (msg == MSG_ENDXFER) {
            ++gScript.endXfers;
            gScript.pages.pop_front();
            gScript.rowsSent = 0;
        } else if (msg == MSG_RESET) {
            ++gScript.resets;
            gScript.pages.clear();
        } else if (msg == MSG_STOPFEEDER) {
            ++gScript.feederStops;
            if (gScript.feederStopsRefused > 0) {
                --gScript.feederStopsRefused;
                return TWRC_FAILURE;
            }
            gScript.feederStopsInTick += gScript.inTick ? 1 : 0;
        }
        static_cast<TW_PENDINGXFERS*>(data)->Count = static_cast<TW_UINT16>(gScript.pages.size());
        return TWRC_SUCCESS;
    case DAT_SETUPMEMXFER:
        static_cast<TW_SETUPMEMXFER*>(data)->MaxBufSize = gScript.pages.front().maxBufSize;
        return TWRC_SUCCESS;
    case DAT_STATUS:
        *static_cast<TW_STATUS*>(data) = TW_STATUS{};
        return TWRC_SUCCESS;
    case DAT_PARENT:
        return TWRC_SUCCESS;
    default:
        return TWRC_FAILURE; // capabilities are taken as refused reads; sets are accepted below
    }
}

TW_UINT16 ScriptedManager(pTW_IDENTITY, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                          TW_MEMREF data) {
    if (dg == DG_IMAGE && dat == DAT_IMAGEINFO) {
        *static_cast<TW_IMAGEINFO*>(data) = gScript.pages.front().info;
        return TWRC_SUCCESS;
    }
    if (dg == DG_IMAGE && dat == DAT_IMAGEMEMXFER)
        return Block(*static_cast<TW_IMAGEMEMXFER*>(data));
    if (dat == DAT_CAPABILITY)
        return msg == MSG_SET ? TWRC_SUCCESS : TWRC_FAILURE;
    return ControlTriplet(dest, dat, msg, data);
}

class ScriptedSession : public testing::Test {
protected:
    // One private folder per process: the application takes its temporary folder's name once.
    static void SetUpTestSuite() {
        std::string pattern = (std::filesystem::temp_directory_path() / "k3100-scripted-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        sDir = pattern;
        setenv("TMPDIR", sDir.c_str(), 1);
    }
    static void TearDownTestSuite() {
        std::filesystem::remove_all(sDir);
        unsetenv("TMPDIR");
    }
    void SetUp() override {
        gScript = SScript{};
        fnd::Dictionary info{{"VXDSManufacturer", "Orvik Electronics"},
                             {"VXDSProductFamily", "Orvik K-3100 Driver"},
                             {"VXDSProductName", "Orvik K-3100 TWAIN"}};
        cntlr = std::make_unique<TlvDeviceCntlr>(host, info, &ScriptedManager);
    }
    void TearDown() override { cntlr.reset(); }
    void RunBatch(std::vector<SScriptedPage> pages) {
        gScript.pages.assign(pages.begin(), pages.end());
        host.scanReadyByTwainCB(); // the scripted source sends no device events
        RunReadyBatch();
    }
    void RunReadyBatch() {
        ASSERT_TRUE(cntlr->openDS(&host.scanSettings, false));
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while ((cntlr->isBatchRunning() || cntlr->isRunningMemXfer()) &&
               std::chrono::steady_clock::now() < guard)
            fnd::RunLoop::main().runFor(0.01);
        fnd::RunLoop::main().runFor(0);
        ASSERT_FALSE(cntlr->isBatchRunning());
    }
    // A page too tall to end, one row per block, followed by more; returns once ten blocks are read.
    void StartTallPage(const std::vector<SScriptedPage>& more) {
        SScriptedPage tall = GreyPage(40, 1000000);
        tall.blockRows = 1;
        gScript.pages = {tall};
        gScript.pages.insert(gScript.pages.end(), more.begin(), more.end());
        ASSERT_TRUE(host.scanReadyByTwainCB());
        ASSERT_TRUE(cntlr->openDS(&host.scanSettings, false));
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (gScript.blocksAsked < 10 && std::chrono::steady_clock::now() < guard)
            fnd::RunLoop::main().runFor(0.01);
        ASSERT_TRUE(cntlr->isRunningMemXfer());
    }
    // A faulty page between two sound ones fails alone: the first page kept, the third drained, the batch
    // ended in failure.
    void ExpectOnlyTheMiddlePageFails(const SScriptedPage& faulty) {
        RunBatch({GreyPage(40, 10), faulty, GreyPage(40, 10)});
        EXPECT_EQ(host.pages.size(), 1u);
        EXPECT_EQ(host.states, (std::vector<int>{101, 105}));
        ExpectEndedEarlyAfterPage("Err_ScanDataFault", 1);
        EXPECT_EQ(gScript.endXfers, 3);
        EXPECT_EQ(gScript.closes, 1);
        EXPECT_FALSE(std::filesystem::exists(TlvUtilsMethod::tmpBaseImageFilePath(1)));
    }

    // The failure's own text, then that the batch ended early after kept pages.
    void ExpectEndedEarlyAfterPage(const char* failureKey, int kept) {
        EXPECT_EQ(host.messages, std::vector<std::string>{"Err_ScanEndedAfterPage"});
        const std::string pages = std::to_string(kept);
        const std::vector<std::string> args{appkit::localized(failureKey).toStdString(), pages, pages};
        EXPECT_EQ(host.messageArgs, std::vector<std::vector<std::string>>{args});
    }

    static inline std::filesystem::path sDir;
    test::TestScanHost host;
    std::unique_ptr<TlvDeviceCntlr> cntlr;
};

} // namespace

TEST_F(ScriptedSession, SoundPagesAreKeptWithTheirRowsAndThumbnails) {
    RunBatch({GreyPage(40, 10), GreyPage(40, 10)});
    ASSERT_EQ(host.pages.size(), 2u);
    EXPECT_EQ(host.states, (std::vector<int>{101, 104}));
    EXPECT_EQ(std::filesystem::file_size(TlvUtilsMethod::tmpBaseImageFilePath(1)), 400u);
    EXPECT_EQ(host.pages[1].thumbnail.width, 329);
    EXPECT_EQ(host.pages[1].thumbnail.height, 82);
}

TEST_F(ScriptedSession, InformationOfNoRealPageFailsThatPage) {
    SScriptedPage bad = GreyPage(40, 10);
    bad.info.ImageWidth = 0;
    ExpectOnlyTheMiddlePageFails(bad);
}

TEST_F(ScriptedSession, ABufferThatHoldsNoRowFailsThatPage) {
    SScriptedPage bad = GreyPage(40, 10);
    bad.maxBufSize = 39;
    ExpectOnlyTheMiddlePageFails(bad);
}

TEST_F(ScriptedSession, ABlockLargerThanTheBufferFailsThatPage) {
    SScriptedPage bad = GreyPage(40, 10);
    bad.soundBlocks = false;
    bad.claimedBytesPerRow = 40;
    bad.claimedBytesWritten = 100000;
    ExpectOnlyTheMiddlePageFails(bad);
}

TEST_F(ScriptedSession, RowsShorterThanThePagesFailThatPage) {
    SScriptedPage bad = GreyPage(40, 10);
    bad.soundBlocks = false;
    bad.claimedBytesPerRow = 20;
    bad.claimedBytesWritten = 80;
    ExpectOnlyTheMiddlePageFails(bad);
}

TEST_F(ScriptedSession, MoreRowsThanThePageHasFailThatPage) {
    SScriptedPage bad = GreyPage(40, 10);
    bad.maxBufSize = 40 * 8;
    bad.extraRows = 3; // 7 rows, then 6 more: 13 rows for a page of 10
    ExpectOnlyTheMiddlePageFails(bad);
}

TEST_F(ScriptedSession, ASourceThatSendsNoRowsDoesNotHangTheBatch) {
    SScriptedPage stuck = GreyPage(40, 10);
    stuck.blockRows = 0;
    ExpectOnlyTheMiddlePageFails(stuck);
}

// The pages' folder and files are this user's alone: what someone planted stops the batch with a message
// and is never written through.
TEST_F(ScriptedSession, APlantedPageFileStopsTheBatchAndNothingIsOverwritten) {
    const std::filesystem::path victim = sDir / "victim";
    std::ofstream(victim) << "the user's own file";
    gScript.pages = {GreyPage(40, 10), GreyPage(40, 10)};
    ASSERT_TRUE(host.scanReadyByTwainCB());
    std::filesystem::create_symlink(victim, TlvUtilsMethod::tmpBaseImageFilePath(1));
    RunReadyBatch();
    EXPECT_EQ(host.pages.size(), 1u);
    EXPECT_EQ(host.states, (std::vector<int>{101, 105}));
    ExpectEndedEarlyAfterPage("Err_FileCreateFailed", 1);
    std::string text;
    std::getline(std::ifstream(victim), text);
    EXPECT_EQ(text, "the user's own file");
}

// Going in the middle of a long page: the controller goes at once, and nothing it queued for the next
// block runs after it.
TEST_F(ScriptedSession, TheControllerGoesAtOnceWhileAPageIsInTransfer) {
    ASSERT_NO_FATAL_FAILURE(StartTallPage({}));
    const auto start = std::chrono::steady_clock::now();
    cntlr.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    const int asked = gScript.blocksAsked;
    fnd::RunLoop::main().runFor(0.1); // what the thread queued meanwhile runs no more
    EXPECT_EQ(gScript.blocksAsked, asked);
    EXPECT_TRUE(host.pages.empty());
}

// Quitting with the loop no longer running: the page in transfer is ended, the pending ones reset, the
// source closed, and a writer waiting for the batch's end goes on; the unfinished page's file goes.
TEST_F(ScriptedSession, AQuitMidPageClosesTheSourceAndWakesWhoWaitsForTheBatch) {
    ASSERT_NO_FATAL_FAILURE(StartTallPage({GreyPage(40, 10)}));
    std::atomic<bool> woken{false};
    std::thread writer([&] {
        cntlr->waitToFinishScan();
        woken = true;
    });
    cntlr->closeForQuit();
    writer.join();
    EXPECT_TRUE(woken);
    EXPECT_FALSE(cntlr->isBatchRunning());
    EXPECT_FALSE(cntlr->isRunningMemXfer());
    EXPECT_EQ(gScript.endXfers, 1);
    EXPECT_EQ(gScript.resets, 1);
    EXPECT_EQ(gScript.closes, 1);
    const int asked = gScript.blocksAsked;
    fnd::RunLoop::main().runFor(0.1);
    EXPECT_EQ(gScript.blocksAsked, asked);
    EXPECT_TRUE(host.messages.empty());
    cntlr.reset();
    EXPECT_FALSE(std::filesystem::exists(TlvUtilsMethod::tmpBaseImageFilePath(0)));
}

// The feeder stop goes to the source once: at once while no page is in transfer, else at the source's
// next tick (TWAIN refuses it in the middle of a page otherwise). The pages keep coming and are kept,
// and the batch ends when the source says so.
TEST_F(ScriptedSession, TheFeederStopGoesToTheSourceOnceBetweenPagesOrAtItsTick) {
    gScript.pages = {GreyPage(40, 10), GreyPage(40, 10)};
    ASSERT_TRUE(host.scanReadyByTwainCB());
    int closed = 0;
    cntlr->setBatchClosedHandler([&closed] { ++closed; });
    ASSERT_TRUE(cntlr->openDS(&host.scanSettings, false));
    cntlr->stopFeeder(); // transfers wait: the first page's is not started yet
    EXPECT_EQ(gScript.feederStops, 1);
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (cntlr->isBatchRunning() && std::chrono::steady_clock::now() < guard)
        fnd::RunLoop::main().runFor(0.01);
    EXPECT_EQ(host.pages.size(), 2u);
    EXPECT_EQ(gScript.feederStops, 1);
    EXPECT_EQ(closed, 1);

    ASSERT_NO_FATAL_FAILURE(StartTallPage({}));
    cntlr->stopFeeder();
    fnd::RunLoop::main().runFor(0.1);
    EXPECT_EQ(gScript.feederStops, 1); // the page in transfer goes on without it
    gScript.tickEveryBlock = true;
    const int asked = gScript.blocksAsked;
    while (gScript.blocksAsked < asked + 5 && std::chrono::steady_clock::now() < guard)
        fnd::RunLoop::main().runFor(0.01);
    EXPECT_EQ(gScript.feederStops, 2);
    EXPECT_EQ(gScript.feederStopsInTick, 1);
}

// A feeder stop the source refuses (TWAIN takes it only where transfers wait) is asked again at the next
// moment, here the first page's start: refused once, the batch would have fed every sheet left.
TEST_F(ScriptedSession, ARefusedFeederStopIsSentAgainAtTheNextMoment) {
    gScript.pages = {GreyPage(40, 10), GreyPage(40, 10)};
    gScript.feederStopsRefused = 1;
    ASSERT_TRUE(host.scanReadyByTwainCB());
    ASSERT_TRUE(cntlr->openDS(&host.scanSettings, false));
    cntlr->stopFeeder();
    EXPECT_EQ(gScript.feederStops, 1);
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (cntlr->isBatchRunning() && std::chrono::steady_clock::now() < guard)
        fnd::RunLoop::main().runFor(0.01);
    EXPECT_EQ(gScript.feederStops, 2);
    EXPECT_EQ(host.pages.size(), 2u);
}

// The temporary folder's disk has no room for a page (here: a file may not grow past a limit): the batch
// stops with the pages before it, and the message says which disk is full, not that a file failed.
TEST_F(ScriptedSession, AFullTemporaryDiskStopsTheBatchAndSaysSo) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 600; // bytes: the first page (400) fits, the second (800) does not
    setrlimit(RLIMIT_FSIZE, &limit);
    RunBatch({GreyPage(40, 10), GreyPage(40, 20), GreyPage(40, 10)});
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(host.pages.size(), 1u);
    EXPECT_EQ(host.states, (std::vector<int>{101, 105}));
    ExpectEndedEarlyAfterPage("Err_TmpDiskFull", 1);
    EXPECT_FALSE(std::filesystem::exists(TlvUtilsMethod::tmpBaseImageFilePath(1)));
}

// A cancel seen at every tick of the source's wait sends the abort once; the next batch sends its own.
TEST_F(ScriptedSession, TheAbortGoesToTheDataSourceOncePerBatch) {
    gScript.idleTicks = 3;
    host.batch.cancelOnMain();
    RunBatch({GreyPage(40, 10)});
    EXPECT_EQ(host.ticks.load(), 3);
    EXPECT_EQ(gScript.aborts, 1);
    RunBatch({GreyPage(40, 10)});
    EXPECT_EQ(host.ticks.load(), 6);
    EXPECT_EQ(gScript.aborts, 2);
}

TEST_F(ScriptedSession, NoPrivateFolderStopsTheBatchBeforeAPageIsWritten) {
    setenv("TMPDIR", (sDir / "missing").c_str(), 1);
    gScript.pages = {GreyPage(40, 10), GreyPage(40, 10)};
    RunReadyBatch(); // the source's ready call asks for the folder
    setenv("TMPDIR", sDir.c_str(), 1);
    EXPECT_TRUE(host.pages.empty());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Err_TmpFolderFailed"});
    EXPECT_EQ(gScript.closes, 1);
}
