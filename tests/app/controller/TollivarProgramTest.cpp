// The program tollivar on a private session bus, offscreen, with the emulated scanner: a job sent by
// the helper's Scan event to a running tollivar and to one the test starts as the helper would, one
// instance per session, the quit by SIGTERM (also while pages are written) with the settings saved, a
// paper jam in the middle of a pressed job, and the start of the menu-bar helper (a stand-in).
#include "EmulatorFixture.h"
#include "NumberedSheets.h"
#include "PdfCheck.h"
#include "ProgramWatcher.h"
#include "ScopedEnv.h"
#include "TollivarSettings.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <list>
#include <thread>

namespace {

namespace fs = std::filesystem;
constexpr const char* kId = test::kTollivarId;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tollivar-test";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

class Tollivar : public test::EmulatorFixture {
protected:
    void SetUp() override {
        // Without a session bus the programs would only meet their launch time-outs.
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr)
            << "no session bus: run the program tests under dbus-run-session";
        App();
        EmulatorFixture::SetUp();
        mEnv.emplace_back("TMPDIR", mDir.c_str());
        mEnv.emplace_back("QT_QPA_PLATFORM", "offscreen");
        // No installed .desktop file of the helper: the program starts the stand-in by its alias.
        mEnv.emplace_back("XDG_DATA_HOME", (mDir / "data").c_str());
        mEnv.emplace_back("XDG_DATA_DIRS", (mDir / "data").c_str());
        mEnv.emplace_back("K3100_BUNDLE_PATH", (mDir / "bundles").c_str());
        mEnv.emplace_back("K3100_AUTO_CLOSE_DELAY", "0.3");
        fs::create_directories(mDir / "out");
        UseHelper(true);
    }
    void TearDown() override {
        if (mProgram > 0) {
            kill(mProgram, SIGKILL);
            waitpid(mProgram, nullptr, 0);
        }
        EmulatorFixture::TearDown();
        mEnv.clear();
    }
    // The program's data folder as built, with its alias to the menu-bar helper leading to a stand-in
    // that notes each start in "helper-starts" (or to nothing).
    void UseHelper(bool installed) {
        const fs::path built = mBuild / "bin" / "tollivar.resources";
        const fs::path data = mDir / "bundles" / "tollivar.resources";
        fs::remove_all(data);
        fs::create_directories(data);
        for (const auto& entry : fs::directory_iterator(built))
            if (entry.path().filename() != "tapwell")
                fs::create_symlink(entry.path(), data / entry.path().filename());
        const fs::path helper = mDir / "helper";
        std::FILE* script = std::fopen(helper.c_str(), "w");
        ASSERT_TRUE(script);
        std::fprintf(script, "#!/bin/sh\necho \"$#\" >> '%s'\n", (mDir / "helper-starts").c_str());
        std::fclose(script);
        fs::permissions(helper, fs::perms::owner_all);
        fs::create_symlink(installed ? helper : mDir / "no-helper", data / "tapwell");
    }
    // Lines in the stand-in helper's notes: one per start, each its argument count.
    std::vector<std::string> HelperStarts() const {
        std::vector<std::string> lines;
        std::ifstream notes(mDir / "helper-starts");
        for (std::string line; std::getline(notes, line);)
            lines.push_back(line);
        return lines;
    }
    // The first job saves one PDF per batch into the scratch folder, without a text layer.
    void StoreSaveJob() {
        mJobNumber = test::storeSavePdfJob(mDir / "out");
        ASSERT_NE(mJobNumber, 0);
    }
    void UseButtonOneForTheJob() { ASSERT_TRUE(test::useButtonOneForItsJob()); }
    // Starts tollivar; with log, its standard error goes to that file. Without leakCheck its
    // AddressSanitizer skips the leak check at exit (memory errors are still caught).
    pid_t Start(const fs::path& log = {}, bool leakCheck = true) {
        const std::string program = (mBuild / "bin" / "tollivar").string();
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string options = (asan ? std::string(asan) + ":" : std::string()) + "detect_leaks=0";
        const pid_t pid = fork();
        if (pid == 0) {
            if (!log.empty())
                freopen(log.c_str(), "w", stderr);
            if (!leakCheck)
                setenv("ASAN_OPTIONS", options.c_str(), 1);
            setenv("LSAN_OPTIONS", "suppressions=" EXIT_LEAK_SUPPRESSIONS, 1);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    bool WaitRunning() {
        return test::waitUntil([] { return ae::isRunning(kId); }, std::chrono::seconds(30));
    }
    // The save job on button one, pressed while tollivar is not running: the helper starts it and sends
    // the press.
    void PressWithTheApplicationClosed() {
        StoreSaveJob();
        UseButtonOneForTheJob();
        mProgram = Start();
        ASSERT_TRUE(WaitRunning());
        helper.transConnectInfo(0, 1, 0);
        helper.transOutputCheckInfo(false);
    }
    auto SavedPreferences() const { return fnd::plist::readFile(mDir / (std::string(kId) + ".plist")); }
    // The record the application writes for the helper when asked; none without an answer.
    std::optional<fnd::Dictionary> ReportedRecord() { return test::reportedAppSetting(helper); }
    int ReportedState() { return test::reportedAppState(helper); }
    bool WaitState(int state) {
        return test::waitUntil([&] { return ReportedState() == state; }, std::chrono::seconds(60),
                               [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
    }
    // The program still answers after longer than its automatic quit would wait.
    bool StillAnswersAfterTheQuitDelay() {
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            if (helper.transAppDataCheck().value_or(0) != 1)
                return false;
        }
        return true;
    }
    // The files in the output folder whose names end in extension.
    std::vector<fs::path> OutputFiles(const std::string& extension) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(mDir / "out"))
            if (entry.path().extension() == extension)
                found.push_back(entry.path());
        return found;
    }
    // A document the program holds open in the output folder while it writes it: it has no name there
    // until it is finished, so the program's descriptors show it.
    bool WaitForDocumentBeingWritten() const {
        const std::string folder = (mDir / "out").string() + "/";
        return test::waitUntil(
            [&] {
                std::error_code error;
                for (const auto& fd :
                     fs::directory_iterator("/proc/" + std::to_string(mProgram) + "/fd", error)) {
                    const std::string target = fs::read_symlink(fd.path(), error).string();
                    if (!error && target.starts_with(folder) && !target.ends_with(".pdf"))
                        return true;
                }
                return false;
            },
            std::chrono::seconds(30));
    }
    std::vector<fs::path> Pdfs() const { return OutputFiles(".pdf"); }
    // A child's exit status; -1 when it was killed or did not end within a minute, so that a hang fails
    // the test instead of stopping the suite.
    static int ExitStatusOf(pid_t pid) {
        int status = 0;
        pid_t ended = 0;
        test::waitUntil([&] { return (ended = waitpid(pid, &status, WNOHANG)) != 0; },
                        std::chrono::minutes(1));
        if (ended == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int ExitStatus() {
        const int status = ExitStatusOf(mProgram);
        mProgram = -1;
        return status;
    }
    void ExpectPdfOfPages(int pages) {
        const std::vector<fs::path> pdfs = Pdfs();
        ASSERT_EQ(pdfs.size(), 1u);
        EXPECT_EQ(test::pdfPageCount(pdfs[0]), pages);
        EXPECT_TRUE(test::pdfIsSound(pdfs[0]));
    }

    TapwellAppleEvent helper{QString(kId)};
    pid_t mProgram = -1;
    std::list<ScopedEnv> mEnv;
    int mJobNumber = 1;
};

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
    EXPECT_TRUE(ae::isRunning(kId));
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
    EXPECT_TRUE(OutputFiles(".part").empty());
    // The pages written before the signal are kept in a whole file; the rest of the batch is not.
    const std::vector<fs::path> pdfs = Pdfs();
    ASSERT_LE(pdfs.size(), 1u);
    if (!pdfs.empty()) {
        EXPECT_TRUE(test::pdfIsSound(pdfs[0]));
        EXPECT_LT(test::pdfPageCount(pdfs[0]), 40);
    }
    const auto file = SavedPreferences();
    const fnd::Dictionary* prefs = file.value.asDictionary();
    ASSERT_TRUE(prefs);
    EXPECT_TRUE(prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData());
}

TEST_F(Tollivar, JamMidBatchFailsThePressedJobWhichStaysUpWithTheError) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 12"}));
    ASSERT_NO_FATAL_FAILURE(PressWithTheApplicationClosed());
    // The paper jams at the scanner's next command once the first page is being written.
    ASSERT_TRUE(WaitForDocumentBeingWritten());
    ASSERT_EQ(Control("fault jam"), 0);
    ASSERT_TRUE(WaitState(105));
    const auto record = ReportedRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->get("QS_IsModal").asBool(), true); // the error is up, so presses wait for the user
    EXPECT_TRUE(StillAnswersAfterTheQuitDelay());
    EXPECT_EQ(ReportedState(), 105);
}

// Reads of the save job (colour at 200 dpi, each sheet sized and straightened) that fall inside the
// first sheet, inside the third and between the fifth and the sixth.
constexpr int kFirstSheetRead = 12, kThirdSheetRead = 49, kBetweenSheetsRead = 91;

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
    test::waitUntil([this] { return !HelperStarts().empty(); }, std::chrono::seconds(5));
    EXPECT_EQ(HelperStarts(), std::vector<std::string>{"0"}); // once, without arguments
}

TEST_F(Tollivar, StartsTheHelperThroughItsDesktopFile) {
    fs::create_directories(mDir / "data" / "applications");
    std::ofstream(mDir / "data" / "applications" / "com.orvikElectronics.tapwell.desktop")
        << "[Desktop Entry]\nType=Application\nName=Helper\nExec=" << (mDir / "helper").string()
        << " --from-menu\n";
    mProgram = Start({}, false); // leaks at exit are the other tests' subject
    ASSERT_TRUE(WaitRunning());
    test::waitUntil([this] { return !HelperStarts().empty(); }, std::chrono::seconds(5));
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
    const std::string notice = "menu-bar helper is not installed";
    const std::size_t at = text.find(notice);
    EXPECT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find(notice, at + 1), std::string::npos) << text;
}

} // namespace
