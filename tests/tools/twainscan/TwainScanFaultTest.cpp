// twainscan against the faults of a batch: whatever the feeding, a sheet read whole keeps its pages and a
// fault says which sheet to feed again; stored settings (a feeding mode, a damaged record) neither carry
// over nor stop a scan; blank pages are told as blank; Ctrl-C keeps what was scanned.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "FeedAgain.h"
#include "PreferencesFile.h"
#include "TwainScanFixture.h"

namespace {

namespace fs = std::filesystem;
using test::ExpectEndedEarlyAfter;
using test::PagesIn;
using test::SRun;
using test::TwainScan;

constexpr char kSettingsFile[] = "com.orvikElectronics.k3100.plist";
constexpr std::size_t kAutoFeedOffset = 2;     // CAP_AUTOFEED in the stored settings record
constexpr std::size_t kManualFeedOffset = 272; // CCAP_OVK_MANUALFEED

// Continuous feeding reads the next sheet while the host takes the current one; a fault on the sheet
// read ahead, or paper gone from under it, must not take the sheet before it along. The lamp
// calibration and the first sheet take the first reads; read 22 is the second sheet's.
TEST_F(TwainScan, ContinuousFeedingKeepsEverySheetReadWholeBeforeAFault) {
    const std::pair<const char*, const char*> faults[] = {
        {"jam", "paper jam"},
        {"double-feed", "double feed"},
        {"no-paper", "no paper in the feeder"},
        {"gone", "the scanner is not connected or did not answer"}};
    for (const auto& [kind, summary] : faults) {
        const fs::path out = mDir / kind;
        const SRun run =
            Run("--output '" + out.string() +
                    "' --pixel-type bw --resolution 150 --duplex --detect-size --deskew --continuous",
                "gen:ramp-a4 4", std::string(kind) + "@read:22");
        ExpectEndedEarlyAfter(run, out, summary, 2);
    }
}

// Only a sheet whose pages were all written is done: a duplex sheet of which only the front came before
// the scanner stopped is fed again whole, or its back is lost for good. Without continuous feeding the
// fault at read 35 comes while the second sheet's back is read; whether its front was written by then
// depends on how fast the pages are taken (a loaded machine may be too slow), and the sheet named must
// fit either. The full disk below makes the half-written sheet for certain.
TEST_F(TwainScan, ADuplexSheetHalfWrittenIsFedAgainWhole) {
    const fs::path out = mDir / "pages";
    const SRun run = Run("--output '" + out.string() + "' --pixel-type grey --resolution 300 --duplex",
                         "gen:ramp-a4 4", "no-paper@read:35");
    EXPECT_EQ(run.status, 1) << run.output;
    const std::size_t written = PagesIn(out);
    ASSERT_TRUE(written == 2 || written == 3) << run.output;
    const std::string sheet =
        written == 3 ? "the sheet that holds page 3; page 3 is scanned again" : "the sheet after page 2";
    EXPECT_NE(run.output.find("twainscan: no paper in the feeder after page " + std::to_string(written) +
                              ": " + std::to_string(written) +
                              " pages written; the batch ended early: feed again from " + sheet),
              std::string::npos)
        << run.output;
}

// A full disk ends the batch like a fault and names the sheet to feed again: blank pages are small enough
// to be written under the file-size limit that stands in for the full disk, printed ones are not.
TEST_F(TwainScan, AFullDiskNamesTheSheetToFeedAgain) {
    struct SCase {
        const char* third; // the sheets after two blank ones
        std::size_t written;
        const char* sheet;
    };
    const SCase cases[] = {
        {"gen:ramp-a4 2", 4, "the sheet after page 4"},
        {"gen:blank-a4,gen:ramp-a4 2", 5, "the sheet that holds page 5; page 5 is scanned again"}};
    for (const SCase& c : cases) {
        const fs::path out = mDir / c.third;
        const SRun run =
            RunWith("--output '" + out.string() + "' --pixel-type grey --resolution 150 --duplex",
                    {"--load", "gen:blank-a4 2", "--load", c.third}, "ulimit -f 16; ");
        EXPECT_EQ(run.status, 1) << run.output;
        const std::size_t message = run.output.find("twainscan: cannot write ");
        EXPECT_NE(run.output.find(": " + std::to_string(c.written) +
                                      " pages written; the batch ended early: feed again from " + c.sheet,
                                  message),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(PagesIn(out), c.written) << run.output;
    }
}

// Whatever the sides and the skipping, the sheet named never leaves a page out.
TEST(FeedAgain, OnlySheetsWithEveryPageKeptAreDone) {
    struct SCase {
        std::int32_t kept, sides;
        bool blankSkip;
        EFeedAgain from;
    };
    const SCase cases[] = {
        {0, 2, false, EFeedAgain::kFirstSheet},    {3, 1, false, EFeedAgain::kSheetAfterPage},
        {3, 1, true, EFeedAgain::kSheetAfterPage}, {4, 2, false, EFeedAgain::kSheetAfterPage},
        {3, 2, false, EFeedAgain::kSheetWithPage}, {4, 2, true, EFeedAgain::kSheetWithPage}};
    for (const SCase& c : cases) {
        const SFeedAgain sheet = FeedAgainFrom(c.kept, c.sides, c.blankSkip);
        EXPECT_EQ(sheet.from, c.from) << c.kept << " pages, " << c.sides << " sides";
        EXPECT_EQ(sheet.page, c.kept);
    }
}

class StoredSettings : public TwainScan {
protected:
    fs::path SettingsPath() const { return mDir / kSettingsFile; }

    // The data source's record as a run left it, changed by edit and stored again.
    void StoreEdited(const std::function<void(fnd::Data&)>& edit) {
        ASSERT_EQ(Run("--output '" + (mDir / "first").string() + "' --pixel-type bw --resolution 150",
                      "gen:ramp-a4 1")
                      .status,
                  0);
        fnd::PreferencesFile file(SettingsPath());
        const fnd::Data* stored = file.get("CapData").asData();
        ASSERT_TRUE(stored);
        fnd::Data record = *stored;
        edit(record);
        file.set("CapData", fnd::Value(std::move(record)));
        file.set("CustomPapers", fnd::Value(fnd::Array{})); // something else the file holds
        ASSERT_TRUE(file.save());
    }
};

// Feeding settings a dialog stored (continuous and manual feeding) neither carry over into a run nor
// make a host without windows wait for a scan panel it cannot show.
TEST_F(StoredSettings, StoredFeedingModesNeitherCarryOverNorWaitForAPanel) {
    ASSERT_NO_FATAL_FAILURE(StoreEdited([](fnd::Data& record) {
        record[kAutoFeedOffset] = 1;
        record[kManualFeedOffset] = 2;
    }));
    const fs::path out = mDir / "pages";
    const SRun run = Run("--output '" + out.string() + "' --pixel-type bw --resolution 150 --duplex",
                         "gen:ramp-a4 1", "", "timeout 60 ");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("scanned 2 pages"), std::string::npos) << run.output;
}

// A record of the right length with random content is kept aside once, with the rest of the file, and
// the scan runs on the defaults.
TEST_F(StoredSettings, ADamagedRecordIsSetAsideOnceAndTheScanRunsOnDefaults) {
    ASSERT_NO_FATAL_FAILURE(StoreEdited([](fnd::Data& record) {
        std::mt19937 random(53);
        for (std::uint8_t& byte : record)
            byte = static_cast<std::uint8_t>(random());
    }));
    const std::string options = " --pixel-type grey --resolution 150";
    const SRun damaged = Run("--output '" + (mDir / "a").string() + "'" + options, "gen:ramp-a4 1");
    EXPECT_EQ(damaged.status, 0) << damaged.output;
    EXPECT_NE(damaged.output.find("K3100: the stored scan settings were damaged"), std::string::npos)
        << damaged.output;
    fs::path aside = SettingsPath();
    aside += ".damaged";
    EXPECT_TRUE(fnd::PreferencesFile(aside).get("CustomPapers").asArray()) << damaged.output;

    const SRun next = Run("--output '" + (mDir / "b").string() + "'" + options, "gen:ramp-a4 1");
    EXPECT_EQ(next.status, 0) << next.output;
    EXPECT_EQ(next.output.find("damaged"), std::string::npos) << next.output;
}

TEST_F(TwainScan, ABatchOfBlankPagesSaysTheyWereBlank) {
    const SRun run = Run("--output '" + (mDir / "pages").string() +
                             "' --pixel-type bw --resolution 150 --duplex --blank-skip",
                         "gen:blank-a4 2");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("twainscan: every page was blank"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("K3100: Every page was blank"), std::string::npos) << run.output;
}

// Ctrl-C in the middle of a batch: the run ends at once with a failure, the pages written are whole and
// the scanner feeds no further.
TEST_F(TwainScan, CtrlCMidBatchKeepsThePagesWrittenAndFails) {
    const std::string socket = (mDir / "scanner").string();
    ::test::EmulatorProcess scanner(socket);
    ASSERT_TRUE(scanner.Start({"--load", "gen:ramp-a4 40"}));
    const fs::path out = mDir / "pages";
    const fs::path log = mDir / "log";
    const pid_t twainscan = ::test::spawnLogged({"/bin/sh", "-c",
                                                 "exec env " + Environment(mDir, socket) + " '" + Build() +
                                                     "/bin/twainscan' --output '" + out.string() +
                                                     "' --pixel-type grey --resolution 150"},
                                                log.string());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    const auto output = [&] {
        std::ostringstream text;
        text << std::ifstream(log).rdbuf();
        return text.str();
    };
    while (output().find("page 2:") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(twainscan, SIGINT);
    EXPECT_EQ(::test::exitStatus(twainscan), 130) << output();
    const std::string text = output();
    EXPECT_NE(text.find("twainscan: stopped by Ctrl-C: "), std::string::npos) << text;
    const std::size_t written = PagesIn(out);
    EXPECT_GE(written, 2u) << text;
    EXPECT_LT(written, 40u) << text;
    EXPECT_NE(text.find(std::to_string(written) + " pages written; feed again from the sheet after page " +
                        std::to_string(written)),
              std::string::npos)
        << text;
    for (const auto& entry : fs::directory_iterator(out))
        EXPECT_EQ(entry.path().filename().string().front(), 'p')
            << "a temporary file was left: " << entry.path();
}

} // namespace
