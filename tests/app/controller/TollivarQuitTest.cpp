// The program tollivar quit by a signal in the middle of a job that writes one PDF: the scanner stops
// as its own Stop stops it, the sheet under way is read to its end, and every page of every sheet it
// took is in one sound document, with its text or without. The emulated scanner's status tells the
// moment: the sheet it reads, or its feeder empty and its reading done. A scanner that stops answering
// holds the quit no longer than its bound.
#include "TollivarProgramFixture.h"

#include "SocketDevice.h"
#include "SocketProtocol.h"

#include <regex>

namespace {

namespace fs = std::filesystem;
using test::Tollivar;

// What the emulated scanner says of itself.
struct ScannerStatus {
    int sheetsLeft = -1;  // in its feeder; -1 when it did not answer
    bool reading = false; // a sheet is under way
};

struct QuitCase {
    const char* name;
    int sides;      // the job's scan setting: 0 the front, 1 both sides
    bool recognise; // the document gets a text layer
};

void PrintTo(const QuitCase& c, std::ostream* out) {
    *out << c.name;
}

constexpr QuitCase kSimplex{"Simplex", 0, false};

class TollivarQuit : public Tollivar {
protected:
    // Asked over the emulator's socket from this process, quick enough to catch a sheet's end.
    ScannerStatus Status() const {
        const int fd = k3100::usb::connectOwnUnixSocket(Socket());
        if (fd < 0)
            return {};
        k3100::usb::SocketDevice device(fd, 0, 0);
        std::string reply;
        ScannerStatus status;
        int reading = 0;
        if (device.control("status", reply) != k3100::usb::UsbStatus::Ok ||
            std::sscanf(reply.c_str(), "sheets=%d", &status.sheetsLeft) != 1)
            return {};
        const std::size_t at = reply.find("scanning=");
        if (at != std::string::npos && std::sscanf(reply.c_str() + at, "scanning=%d", &reading) == 1)
            status.reading = reading != 0;
        return status;
    }
    bool WaitForScanner(const std::function<bool(const ScannerStatus&)>& condition) {
        return test::waitUntil([&] { return condition(Status()); }, std::chrono::seconds(60), [] {});
    }
    bool WaitForSheetRead(int sheet, int count) {
        return WaitForScanner(
            [=](const ScannerStatus& s) { return s.sheetsLeft == count - sheet && s.reading; });
    }
    // The job of the case on `count` sheets, started on a running tollivar.
    void StartJob(const QuitCase& job, const std::string& sheet, int count) {
        mSides = job.sides == 0 ? 1 : 2;
        ASSERT_TRUE(StartEmulator({sheet + " " + std::to_string(count)}));
        StoreSaveJob([&job](TlvFuncSettingMdl& func) { func.setIsAddOCR(job.recognise, 0); }, job.sides);
        mProgram = Start(mDir / "log", false);
        ASSERT_TRUE(WaitRunning());
        helper.transScanInfo(mJobNumber);
    }
    // SIGTERM: the program ends by itself (exit status 0).
    void Quit() {
        kill(mProgram, SIGTERM);
        EXPECT_EQ(ExitStatus(), 0);
    }
    // What the program said on its standard error.
    std::string Said() const {
        std::ifstream log(mDir / "log");
        return {std::istreambuf_iterator<char>(log), {}};
    }
    // Every side of every sheet the scanner took is a page of the document, and nothing failed, so the
    // program said nothing of the scanner; the sheets taken.
    int ExpectEverySheetTaken(int count) {
        const int left = Status().sheetsLeft;
        EXPECT_GE(left, 0);
        const int taken = count - left;
        SCOPED_TRACE(std::to_string(taken) + " sheets taken");
        ExpectPdfOfPages(taken * mSides);
        const std::string said = Said();
        EXPECT_EQ(said.find("stopped answering"), std::string::npos) << said;
        EXPECT_EQ(said.find("feed again"), std::string::npos) << said;
        return taken;
    }
    std::string TextSheet() const {
        return (mBuild / "share" / "k3100" / "samples" / "01-text.tif").string();
    }

    int mSides = 1;
};

class TollivarQuitJobs : public TollivarQuit, public testing::WithParamInterface<QuitCase> {};

TEST_P(TollivarQuitJobs, TheMomentTheFeederIsEmptyKeepsEveryPage) {
    constexpr int kSheets = 6;
    ASSERT_NO_FATAL_FAILURE(StartJob(GetParam(), TextSheet(), kSheets));
    ASSERT_TRUE(WaitForScanner([](const ScannerStatus& s) { return s.sheetsLeft == 0 && !s.reading; }));
    Quit();
    EXPECT_EQ(ExpectEverySheetTaken(kSheets), kSheets);
}

// Quit while the third sheet of twelve is read, and again while the eighth is: the scanner feeds no
// further sheet, beyond the next one it may have started on before the stop reached it.
TEST_P(TollivarQuitJobs, WhileASheetIsReadKeepsEverySheetTaken) {
    constexpr int kSheets = 12;
    for (const int sheet : {3, 8}) {
        SCOPED_TRACE("quit while sheet " + std::to_string(sheet) + " is read");
        ASSERT_NO_FATAL_FAILURE(
            StartJob(GetParam(), GetParam().recognise ? TextSheet() : "gen:ramp-a4", kSheets));
        ASSERT_TRUE(WaitForSheetRead(sheet, kSheets));
        Quit();
        const int taken = ExpectEverySheetTaken(kSheets);
        EXPECT_GE(taken, sheet);
        EXPECT_LE(taken, sheet + 1);
        StopEmulator();
        for (const fs::path& pdf : Pdfs())
            fs::remove(pdf);
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, TollivarQuitJobs,
                         testing::Values(kSimplex, QuitCase{"SimplexWithText", 0, true},
                                         QuitCase{"Duplex", 1, false}),
                         [](const testing::TestParamInfo<QuitCase>& info) { return info.param.name; });

// The scanner stops answering in the middle of the third sheet: the quit gives it up after its bound.
// The pages it gave are in the document, and the program says which sheet to feed again.
TEST_F(TollivarQuit, AScannerThatStopsAnsweringIsGivenUpOnAndTheSheetToFeedAgainIsSaid) {
    constexpr int kSheets = 12;
    ASSERT_NO_FATAL_FAILURE(StartJob(kSimplex, "gen:ramp-a4", kSheets));
    ASSERT_TRUE(WaitForSheetRead(3, kSheets));
    PauseEmulator(true);
    Quit();
    PauseEmulator(false);
    const std::string said = Said();
    std::smatch told;
    ASSERT_TRUE(std::regex_search(said, told, std::regex(R"((\d+) pages? kept; feed again from (.*))")))
        << said;
    const int kept = std::stoi(told[1]);
    EXPECT_LE(kept, 3);
    if (kept == 0) {
        EXPECT_EQ(told[2], "the first sheet");
        EXPECT_TRUE(Pdfs().empty());
    } else {
        EXPECT_EQ(told[2], "the sheet after page " + std::to_string(kept));
        ExpectPdfOfPages(kept);
    }
}

} // namespace
