// The program tollivar on a private session bus, offscreen, with the emulated scanner and a scratch
// output folder: its start as the test's child, the helper's view of its state, and its written files.
#pragma once

#include "EmulatorFixture.h"
#include "EndsWithTheTest.h"
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
#include <functional>
#include <list>
#include <string>
#include <thread>
#include <vector>

namespace test {

namespace fs = std::filesystem;

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tollivar-test";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

class Tollivar : public EmulatorFixture {
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
    // The first job saves one PDF per batch into the scratch folder, without a text layer, the sides of
    // each sheet that `sides` says.
    void StoreSaveJob(const std::function<void(TlvFuncSettingMdl&)>& adjust = {}, int sides = 0) {
        mJobNumber = storeSavePdfJob(mDir / "out", adjust, sides);
        ASSERT_NE(mJobNumber, 0);
    }
    void UseButtonOneForTheJob() { ASSERT_TRUE(test::useButtonOneForItsJob()); }
    // Starts tollivar; with log, its standard error goes to that file. Without leakCheck its
    // AddressSanitizer skips the leak check at exit (memory errors are still caught).
    // inChild runs in the child before it starts the program (async-signal-safe calls only).
    pid_t Start(const fs::path& log = {}, bool leakCheck = true, const std::function<void()>& inChild = {}) {
        const std::string program = (mBuild / "bin" / "tollivar").string();
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string options = (asan ? std::string(asan) + ":" : std::string()) + "detect_leaks=0";
        const pid_t testProcess = getpid();
        const pid_t pid = fork();
        if (pid == 0) {
            endWithTheTest(testProcess);
            if (!log.empty())
                freopen(log.c_str(), "w", stderr);
            if (!leakCheck)
                setenv("ASAN_OPTIONS", options.c_str(), 1);
            setenv("LSAN_OPTIONS", "suppressions=" EXIT_LEAK_SUPPRESSIONS, 1);
            if (inChild)
                inChild();
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    bool WaitRunning() {
        return test::waitUntil([] { return ae::isRunning(kTollivarId); }, std::chrono::seconds(30));
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
    auto SavedPreferences() const {
        return fnd::plist::readFile(mDir / (std::string(kTollivarId) + ".plist"));
    }
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
    // After a quit in the middle of a batch of `sheets`: the pages written before it are kept in a whole
    // file, the rest of the batch is not, and the settings are saved.
    void ExpectWholeFilesOfFewerPagesThan(int sheets) {
        EXPECT_TRUE(OutputFiles(".part").empty());
        const std::vector<fs::path> pdfs = Pdfs();
        ASSERT_LE(pdfs.size(), 1u);
        if (!pdfs.empty()) {
            EXPECT_TRUE(test::pdfIsSound(pdfs[0]));
            EXPECT_LT(test::pdfPageCount(pdfs[0]), sheets);
        }
        const auto file = SavedPreferences();
        const fnd::Dictionary* prefs = file.value.asDictionary();
        ASSERT_TRUE(prefs);
        EXPECT_TRUE(prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData());
    }
    // Whether the program still has a handler of its own for a signal (from its status in /proc).
    bool Catches(int signal) const {
        std::ifstream status("/proc/" + std::to_string(mProgram) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("SigCgt:", 0) == 0)
                return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
        return false;
    }
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

    TapwellAppleEvent helper{QString(kTollivarId)};
    pid_t mProgram = -1;
    std::list<ScopedEnv> mEnv;
    int mJobNumber = 1;
};

} // namespace test
