// Batches of the session controller against the real data source, loaded by the source manager, with
// an emulated scanner in its own process: pages, their raw files, records and thumbnails, cancels and
// close requests, scanner faults, and a scanner held by another program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "EmulatorFixture.h"
#include "EndsWithTheTest.h"
#include "PropertyList.h"
#include "RunLoop.h"
#include "Strings.h"
#include "TestScanHost.h"
#include "TlvDeviceCntlr.h"
#include "TwainSession.h"
#include "VX_Message.h"

namespace {

namespace fs = std::filesystem;

fnd::Dictionary AppInfo() {
    const fnd::plist::FileContents file = fnd::plist::readFile(APP_INFO_PLIST);
    const fnd::Dictionary* info = file.value.asDictionary();
    return info ? *info : fnd::Dictionary{};
}

std::string Text(const char* key) {
    return appkit::localized(key).toStdString();
}

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ScanSession : public test::EmulatorFixture {
protected:
    void SetUp() override {
        EmulatorFixture::SetUp();
        setenv("TMPDIR", mDir.c_str(), 1);
        // Grey at 150 dpi, both sides, as the scan-settings panel would set it.
        host.scanSettings.setScnStColType(2);
        host.scanSettings.setScnStResType(0);
        host.scanSettings.setScnStReaderSideType(1);
        host.scanSettings.setIsRevisionSlope(false);
    }
    void TearDown() override {
        cntlr.reset();
        if (holder > 0) {
            kill(holder, SIGTERM);
            waitpid(holder, nullptr, 0);
        }
        EmulatorFixture::TearDown();
        unsetenv("TMPDIR");
    }
    void StartScanner(const std::vector<std::string>& loads, const std::vector<std::string>& faults = {}) {
        ASSERT_TRUE(StartEmulator(loads, faults)) << "the emulator never served " << Socket();
        cntlr = std::make_unique<TlvDeviceCntlr>(host, AppInfo());
    }
    // Starts a batch and runs the main loop until it has ended (the guard only stops a hung test).
    bool RunBatch() {
        if (!cntlr->openDS(&host.scanSettings, false))
            return false;
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while ((cntlr->isBatchRunning() || cntlr->isRunningMemXfer()) &&
               std::chrono::steady_clock::now() < guard)
            fnd::RunLoop::main().runFor(0.02);
        fnd::RunLoop::main().runFor(0); // what the end queued
        return !cntlr->isBatchRunning();
    }
    fs::path RawFile(const tlv::TlvPageRecord& page) const {
        return TlvUtilsMethod::tmpImageFolderPath() / *page.info.get(ImgInfo_NameKey).asString();
    }
    // Each kept page has its raw file, as long as its record says, and a thumbnail of a real size.
    void ExpectWholePages() const {
        for (std::size_t i = 0; i < host.pages.size(); ++i) {
            const tlv::TlvPageRecord& page = host.pages[i];
            EXPECT_EQ(page.index, static_cast<int>(i));
            EXPECT_EQ(*page.info.get(ImgInfo_NameKey).asString(), "tmpImg_" + std::to_string(i));
            const auto width = *page.info.get(ImgInfo_WidthKey).asInt32();
            const auto height = *page.info.get(ImgInfo_HeightKey).asInt32();
            const auto bpp = *page.info.get(ImgInfo_bppKey).asInt32();
            EXPECT_EQ(fs::file_size(RawFile(page)), std::uintmax_t((width * bpp + 7) / 8) * height);
            EXPECT_EQ(*page.info.get(ImgInfo_XResKey).asDouble(), 150.0);
            EXPECT_EQ(*page.info.get(ImgInfo_RotateKey).asInt32(), 0);
            const tlv::TlvThumbSize size = tlv::sizeForPreImg(width, height);
            EXPECT_EQ(page.thumbnail.width, size.width);
            EXPECT_EQ(page.thumbnail.height, size.height);
            EXPECT_EQ(page.thumbnail.pixels.size(), std::size_t(page.thumbnail.bytesPerRow) * size.height);
        }
    }
    // The files in the temporary folder: exactly the raw files of the kept pages.
    std::size_t FilesInTmpFolder() const {
        return static_cast<std::size_t>(std::distance(
            fs::directory_iterator(TlvUtilsMethod::tmpImageFolderPath()), fs::directory_iterator()));
    }

    test::TestScanHost host;
    std::unique_ptr<TlvDeviceCntlr> cntlr;
    pid_t holder = -1;
};

} // namespace

TEST_F(ScanSession, ThreeDuplexSheetsGiveSixPagesAsTheDataSourceSendsThem) {
    const std::vector<std::string> sheets{"gen:ramp-a4,gen:ramp-a4 3"};
    StartScanner(sheets);
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.states, (std::vector<int>{101, 102, 104}));
    EXPECT_EQ(host.messages, std::vector<std::string>{});
    ASSERT_EQ(host.pages.size(), 6u);
    ExpectWholePages();
    EXPECT_EQ(FilesInTmpFolder(), 6u);
    EXPECT_EQ(cntlr->curDSState(), kVXStateDSClosed);
    EXPECT_FALSE(cntlr->isRunningMemXfer());
    EXPECT_TRUE(cntlr->isFinishMSGReset());

    // The same sheets for twainscan's session, which opens the data source with the settings the
    // batch left in it: every raw file holds exactly the rows twainscan receives.
    cntlr.reset();
    StopEmulator();
    ASSERT_TRUE(StartEmulator(sheets));
    twainscan::CTwainSession session;
    session.OpenSource("K-3100");
    session.Enable();
    std::vector<SPageBitmap> received;
    for (bool more = true; more;) {
        SPageBitmap page;
        ASSERT_EQ(session.TransferPage(page), twainscan::EPageResult::kDone);
        received.push_back(std::move(page));
        more = session.EndTransfer();
    }
    session.Close();
    ASSERT_EQ(received.size(), host.pages.size());
    for (std::size_t i = 0; i < received.size(); ++i)
        EXPECT_TRUE(FileBytes(RawFile(host.pages[i])) == received[i].pixels) << "page " << i;
}

TEST_F(ScanSession, JobModeWithPagesStillBeingWrittenEndsInState103) {
    StartScanner({"gen:ramp-a4 2"});
    host.scanMode = 1;
    host.funcType = 0;
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.states, (std::vector<int>{101, 102, 103}));
    EXPECT_TRUE(host.finScanMarked);
}

TEST_F(ScanSession, ACancelMidBatchKeepsThePagesBeforeItAndTellsNothing) {
    StartScanner({"gen:ramp-a4,gen:ramp-a4 5"});
    host.onPage = [this](std::size_t count) {
        if (count == 2)
            host.batch.cancelOnMain();
    };
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.states, (std::vector<int>{101, 102, 105}));
    EXPECT_GE(host.pages.size(), 2u);
    EXPECT_LT(host.pages.size(), 10u);
    ExpectWholePages();
    EXPECT_EQ(FilesInTmpFolder(), host.pages.size());
    EXPECT_TRUE(cntlr->wasSentCancelToDS());
    EXPECT_EQ(host.messages, std::vector<std::string>{});
    EXPECT_EQ(cntlr->curDSState(), kVXStateDSClosed);
}

TEST_F(ScanSession, ACloseRequestMidBatchEndsItAndTheNextBatchRuns) {
    StartScanner({"gen:ramp-a4 6"});
    host.scanMode = 1;
    host.funcType = 2; // print: the batch ends at 104 without waiting for writers
    host.onPage = [](std::size_t count) {
        if (count == 1) // the data source asks to be closed, as the source manager would pass it on
            TlvDeviceCntlr::TWAIN_ScanCallback(nullptr, nullptr, DG_CONTROL, DAT_NULL, MSG_CLOSEDSREQ,
                                               nullptr);
    };
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.states, (std::vector<int>{101, 102, 105}));
    EXPECT_GE(host.pages.size(), 1u);
    EXPECT_LT(host.pages.size(), 6u);
    ExpectWholePages();
    EXPECT_EQ(cntlr->curDSState(), kVXStateDSClosed);

    host.onPage = nullptr;
    host.states.clear();
    host.setAppStateNum(0);
    host.states.clear();
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.states, (std::vector<int>{101, 102, 104}));
    EXPECT_GE(host.pages.size(), 1u);
    ExpectWholePages();
}

// A fault ends the batch with its own text, followed by the pages kept and the sheet to feed again: one
// side a sheet, so the sheet after the last page kept. A fault without words of the application's own
// says the scanner's.
TEST_F(ScanSession, ScannerFaultsEndInFailureWithTheirMessageAndKeepEarlierPages) {
    // A stall that clearing the pipe does not mend: every try of the same read stalls again.
    std::vector<std::string> stalls;
    for (int read = 30; read <= 34; ++read)
        stalls.push_back("stall@read:" + std::to_string(read));
    const std::pair<std::vector<std::string>, const char*> faults[] = {
        {{"jam@read:30"}, "Scanning stopped: the paper jammed."},
        {{"double-feed@read:30"}, "Scanning stopped: more than one sheet was fed at once."},
        {{"no-paper@read:30"}, "There is no paper in the scanner."},
        {{"gone@read:30"}, "The scanner is not connected or not turned on."},
        {{"cover-open@read:30"}, "Scanning stopped before all pages were read: the scanner's cover is open."},
        {{"lamp-error@read:30"}, "Scanning stopped before all pages were read: the scanner's lamp failed."},
        {{"hardware-error@read:30"},
         "Scanning stopped before all pages were read: the scanner reported a hardware error."},
        {stalls, "The scanner is not connected or not turned on."},
    };
    host.scanSettings.setScnStReaderSideType(0);
    for (const auto& [fault, text] : faults) {
        SCOPED_TRACE(fault.front());
        // Far enough into the batch that the first sheet is in.
        StartScanner({"gen:ramp-a4 4"}, fault);
        ASSERT_TRUE(RunBatch());
        EXPECT_EQ(host.states, (std::vector<int>{101, 102, 105}));
        ASSERT_EQ(host.messages.size(), 1u);
        const std::string kept = std::to_string(host.pages.size());
        EXPECT_EQ(host.messages[0], "Err_ScanEndedAfterPage");
        EXPECT_EQ(host.messageArgs[0], (std::vector<std::string>{text, kept, kept}));
        EXPECT_GE(host.pages.size(), 1u);
        EXPECT_LT(host.pages.size(), 4u);
        ExpectWholePages();
        EXPECT_EQ(FilesInTmpFolder(), host.pages.size());
        EXPECT_EQ(cntlr->curDSState(), kVXStateDSClosed);
        cntlr.reset();
        StopEmulator();
        host.setAppStateNum(0);
        host.states.clear();
        host.messages.clear();
        host.messageArgs.clear();
    }
}

// With blank-page skipping a sheet may have given fewer pages than sides, so the count no longer tells
// whether the last page's sheet is done: that sheet is fed again, whatever the count.
TEST_F(ScanSession, WithBlankSkippingTheSheetOfTheLastPageKeptIsFedAgain) {
    host.scanSettings.setScnStReaderSideType(2);
    StartScanner({"gen:ramp-a4 4"}, {"jam@read:30"});
    ASSERT_TRUE(RunBatch());
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string kept = std::to_string(host.pages.size());
    EXPECT_EQ(host.messages[0], "Err_ScanEndedWithPage");
    EXPECT_EQ(host.messageArgs[0], (std::vector<std::string>{Text("Err_ScanPaperJam"), kept, kept}));
    EXPECT_GE(host.pages.size(), 1u);
}

// Blank-page skipping that dropped every page says so, as the data source tells it.
TEST_F(ScanSession, ABatchOfBlankPagesIsToldAsBlank) {
    host.scanSettings.setScnStReaderSideType(2);
    StartScanner({"gen:blank-a4 2"});
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Err_ScanBlankPages"});
    EXPECT_EQ(host.pages.size(), 0u);
}

// The scanner runs out of paper inside the first sheet: no page is kept, but a sheet was taken, so the
// batch is fed again from its first sheet. An empty feeder at the start took none (below).
TEST_F(ScanSession, NoPaperInsideTheFirstSheetFeedsAgainFromTheFirstSheet) {
    host.scanSettings.setScnStReaderSideType(0);
    StartScanner({"gen:ramp-a4 4"}, {"no-paper@read:12"});
    ASSERT_TRUE(RunBatch());
    EXPECT_EQ(host.pages.size(), 0u);
    EXPECT_EQ(host.states, (std::vector<int>{101, 102, 105}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        VX_Message::messageText(host.messages[0], host.messageArgs[0]).toStdString(),
        "There is no paper in the scanner.\n\nThe batch ended early and none of its pages was kept. Feed "
        "its sheets again from the first one.");
}

TEST_F(ScanSession, AnEmptyFeederAtTheStartIsToldAsNoPaper) {
    StartScanner({});
    ASSERT_TRUE(RunBatch()); // a failed enable is handled: the batch ends at once
    EXPECT_EQ(host.messages, std::vector<std::string>{"Err_ScanNoPaper"});
    EXPECT_EQ(host.pages.size(), 0u);
    EXPECT_EQ(cntlr->curDSState(), kVXStateDSClosed);
    EXPECT_TRUE(cntlr->isFinishMSGReset());
}

TEST_F(ScanSession, AScannerHeldByAnotherProgramIsInUse) {
    // The test build of K3100.ds pauses milliseconds, not 1.5 s, after each refusal of the lock.
    setenv("K3100_TWAIN_DS_DIR", SHORT_LOCK_PAUSE_DS_DIR, 1);
    StartScanner({"gen:ramp-a4 1"});
    const std::string lock = (mDir / "k_3100").string();
    // The other program takes the scanner's lock and keeps it while it runs.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t testProcess = getpid();
    holder = fork();
    if (holder == 0) {
        test::endWithTheTest(testProcess);
        const int fd = open(lock.c_str(), O_RDWR | O_CREAT, 0600);
        if (fd < 0 || flock(fd, LOCK_EX) != 0)
            _exit(126);
        (void)!write(ready[1], "1", 1);
        execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    EXPECT_FALSE(cntlr->openDS(&host.scanSettings, false));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Err_ScannerInUse"});
    EXPECT_EQ(host.states, std::vector<int>{});
    EXPECT_FALSE(cntlr->isBatchRunning());
}

// A data source that cannot be opened is told by the condition code: 3 (no data source) from the data
// source of this scanner says that the scanner is not there, as after a batch; another data source that
// cannot be used says so.
TEST_F(ScanSession, ADataSourceThatCannotBeOpenedIsToldByItsConditionCode) {
    StartScanner({"gen:ramp-a4 1"});
    fnd::Dictionary info = AppInfo();
    info.set("VXDSProductName", "Another Scanner");
    cntlr.reset();
    cntlr = std::make_unique<TlvDeviceCntlr>(host, info);
    EXPECT_FALSE(cntlr->openDS(&host.scanSettings, false));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Err_NotUseScannerDriver"});

    host.messages.clear();
    StopEmulator();
    cntlr = std::make_unique<TlvDeviceCntlr>(host, AppInfo());
    EXPECT_FALSE(cntlr->openDS(&host.scanSettings, false));
    ASSERT_EQ(host.messages, std::vector<std::string>{"Err_ScannerNotConnected"});
    EXPECT_EQ(Text("Err_ScannerNotConnected"), "The scanner is not connected or not turned on.");
    EXPECT_FALSE(cntlr->isBatchRunning());

    // One that goes away as the job opens it, before a sheet is taken.
    host.messages.clear();
    StartScanner({"gen:ramp-a4 1"}, {"gone@inquiry:1"});
    EXPECT_FALSE(cntlr->openDS(&host.scanSettings, false));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Err_ScannerNotConnected"});
    EXPECT_FALSE(cntlr->isBatchRunning());
}
