// The program tollivar on a private session bus, offscreen, with the emulated scanner: a job sent by
// the helper's Scan event to a running tollivar and to one the test starts as the helper would, one
// instance per session, the quit by SIGTERM (also while pages are written) with the settings saved, a
// paper jam in the middle of a pressed job, and the start of the menu-bar helper (a stand-in).
#include "TollivarProgramFixture.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using test::kTollivarId;
using test::Tollivar;

TEST_F(Tollivar, ScanToARunningApplicationWritesOnePdfOfTheBatch) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 3"}));
    StoreSaveJob();
    mProgram = Start();
    ASSERT_TRUE(WaitRunning());
    helper.transScanInfo(mJobNumber);
    ASSERT_TRUE(WaitState(306));
    ExpectPdfOfPages(3);
    EXPECT_TRUE(StillAnswersAfterTheQuitDelay()); // a menu job never closes the application
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(Tollivar, PressLaunchesTheApplicationWhichClosesAfterTheJob) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    ASSERT_NO_FATAL_FAILURE(PressWithTheApplicationClosed());
    ASSERT_TRUE(WaitState(306));
    EXPECT_EQ(ExitStatus(), 0); // the automatic quit after the job
    ExpectPdfOfPages(2);
}

TEST_F(Tollivar, SecondStartHandsOverAndSigtermSavesTheSettings) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 1"}));
    mProgram = Start();
    ASSERT_TRUE(WaitRunning());
    const pid_t second = Start();
    EXPECT_EQ(ExitStatusOf(second), 0);
    EXPECT_TRUE(ae::isRunning(kTollivarId));
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
    const auto file = SavedPreferences();
    const fnd::Dictionary* prefs = file.value.asDictionary();
    ASSERT_TRUE(prefs);
    EXPECT_TRUE(prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData());
    EXPECT_TRUE(prefs->get(TlvJobListStorage::kMainJobJLMdlKey).asData());
}

TEST_F(Tollivar, SigtermWhilePagesAreWrittenLeavesWholeFilesAndSavesTheSettings) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 40"}));
    StoreSaveJob();
    // Now and then Qt's session-bus thread hands the main thread a message after the application
    // object is gone (252 bytes inside Qt), which the leak check would report.
    mProgram = Start({}, false);
    ASSERT_TRUE(WaitRunning());
    helper.transScanInfo(mJobNumber);
    ASSERT_TRUE(WaitForDocumentBeingWritten());
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
    ExpectWholeFilesOfFewerPagesThan(40);
}

// Recognition opens nothing in the current folder, where another user may have left any name: a FIFO
// planted there under the name the text engine would look for holds up no page of a pressed job with a
// text layer, which writes its document and closes as usual.
TEST_F(Tollivar, AFifoInTheCurrentFolderHoldsUpNoRecognisedPage) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    StoreSaveJob([](TlvFuncSettingMdl& func) { func.setIsAddOCR(true, 0); });
    UseButtonOneForTheJob();
    const fs::path current = mDir / "current";
    fs::create_directory(current);
    ASSERT_EQ(mkfifo((current / "noname").c_str(), 0666), 0);
    mProgram = Start({}, true, [&current] { (void)!chdir(current.c_str()); });
    ASSERT_TRUE(WaitRunning());
    helper.transConnectInfo(0, 1, 0);
    helper.transOutputCheckInfo(false);
    ASSERT_TRUE(WaitState(306));
    EXPECT_EQ(ExitStatus(), 0);
    ExpectPdfOfPages(2);
}

// SIGTERM in the middle of a recognised job ends the program as it ends any batch, FIFO or not, and the
// quit keeps the pages written in a whole file, and the settings. Its handler gives way at once: the
// program no longer catches SIGTERM while it ends (no second signal is sent here, which would end it
// before it kept anything).
TEST_F(Tollivar, SigtermEndsARecognisedJobAndKeepsWholeFiles) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 40"}));
    StoreSaveJob([](TlvFuncSettingMdl& func) { func.setIsAddOCR(true, 0); });
    const fs::path current = mDir / "current";
    fs::create_directory(current);
    ASSERT_EQ(mkfifo((current / "noname").c_str(), 0666), 0);
    mProgram = Start({}, false, [&current] { (void)!chdir(current.c_str()); });
    ASSERT_TRUE(WaitRunning());
    helper.transScanInfo(mJobNumber);
    ASSERT_TRUE(WaitForDocumentBeingWritten());
    kill(mProgram, SIGTERM);
    EXPECT_TRUE(test::waitUntil([this] { return !Catches(SIGTERM); }, std::chrono::seconds(30)));
    EXPECT_EQ(ExitStatus(), 0);
    ExpectWholeFilesOfFewerPagesThan(40);
}

// Reads of the save job (colour at 200 dpi, each sheet sized and straightened) that fall inside the
// first sheet, inside the third and between the fifth and the sixth.
constexpr int kFirstSheetRead = 12, kThirdSheetRead = 49, kBetweenSheetsRead = 91;

// The paper jams inside the third sheet, wherever the writing of the first pages has got to.
TEST_F(Tollivar, JamMidBatchFailsThePressedJobWhichStaysUpWithTheError) {
    ASSERT_TRUE(
        StartEmulator(test::writeNumberedSheets(mDir, 8), {"jam@read:" + std::to_string(kThirdSheetRead)}));
    ASSERT_NO_FATAL_FAILURE(PressWithTheApplicationClosed());
    ASSERT_TRUE(WaitState(105));
    const auto record = ReportedRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->get("QS_IsModal").asBool(), true); // the error is up, so presses wait for the user
    EXPECT_TRUE(StillAnswersAfterTheQuitDelay());
    EXPECT_EQ(ReportedState(), 105);
}

// Eight numbered sheets with the pipe stalling once, at each of those reads: the job still writes the
// eight pages and closes as usual.
TEST_F(Tollivar, AStalledPipeCostsThePressedJobNoSheet) {
    for (const int read : {kFirstSheetRead, kThirdSheetRead, kBetweenSheetsRead}) {
        SCOPED_TRACE("stall at read " + std::to_string(read));
        ASSERT_TRUE(
            StartEmulator(test::writeNumberedSheets(mDir, 8), {"stall@read:" + std::to_string(read)}));
        ASSERT_NO_FATAL_FAILURE(PressWithTheApplicationClosed());
        ASSERT_TRUE(WaitState(306));
        EXPECT_EQ(ExitStatus(), 0);
        ExpectPdfOfPages(8);
        StopEmulator();
        for (const fs::path& pdf : Pdfs())
            fs::remove(pdf);
    }
}

// A pipe that stalls at every try on the third sheet fails the job: it stays up with the error, and no
// document claims the batch whole.
TEST_F(Tollivar, APipeThatStaysStalledFailsThePressedJob) {
    std::vector<std::string> faults;
    for (int read = kThirdSheetRead; read < kThirdSheetRead + 5; ++read)
        faults.push_back("stall@read:" + std::to_string(read));
    ASSERT_TRUE(StartEmulator(test::writeNumberedSheets(mDir, 8), faults));
    ASSERT_NO_FATAL_FAILURE(PressWithTheApplicationClosed());
    ASSERT_TRUE(WaitState(105));
    const auto record = ReportedRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->get("QS_IsModal").asBool(), true);
    EXPECT_TRUE(StillAnswersAfterTheQuitDelay());
    for (const fs::path& pdf : Pdfs())
        EXPECT_LT(test::pdfPageCount(pdf), 3);
}

// From the second sheet on the scanner hands its data in small pieces: the pages come slower, and the
// job still writes every one of them and closes as usual.
TEST_F(Tollivar, ShortReadsOnlySlowThePressedJob) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 4"}, {"short-reads@scan:2"}));
    ASSERT_NO_FATAL_FAILURE(PressWithTheApplicationClosed());
    ASSERT_TRUE(WaitState(306));
    EXPECT_EQ(ExitStatus(), 0);
    ExpectPdfOfPages(4);
}

TEST_F(Tollivar, StartsTheHelperOnceWhenItIsNotRunning) {
    mProgram = Start({}, false); // leaks at exit are the other tests' subject
    ASSERT_TRUE(WaitRunning());
    const pid_t second = Start(); // hands over to the first and starts nothing
    EXPECT_EQ(ExitStatusOf(second), 0);
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_TRUE(test::waitUntil([this] { return !HelperStarts().empty(); }, std::chrono::seconds(60)));
    EXPECT_EQ(HelperStarts(), std::vector<std::string>{"0"}); // once, without arguments
}

TEST_F(Tollivar, StartsTheHelperThroughItsDesktopFile) {
    fs::create_directories(mDir / "data" / "applications");
    std::ofstream(mDir / "data" / "applications" / "com.orvikElectronics.tapwell.desktop")
        << "[Desktop Entry]\nType=Application\nName=Helper\nExec=" << (mDir / "helper").string()
        << " --from-menu\n";
    mProgram = Start({}, false); // leaks at exit are the other tests' subject
    ASSERT_TRUE(WaitRunning());
    EXPECT_TRUE(test::waitUntil([this] { return !HelperStarts().empty(); }, std::chrono::seconds(60)));
    EXPECT_EQ(HelperStarts(), std::vector<std::string>{"1"}); // with the entry's argument
}

TEST_F(Tollivar, LeavesARunningHelperAlone) {
    ASSERT_TRUE(QDBusConnection::sessionBus().registerService("com.orvikElectronics.tapwell"));
    mProgram = Start({}, false); // leaks at exit are the other tests' subject
    ASSERT_TRUE(WaitRunning());
    EXPECT_EQ(helper.transAppDataCheck().value_or(0), 1); // its start-up is over
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
    QDBusConnection::sessionBus().unregisterService("com.orvikElectronics.tapwell");
    EXPECT_TRUE(HelperStarts().empty());
}

TEST_F(Tollivar, RunsWithoutTheHelperAndSaysSoOnce) {
    UseHelper(false);
    mProgram = Start(mDir / "log", false);
    ASSERT_TRUE(WaitRunning());
    EXPECT_EQ(helper.transAppDataCheck().value_or(0), 1);
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
    std::ifstream log(mDir / "log");
    const std::string text{std::istreambuf_iterator<char>(log), {}};
    const std::string notice = "system tray helper (tapwell) is not installed";
    const std::size_t at = text.find(notice);
    EXPECT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find(notice, at + 1), std::string::npos) << text;
}

} // namespace
