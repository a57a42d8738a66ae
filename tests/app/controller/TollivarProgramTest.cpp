// The program tollivar on a private session bus, offscreen, with the emulated scanner: a job sent by
// the helper's Scan event to a running tollivar and to one the test starts as the helper would, one
// instance per session, and the quit by SIGTERM with the settings saved.
#include "EmulatorFixture.h"
#include "PdfCheck.h"
#include "TollivarSettings.h"
#include "appleevent/ProgramWatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
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
        App();
        EmulatorFixture::SetUp();
        if (const char* tmp = std::getenv("TMPDIR"))
            mOldTmp = tmp;
        setenv("TMPDIR", mDir.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        fs::create_directories(mDir / "out");
    }
    void TearDown() override {
        if (mProgram > 0) {
            kill(mProgram, SIGKILL);
            waitpid(mProgram, nullptr, 0);
        }
        EmulatorFixture::TearDown();
        if (mOldTmp.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", mOldTmp.c_str(), 1);
    }
    // The first job saves one PDF per batch into the scratch folder, without a text layer.
    void StoreSaveJob() {
        mJobNumber = test::storeSavePdfJob(mDir / "out");
        ASSERT_NE(mJobNumber, 0);
    }
    void UseButtonOneForTheJob() { ASSERT_TRUE(test::useButtonOneForItsJob()); }
    pid_t Start() {
        const std::string program = (mBuild / "bin" / "tollivar").string();
        const pid_t pid = fork();
        if (pid == 0) {
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    bool WaitRunning() {
        for (int i = 0; i < 1500 && !ae::isRunning(kId); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return ae::isRunning(kId);
    }
    bool WaitState(int state) {
        for (int i = 0; i < 600; ++i) {
            if (test::reportedAppState(helper) == state)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    std::vector<fs::path> Pdfs() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(mDir / "out"))
            if (entry.path().extension() == ".pdf")
                found.push_back(entry.path());
        return found;
    }
    int ExitStatus() {
        int status = 0;
        waitpid(mProgram, &status, 0);
        mProgram = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void ExpectPdfOfPages(int pages) {
        const std::vector<fs::path> pdfs = Pdfs();
        ASSERT_EQ(pdfs.size(), 1u);
        EXPECT_EQ(test::pdfPageCount(pdfs[0]), pages);
        EXPECT_TRUE(test::pdfIsSound(pdfs[0]));
    }

    TapwellAppleEvent helper{QString(kId)};
    pid_t mProgram = -1;
    std::string mOldTmp;
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
    EXPECT_TRUE(ae::isRunning(kId)); // a menu job never closes the application
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(Tollivar, PressLaunchesTheApplicationWhichClosesAfterTheJob) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    StoreSaveJob();
    UseButtonOneForTheJob();
    mProgram = Start(); // as the helper does for a press while the application is not running
    ASSERT_TRUE(WaitRunning());
    helper.transConnectInfo(0, 1, 0);
    helper.transOutputCheckInfo(false);
    ASSERT_TRUE(WaitState(306));
    EXPECT_EQ(ExitStatus(), 0); // the automatic quit 5 s after the job
    ExpectPdfOfPages(2);
}

TEST_F(Tollivar, SecondStartHandsOverAndSigtermSavesTheSettings) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 1"}));
    mProgram = Start();
    ASSERT_TRUE(WaitRunning());
    const pid_t second = Start();
    int status = 0;
    waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(ae::isRunning(kId));
    kill(mProgram, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
    const auto file = fnd::plist::readFile(mDir / (std::string(kId) + ".plist"));
    const fnd::Dictionary* prefs = file.value.asDictionary();
    ASSERT_TRUE(prefs);
    EXPECT_TRUE(prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData());
    EXPECT_TRUE(prefs->get(TlvJobListStorage::kMainJobJLMdlKey).asData());
}

} // namespace
