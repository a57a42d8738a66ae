// The program tollivar on a private session bus, offscreen, with the emulated scanner: a job sent by
// the helper's Scan event to a running tollivar and to one the test starts as the helper would, one
// instance per session, and the quit by SIGTERM with the settings saved.
#include "EmulatorFixture.h"
#include "ProgramWatcher.h"
#include "PropertyList.h"
#include "TapwellAppleEvent.h"
#include "TlvAppleEventLink.h"
#include "TlvJobListStorage.h"
#include "TlvOutputOptions.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

namespace fs = std::filesystem;
constexpr char kId[] = "com.orvikElectronics.tollivar";

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tollivar-test";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
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
        fnd::UserDefaults defaults(kId);
        TlvJobListStorage lists(defaults);
        lists.loadJobListMdlFromFile(false);
        TlvJobListSettingMdl job = lists.jobListMdlAtIndex(0)->copyWithZone();
        job.setJList_FunctionType(tlv::kFuncSave);
        auto func = std::make_shared<TlvFuncSettingMdl>(*job.jList_FuncSettingMdl());
        func->setFileFormatType(tlv::kFormatPDF, 0);
        func->setIsAddOCR(false, 0);
        func->setIsPictureFolderSave(false, 0);
        func->setFileSavePath((mDir / "out").string(), 0);
        job.setJList_FuncSettingMdl(func);
        auto scan = std::make_shared<TlvScanSettingMdl>(*job.jList_ScanSettingMdl());
        scan->setScnStReaderSideType(0); // one side: a page per sheet
        job.setJList_ScanSettingMdl(scan);
        ASSERT_TRUE(lists.applyJob(0, job));
        ASSERT_TRUE(lists.saveJobListMdlToFile());
        mJobNumber = job.jList_Num();
    }
    void UseButtonOneForTheJob() {
        fnd::UserDefaults defaults(kId);
        TlvAppSettingMdl settings(defaults);
        settings.setIsBtn1AllocFOAScan(false); // button 1 runs the first job
        settings.saveAppSttingToFile(defaults);
        ASSERT_TRUE(defaults.synchronize());
    }
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
    // The state the application reports in its record; -1 without an answer.
    int ReportedState() {
        if (helper.transAppDataCheck().value_or(0) != 1)
            return -1;
        const auto file = fnd::plist::readFile(mDir / (std::string(kId) + ".plist"));
        const fnd::Dictionary* prefs = file.value.asDictionary();
        const fnd::Data* data = prefs ? prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData() : nullptr;
        const auto record = data ? fnd::plist::parse(*data) : std::nullopt;
        const auto* dict = record ? record->asDictionary() : nullptr;
        return dict ? dict->get("QS_AppState").asInt32().value_or(-1) : -1;
    }
    bool WaitState(int state) {
        for (int i = 0; i < 600; ++i) {
            if (ReportedState() == state)
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
        const std::string info = Output("pdfinfo '" + pdfs[0].string() + "' 2>&1");
        const std::size_t at = info.find("Pages:");
        ASSERT_NE(at, std::string::npos) << info;
        EXPECT_EQ(std::stoi(info.substr(at + 6)), pages) << info;
        EXPECT_EQ(std::system(("qpdf --check '" + pdfs[0].string() + "' >/dev/null").c_str()), 0);
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
