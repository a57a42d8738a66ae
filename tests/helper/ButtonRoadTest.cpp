// The road from the scanner's button to a PDF with the real programs, on the test's session bus,
// offscreen, in one private folder: the emulated K3100 with two sheets, tapwell polling its button, and
// tollivar, which tapwell starts through its .desktop file, runs the job of button 1 and closes.
#include "DesktopPorts.h"
#include "EmulatorFixture.h"
#include "EventNames.h"
#include "EventSender.h"
#include "PdfCheck.h"
#include "QtTestApp.h"
#include "TapwellApp.h"
#include "TlvJobs.h"
#include "TlvMainCntlr.h"
#include "TollivarSettings.h"

#include "Alert.h"
#include "ProgramWatcher.h"
#include "Tags.h"

#include <QApplication>
#include <QComboBox>
#include <QDBusConnectionInterface>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using tapwell::kHelperId;
// Bounds that only end a hung road; a sanitized build on a loaded machine takes seconds per step.
constexpr int kStartMs = 60000;
constexpr int kJobMs = 120000;

bool running(const char* id) {
    return ae::isRunning(QString::fromLatin1(id));
}

// The bus lets a name go a moment after its owner has ended.
bool namesFree() {
    return QTest::qWaitFor([] { return !running(test::kTollivarId) && !running(kHelperId); }, kStartMs);
}

class ButtonRoad : public test::EmulatorFixture {
protected:
    void SetUp() override {
        // Without a session bus the programs would only meet their launch time-outs.
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr)
            << "no session bus: run the program tests under dbus-run-session";
        testApplication();
        test::adoptDetachedPrograms(); // the tollivar that tapwell starts
        ASSERT_TRUE(namesFree()) << "a tollivar or tapwell of another test still runs";
        EmulatorFixture::SetUp();
        // Everything the programs write or look up lies in the test's folder.
        for (const auto& [variable, folder] : {std::pair{"XDG_DATA_HOME", "data"},
                                               {"XDG_DATA_DIRS", "data"},
                                               {"HOME", "home"},
                                               {"XDG_CACHE_HOME", "cache"},
                                               {"TMPDIR", "tmp"}}) {
            fs::create_directories(mDir / folder);
            SetEnv(variable, (mDir / folder).string());
        }
        SetEnv("K3100_AUTO_CLOSE_DELAY", "0.3"); // tollivar's quit after a pressed job, sooner
        // The built helper stands for an installed one, which keeps its login item.
        SetEnv("K3100_INSTALL_PREFIX", mBuild.string());
        fs::create_directories(mDir / "runtime");
        fs::permissions(mDir / "runtime", fs::perms::owner_all);
        SetEnv("XDG_RUNTIME_DIR", (mDir / "runtime").string());
        fs::create_directories(mDir / "data" / "applications");
        std::ofstream(mDir / "data" / "applications" / "com.orvikElectronics.tollivar.desktop")
            << "[Desktop Entry]\nType=Application\nName=Tollivar\nExec="
            << (mBuild / "bin" / "tollivar").string() << "\n";
        fs::create_directories(mDir / "out");
        mJobNumber = test::storeSavePdfJob(mDir / "out");
        ASSERT_NE(mJobNumber, 0);
        ASSERT_TRUE(test::useButtonOneForItsJob());
    }
    void TearDown() override {
        if (mInProcess) {
            mInProcess->applicationWillTerminate();
            mInProcess.reset();
        }
        stop(mHelper);
        stop(mTollivar);
        // A tollivar that tapwell started, or a tapwell that tollivar started, was detached by its starter
        // and adopted by the test.
        for (const char* id : {test::kTollivarId, kHelperId})
            if (const auto* daemon = QDBusConnection::sessionBus().interface()) {
                const QDBusReply<uint> pid = daemon->servicePid(QString::fromLatin1(id));
                if (pid.isValid() && static_cast<pid_t>(pid.value()) != getpid()) {
                    kill(static_cast<pid_t>(pid.value()), SIGKILL);
                    waitpid(static_cast<pid_t>(pid.value()), nullptr, 0);
                }
            }
        EXPECT_TRUE(namesFree());
        EmulatorFixture::TearDown();
        test::endAdoptedPrograms(); // one still starting is not on the bus yet
    }
    static void stop(pid_t& pid) {
        if (pid <= 0)
            return;
        kill(pid, SIGTERM);
        test::exitStatus(pid);
        pid = -1;
    }
    pid_t spawn(const char* program) {
        return test::spawnLogged({(mBuild / "bin" / program).string()}, (mDir / "programs.log").string());
    }
    std::string log() const {
        std::ifstream in(mDir / "programs.log");
        return "programs' output:\n" + std::string(std::istreambuf_iterator<char>(in), {});
    }
    ::testing::AssertionResult startHelper() {
        mHelper = spawn("tapwell");
        return helperPolls();
    }
    // The helper is on the bus and has drained the button, so that a press from now on is a change its
    // next poll sees. It drains at its start, after it took its name and before its main loop runs; an
    // event it answers (refused: it handles no such event) comes from that loop. (Whether it keeps a
    // login item depends on which of the two programs wrote the settings first, so that is no sign of it.)
    ::testing::AssertionResult helperPolls() {
        if (!QTest::qWaitFor([] { return running(kHelperId); }, kStartMs))
            return ::testing::AssertionFailure() << "tapwell did not take its bus name\n" << log();
        const ae::EventSender helper(QString::fromLatin1(kHelperId));
        const auto answers = [&helper] {
            const ae::SendStatus status =
                helper.send({QString::fromLatin1(ae::kClassQS), QStringLiteral("none"), {}}).status;
            return status == ae::SendStatus::Ok || status == ae::SendStatus::Failed;
        };
        if (!QTest::qWaitFor(answers, kStartMs))
            return ::testing::AssertionFailure() << "tapwell did not end its start\n" << log();
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult startTollivar() {
        mTollivar = spawn("tollivar");
        if (!QTest::qWaitFor([] { return running(test::kTollivarId); }, kStartMs))
            return ::testing::AssertionFailure() << "tollivar did not take its bus name\n" << log();
        return ::testing::AssertionSuccess();
    }
    // tollivar appears on the bus, runs the job and closes itself.
    ::testing::AssertionResult launchedRunsAndCloses() {
        if (!QTest::qWaitFor([] { return running(test::kTollivarId); }, kStartMs))
            return ::testing::AssertionFailure() << "tapwell did not launch tollivar\n" << log();
        if (!QTest::qWaitFor([] { return !running(test::kTollivarId); }, kJobMs)) {
            const TapwellAppleEvent asker(QString::fromLatin1(test::kTollivarId));
            return ::testing::AssertionFailure()
                   << "tollivar did not close after the job; it is in state " << test::reportedAppState(asker)
                   << " and wrote "
                   << std::distance(fs::directory_iterator(mDir / "out"), fs::directory_iterator())
                   << " files\n"
                   << log();
        }
        return ::testing::AssertionSuccess();
    }
    // The state of the running tollivar reaches state.
    ::testing::AssertionResult reachesState(int state) {
        const TapwellAppleEvent asker(QString::fromLatin1(test::kTollivarId));
        int last = -1;
        if (!QTest::qWaitFor([&] { return (last = test::reportedAppState(asker)) == state; }, kJobMs))
            return ::testing::AssertionFailure() << "tollivar stays in state " << last << "\n" << log();
        return ::testing::AssertionSuccess();
    }
    std::vector<fs::path> written(const char* extension) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(mDir / "out"))
            if (entry.path().extension() == extension)
                found.push_back(entry.path());
        return found;
    }
    std::vector<fs::path> pdfs() const { return written(".pdf"); }
    void expectOnePdfOfTwoPages() {
        const std::vector<fs::path> written = pdfs();
        ASSERT_EQ(written.size(), 1u) << log();
        EXPECT_EQ(test::pdfPageCount(written[0]), 2);
        EXPECT_TRUE(test::pdfIsSound(written[0]));
    }
    bool helperAlive() const {
        return running(kHelperId) && (mHelper <= 0 || waitpid(mHelper, nullptr, WNOHANG) == 0);
    }

    // An alert of the helper in this process waits for a user in its own event loop, which would hold
    // the case until ctest's bound: the case closes it and fails with its text instead.
    void closeInProcessAlerts() {
        QObject::connect(&mAlertCloser, &QTimer::timeout, [this] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* alert = dynamic_cast<appkit::Alert*>(window); alert && alert->isVisible()) {
                    for (const int part : {appkit::Alert::kMessageTag, appkit::Alert::kInformativeTag})
                        mAlerts += appkit::viewWithTag<QLabel>(alert, part)->text().toStdString() + " ";
                    alert->close();
                }
        });
        mAlertCloser.start(100);
    }
    std::string alerts() const {
        return mAlerts.empty() ? std::string() : "the helper alerted: " + mAlerts + "\n";
    }

    pid_t mHelper = -1;
    pid_t mTollivar = -1;
    std::unique_ptr<tapwell::TapwellApp> mInProcess;
    QTimer mAlertCloser;
    std::string mAlerts;
    int mJobNumber = 0;
};

TEST_F(ButtonRoad, PressLaunchesTollivarWhichWritesOnePdfOfBothSheetsAndCloses) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    ASSERT_TRUE(startHelper());
    ASSERT_EQ(Control("press 1"), 0);
    ASSERT_TRUE(launchedRunsAndCloses());
    expectOnePdfOfTwoPages();

    // The helper polls on: the next press starts the job again with the sheets put in since.
    ASSERT_TRUE(helperAlive()) << log();
    ASSERT_EQ(Control("load gen:ramp-a4 2"), 0);
    ASSERT_EQ(Control("press 1"), 0);
    ASSERT_TRUE(launchedRunsAndCloses());
    EXPECT_EQ(pdfs().size(), 2u);
    EXPECT_TRUE(helperAlive()) << log();
}

// tollivar started by the user starts its helper, which passes the press on.
TEST_F(ButtonRoad, PressReachesARunningTollivarWhichStaysOpen) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    ASSERT_TRUE(startTollivar());
    ASSERT_TRUE(helperPolls());
    ASSERT_EQ(Control("press 1"), 0);
    ASSERT_TRUE(reachesState(306));
    expectOnePdfOfTwoPages();
    EXPECT_TRUE(running(test::kTollivarId)); // it was not started for this press
    EXPECT_TRUE(helperAlive());
}

// The helper dies after it took the press from the scanner and launched tollivar, before it handed the
// press over (the launch kills it): tollivar starts a new helper, which hands the press over, and the
// job runs as if nothing had happened.
TEST_F(ButtonRoad, PressSurvivesTheHelperDyingBeforeTheHandover) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    ASSERT_TRUE(startHelper());
    const fs::path launcher = mDir / "kill-helper-then-tollivar";
    std::ofstream(launcher) << "#!/bin/sh\nkill -9 " << mHelper << "\nexec '"
                            << (mBuild / "bin" / "tollivar").string() << "'\n";
    fs::permissions(launcher, fs::perms::owner_all);
    std::ofstream(mDir / "data" / "applications" / "com.orvikElectronics.tollivar.desktop")
        << "[Desktop Entry]\nType=Application\nName=Tollivar\nExec=" << launcher.string() << "\n";
    ASSERT_EQ(Control("press 1"), 0);
    ASSERT_TRUE(launchedRunsAndCloses());
    expectOnePdfOfTwoPages();
}

// While another program holds the scanner the helper reads "busy" and leaves the press in the
// scanner; once the scanner is free the press runs the job, once.
TEST_F(ButtonRoad, PressWhileAnotherProgramHoldsTheScannerRunsOnceItIsFree) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    ASSERT_TRUE(startHelper());
    const int lock = open((mDir / "k_3100").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(Control("press 1"), 0);
    // Two polls pass while the scanner is held.
    QTest::qWait(2 * tapwell::TapwellCntlr::kPollInterval.count() + 500);
    EXPECT_FALSE(running(test::kTollivarId));
    EXPECT_TRUE(helperAlive());
    close(lock);
    ASSERT_TRUE(launchedRunsAndCloses());
    expectOnePdfOfTwoPages();
}

// A jam on the second sheet stops the batch at the scan error: tollivar stays open with its alert and
// the pages so far, no PDF is written as if the job were done, and the helper polls on.
TEST_F(ButtonRoad, JamMidBatchStopsTheJobWithoutAPdfAndTheHelperPollsOn) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}, {"jam@scan:2"}));
    ASSERT_TRUE(startHelper());
    ASSERT_EQ(Control("press 1"), 0);
    ASSERT_TRUE(QTest::qWaitFor([] { return running(test::kTollivarId); }, kStartMs)) << log();
    ASSERT_TRUE(reachesState(105));
    EXPECT_TRUE(pdfs().empty());

    EXPECT_TRUE(helperAlive());
}

// The user edits the button's job in tollivar's job-list editor (here in the test's own process, on
// the same stored settings): the next press runs the job as edited.
TEST_F(ButtonRoad, AJobEditedInTheEditorRunsAsEditedWhenTheButtonIsPressed) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    {
        fnd::UserDefaults defaults(test::kTollivarId);
        TlvMainCntlr editing(defaults);
        TlvScanSettingCntlr scanSettings(editing, nullptr);
        tlv::TlvJobs jobs(editing, editing.functionViewCntlr(), &scanSettings);
        editing.setJobs(&jobs);
        jobs.table().selectRow(0);
        jobs.editor().showJobList(false);
        QDialog* panel = jobs.editor().jobListEditPanel();
        ASSERT_TRUE(panel->isVisible());
        auto* title = appkit::viewWithTag<QLineEdit>(panel, tlv::TlvJobListCntlr::kTitle);
        title->setText("Scan to TIFF");
        emit title->textEdited(title->text());
        auto* format = appkit::viewWithTag<QComboBox>(panel, tlv::TlvFunctionViewCntlr::kTagFileFormat);
        ASSERT_NE(format, nullptr);
        format->setCurrentIndex(tlv::kFormatTIFF);
        emit format->activated(tlv::kFormatTIFF);
        QTest::mouseClick(appkit::viewWithTag<QPushButton>(panel, tlv::TlvJobListCntlr::kOK), Qt::LeftButton);
        ASSERT_FALSE(panel->isVisible()) << log();
        editing.setJobs(nullptr);
    }
    ASSERT_TRUE(startHelper());
    ASSERT_EQ(Control("press 1"), 0);
    ASSERT_TRUE(launchedRunsAndCloses());
    EXPECT_TRUE(pdfs().empty());
    EXPECT_FALSE(written(".tif").empty() && written(".tiff").empty()) << log();
}

// A job chosen from the helper's menu while tollivar is not running: the helper launches it and sends
// the job once it has announced itself.
TEST_F(ButtonRoad, JobChosenFromTheMenuLaunchesTollivarAndRunsIt) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    mInProcess = std::make_unique<tapwell::TapwellApp>();
    ASSERT_TRUE(mInProcess->start());
    QMenu* menu = mInProcess->menu().menu();
    mInProcess->menu().refresh();
    QAction* job = nullptr;
    for (QAction* action : menu->actions())
        if (appkit::tagOf(action) == tapwell::kTagJobBase + mJobNumber)
            job = action;
    ASSERT_NE(job, nullptr);
    ASSERT_TRUE(job->isEnabled());
    closeInProcessAlerts();
    job->trigger();
    ASSERT_TRUE(QTest::qWaitFor([] { return running(test::kTollivarId); }, kStartMs)) << alerts() << log();
    ASSERT_EQ(alerts(), "") << log();
    ASSERT_TRUE(reachesState(306)) << alerts();
    expectOnePdfOfTwoPages();
}

} // namespace
