// The program tollivar when the world fails it in the middle of a job: killed while it writes, the
// output folder growing no file past a size (a full disk), the output folder read-only (refused before
// a sheet is fed). In each, the files written before stay whole, no half file carries a final name,
// nothing hangs and a failure leaves the window on its error, with the alert up. Killed at any time, it
// leaves the helper a current record of its jobs.
#include "TollivarProgramFixture.h"

#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <linux/capability.h>

#include <random>

namespace {

namespace fs = std::filesystem;
using test::Tollivar;

// Sheets of grey noise, 3 by 4 inches at the job's 200 dpi, which no lossless encoding makes smaller.
constexpr int kNoiseWidth = 600, kNoiseHeight = 800;
constexpr std::uintmax_t kNoiseBytes = std::uintmax_t{kNoiseWidth} * kNoiseHeight;

std::vector<std::string> WriteNoiseSheets(const fs::path& folder, int count) {
    std::vector<std::string> specs;
    std::mt19937 random(7);
    for (int i = 0; i < count; ++i) {
        std::vector<char> pixels(kNoiseBytes);
        for (char& pixel : pixels)
            pixel = static_cast<char>(random());
        const fs::path path = folder / ("noise-" + std::to_string(i) + ".pgm");
        std::ofstream out(path, std::ios::binary);
        out << "P5\n" << kNoiseWidth << ' ' << kNoiseHeight << "\n255\n";
        out.write(pixels.data(), std::streamsize(pixels.size()));
        specs.push_back(path.string());
    }
    return specs;
}

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Everything in folder, names and contents.
std::map<std::string, std::string> Folder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = Contents(entry.path());
    return files;
}

class TollivarFaults : public Tollivar {
protected:
    // The job ends in failure: the state of a failed batch or a failed output, with the alert up (which
    // may come a moment after the state).
    void ExpectFailureShown() {
        int state = -1;
        bool modal = false;
        EXPECT_TRUE(test::waitUntil(
            [&] {
                const auto record = ReportedRecord();
                state = record ? record->get("QS_AppState").asInt32().value_or(-1) : -1;
                modal = record && record->get("QS_IsModal").asBool() == true;
                return (state == 105 || state == 307) && modal;
            },
            std::chrono::seconds(60), [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }))
            << "state " << state << (modal ? " with" : " without") << " the alert";
    }
    // The job is refused before it scans: the alert is up over the top screen.
    void ExpectRefusalShown() {
        int state = -1;
        EXPECT_TRUE(test::waitUntil(
            [&] {
                const auto record = ReportedRecord();
                state = record ? record->get("QS_AppState").asInt32().value_or(-1) : -1;
                return record && record->get("QS_IsModal").asBool() == true;
            },
            std::chrono::seconds(60), [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }));
        EXPECT_TRUE(tlv::isMainTopState(static_cast<tlv::AppState>(state))) << "state " << state;
    }
    // Sheets still in the emulated scanner's feeder; -1 when it does not say.
    int SheetsLeft() const {
        const std::string command = "'" + Emulator() + "' --socket '" + Socket() + "' --control status";
        std::FILE* out = ::popen(command.c_str(), "r");
        if (!out)
            return -1;
        int sheets = -1;
        const int read = std::fscanf(out, "sheets=%d", &sheets);
        ::pclose(out);
        return read == 1 ? sheets : -1;
    }
    // One batch of the job on a running tollivar, to its end.
    void RunJobToItsEnd() {
        helper.transScanInfo(mJobNumber);
        ASSERT_TRUE(WaitState(306));
    }
};

TEST_F(TollivarFaults, KilledWhileWritingLeavesTheEarlierFileWholeAndNoHalfFile) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    StoreSaveJob();
    mProgram = Start({}, false);
    ASSERT_TRUE(WaitRunning());
    ASSERT_NO_FATAL_FAILURE(RunJobToItsEnd());
    ExpectPdfOfPages(2);
    const auto before = Folder(mDir / "out");

    ASSERT_EQ(Control("load gen:ramp-a4 40"), 0);
    helper.transScanInfo(mJobNumber);
    ASSERT_TRUE(WaitForDocumentBeingWritten());
    kill(mProgram, SIGKILL);
    EXPECT_EQ(ExitStatus(), -1);
    EXPECT_EQ(Folder(mDir / "out"), before);
}

// A quit signal (a session that ends) while a recognised job's jam alert is up and its kept pages wait
// for their text: the scanner stops, but every page the alert called kept (each sheet taken before the
// jammed one) is in a sound PDF, those whose text comes too late without it, and meanwhile a second signal
// of either kind would end the program at once. On one core, so that one engine recognises the text
// pages and they queue behind it.
TEST_F(TollivarFaults, AQuitWhileTheJamAlertIsUpWritesEveryKeptPage) {
    const fs::path text = mBuild / "share" / "k3100" / "samples" / "01-text.tif";
    ASSERT_TRUE(StartEmulator({text.string() + " 8"}, {"jam@read:60"}));
    StoreSaveJob([](TlvFuncSettingMdl& func) { func.setIsAddOCR(true, 0); });
    mProgram = Start({}, false, [] {
        cpu_set_t cores;
        if (sched_getaffinity(0, sizeof cores, &cores) != 0)
            return;
        for (int core = 0; core < CPU_SETSIZE; ++core)
            if (CPU_ISSET(core, &cores)) {
                CPU_ZERO(&cores);
                CPU_SET(core, &cores);
                sched_setaffinity(0, sizeof cores, &cores);
                return;
            }
    });
    ASSERT_TRUE(WaitRunning());
    helper.transScanInfo(mJobNumber);
    ExpectFailureShown();
    const int kept = 8 - SheetsLeft() - 1;
    ASSERT_GE(kept, 3);
    kill(mProgram, SIGTERM);
    EXPECT_TRUE(
        test::waitUntil([this] { return !Catches(SIGTERM) && !Catches(SIGINT); }, std::chrono::seconds(30)));
    EXPECT_EQ(ExitStatus(), 0);
    ExpectPdfOfPages(kept);
}

// Whether a picture file decodes to its end; ImageMagick (see scripts/setup) refuses a cut-off one.
bool IsWholePicture(const fs::path& file) {
    return std::system(("identify -regard-warnings '" + file.string() + "' >/dev/null 2>&1").c_str()) == 0;
}

// Killed while it writes a JPEG job (a file per page) or a TIFF job (every page in one file): the
// earlier batch's files stay as they were, every file under a name is a whole picture, and nothing
// hidden is left beside them.
class TollivarKilledWhileWritingPictures : public TollivarFaults, public testing::WithParamInterface<int> {};

TEST_P(TollivarKilledWhileWritingPictures, LeavesOnlyWholeFiles) {
    const int format = GetParam();
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    StoreSaveJob([format](TlvFuncSettingMdl& func) {
        func.setFileFormatType(format, 0);
        func.setFF_MultiType_TIFF(0, 0);
    });
    mProgram = Start({}, false);
    ASSERT_TRUE(WaitRunning());
    ASSERT_NO_FATAL_FAILURE(RunJobToItsEnd());
    const auto before = Folder(mDir / "out");
    ASSERT_EQ(before.size(), format == tlv::kFormatJPEG ? 2u : 1u);

    ASSERT_EQ(Control("load gen:ramp-a4 40"), 0);
    helper.transScanInfo(mJobNumber);
    ASSERT_TRUE(WaitForDocumentBeingWritten());
    kill(mProgram, SIGKILL);
    EXPECT_EQ(ExitStatus(), -1);
    const auto after = Folder(mDir / "out");
    for (const auto& [name, contents] : before)
        EXPECT_EQ(after.count(name) ? after.at(name) : "", contents) << name;
    for (const auto& [name, contents] : after) {
        EXPECT_NE(name.front(), '.') << name;
        EXPECT_TRUE(IsWholePicture(mDir / "out" / name)) << name << ", " << contents.size() << " bytes";
    }
    if (format == tlv::kFormatTIFF) {
        EXPECT_EQ(after.size(), before.size()); // the batch's one file was not finished
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TollivarKilledWhileWritingPictures,
                         testing::Values(tlv::kFormatJPEG, tlv::kFormatTIFF),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == tlv::kFormatJPEG ? std::string("Jpeg")
                                                                   : std::string("Tiff");
                         });

// The helper shows the jobs from the record in the settings while the program does not run: a
// program killed after its start has left a current one, without being asked for it.
TEST_F(TollivarFaults, KilledAfterItsStartLeavesTheHelperTheRecordOfItsJobs) {
    StoreSaveJob();
    mProgram = Start({}, false);
    ASSERT_TRUE(WaitRunning());
    const auto record = [this] {
        const auto file = SavedPreferences();
        const fnd::Dictionary* prefs = file.value.asDictionary();
        return prefs ? prefs->get(tlv::TlvAppleEventLink::kAppSettingKey).asData() != nullptr : false;
    };
    EXPECT_TRUE(test::waitUntil(record, std::chrono::seconds(60)));
    kill(mProgram, SIGKILL);
    EXPECT_EQ(ExitStatus(), -1);
    EXPECT_TRUE(record());
}

TEST_F(TollivarFaults, AFullDiskKeepsTheWrittenPagesAndSaysSo) {
    ASSERT_TRUE(StartEmulator(WriteNoiseSheets(mDir, 4)));
    StoreSaveJob([](TlvFuncSettingMdl& func) { func.setFF_CompType(0, 0); }); // lossless
    // No file of the program grows past two and a half pages: a page's raw file fits, the third page
    // of the document does not.
    mProgram = Start({}, false, [] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kNoiseBytes * 5 / 2, kNoiseBytes * 5 / 2};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    ASSERT_TRUE(WaitRunning());
    helper.transScanInfo(mJobNumber);
    ExpectFailureShown();
    const std::vector<fs::path> pdfs = Pdfs();
    ASSERT_EQ(pdfs.size(), 1u);
    EXPECT_TRUE(test::pdfIsSound(pdfs[0]));
    EXPECT_EQ(test::pdfPageCount(pdfs[0]), 2);
    EXPECT_EQ(Folder(mDir / "out").size(), 1u); // nothing half-written beside it
}

// Run as root, the program is started without the right to write past permissions; where that right
// cannot be dropped, a read-only folder stops nothing and the test cannot tell.
void DropTheRightToIgnorePermissions() {
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
}

TEST_F(TollivarFaults, AReadOnlyFolderRefusesTheJobBeforeASheetIsFed) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    std::ofstream(mDir / "out" / "kept.pdf") << "an earlier file";
    fs::permissions(mDir / "out", fs::perms::owner_read | fs::perms::owner_exec);
    const std::string probe = (mDir / "out" / "probe").string();
    const pid_t prober = fork();
    if (prober == 0) {
        DropTheRightToIgnorePermissions();
        execl("/usr/bin/touch", "touch", probe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (ExitStatusOf(prober) == 0)
        GTEST_SKIP() << "run with the right to write into a read-only folder, which cannot be dropped";
    StoreSaveJob();
    mProgram = Start({}, false, DropTheRightToIgnorePermissions);
    ASSERT_TRUE(WaitRunning());
    helper.transScanInfo(mJobNumber);
    ExpectRefusalShown();
    EXPECT_EQ(SheetsLeft(), 2); // both wait for the next try
    EXPECT_EQ(Folder(mDir / "out"), (std::map<std::string, std::string>{{"kept.pdf", "an earlier file"}}));
    fs::permissions(mDir / "out", fs::perms::owner_all);
}

} // namespace
