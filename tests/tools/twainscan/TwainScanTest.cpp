// twainscan from the outside: its command line, the listing through the source manager, a scan that
// cannot succeed, which must end with a message and a non-zero status and leave no files behind, and a
// jam, which keeps the pages before it but still fails the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <tiffio.h>

#include "NumberedSheets.h"
#include "QSCapIds.h"
#include "ScanOptions.h"
#include "TwainScanFixture.h"

namespace {

namespace fs = std::filesystem;
using test::SRun;
using test::TwainScan;

TEST_F(TwainScan, ListsTheScannersDataSource) {
    const SRun run = Run("--list");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("K-3100"), std::string::npos) << run.output;
}

// No scanner at all, and one that goes away as the data source opens it.
TEST_F(TwainScan, ScanWithoutAScannerFailsClearlyAndWritesNothing) {
    for (const char* fault : {"", "gone@inquiry:1"}) {
        const fs::path out = mDir / (std::string("pages") + fault);
        const std::string arguments = "--output '" + out.string() + "' --pixel-type grey --resolution 300";
        const SRun run = *fault ? Run(arguments, "gen:ramp-a4 1", fault) : Run(arguments);
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_EQ(run.output, "twainscan: the scanner is not connected or not turned on\n");
        EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
    }
}

// Without a home, and with the scanner lock's name taken by a folder, no lock can be had: the run says
// which folder could not be made and why, and does not call the scanner in use.
TEST_F(TwainScan, NoLockForWantOfAHomeIsSaidSoAndNotAsAScannerInUse) {
    const fs::path home = mDir / "no-such-home";
    ASSERT_TRUE(fs::create_directory(mDir / "k_3100"));
    const SRun run = Run("--output '" + (mDir / "pages").string() + "'", "", "",
                         "unset XDG_RUNTIME_DIR XDG_CACHE_HOME; export HOME='" + home.string() + "'; ");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("the folder " + (home / ".cache/k3100-runtime").string() +
                              " cannot be made: No such file or directory"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("in use"), std::string::npos) << run.output;
}

TEST_F(TwainScan, BadCommandLinesAreRefusedWithUsage) {
    for (const char* arguments : {"", "--output x --resolution 0", "--output x --pixel-type purple",
                                  "--frobnicate", "--output x --prefix ../up", "--output x --prefix a/b",
                                  "--output x --prefix ..", "--output x --prefix /tmp/abs"}) {
        const SRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.output.find("usage:"), std::string::npos) << arguments;
    }
}

// Every documented option is sent once, given or at its default, in the same order whatever the command
// line's order.
TEST(ScanOptions, EveryOptionBecomesOneCapabilitySettingGivenOrDefault) {
    const char* argv[] = {"twainscan", "--output",     "o",       "--duplex", "--resolution",
                          "600",       "--blank-skip", "--count", "3"};
    std::string error;
    const auto options = twainscan::ParseScanOptions(std::size(argv), argv, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->outputFolder, "o");
    std::vector<std::pair<std::uint16_t, double>> settings;
    for (const auto& s : options->settings)
        settings.emplace_back(s.capId, s.value);
    const std::vector<std::pair<std::uint16_t, double>> expected{
        {ICAP_PIXELTYPE, TWPT_GRAY}, {ICAP_XRESOLUTION, 600},
        {ICAP_YRESOLUTION, 600},     {ICAP_SUPPORTEDSIZES, TWSS_A4},
        {CAP_AUTOFEED, 0},           {CAP_XFERCOUNT, 3},
        {CAP_DUPLEXENABLED, 1},      {CCAP_OVK_DETECTPAGESIZE, 0},
        {CCAP_OVK_BLANKSKIP, 1},     {CCAP_OVK_DESKEW, 0}};
    EXPECT_EQ(settings, expected);
}

// What one run sets must not carry over into the next run that leaves it out.
TEST_F(TwainScan, NothingSticksFromAnEarlierRun) {
    const SRun first =
        Run("--output '" + (mDir / "a").string() + "' --pixel-type colour --resolution 150 --count 1",
            "gen:ramp-a4 3");
    ASSERT_EQ(first.status, 0) << first.output;
    ASSERT_NE(first.output.find("page 1: 1240 x"), std::string::npos) << first.output;
    const SRun second = Run("--output '" + (mDir / "b").string() + "'", "gen:ramp-a4 2");
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_NE(second.output.find("scanned 2 pages"), std::string::npos) << second.output;
    EXPECT_EQ(second.output.find("24 bit"), std::string::npos) << second.output;
    EXPECT_NE(second.output.find("page 2: 2480 x"), std::string::npos) << second.output;
}

TEST_F(TwainScan, GreyBatchFromTheEmulatedFeederComesOutPageByPage) {
    const fs::path out = mDir / "pages";
    const SRun run =
        Run("--output '" + out.string() + "' --pixel-type grey --resolution 300 --events", "gen:ramp-a4 2");
    ASSERT_EQ(run.status, 0) << run.output;
    // Each sheet is announced before its page line.
    const std::size_t firstEvent = run.output.find("device event 0x8003: scanning");
    EXPECT_LT(firstEvent, run.output.find("page 1:")) << run.output;
    EXPECT_NE(run.output.find("device event 0x8003", firstEvent + 1), std::string::npos) << run.output;
    std::vector<std::pair<unsigned, unsigned>> sizes;
    std::size_t at = 0;
    while ((at = run.output.find("page ", at)) != std::string::npos) {
        unsigned number = 0, width = 0, height = 0;
        if (std::sscanf(run.output.c_str() + at, "page %u: %u x %u pixels", &number, &width, &height) == 3)
            sizes.emplace_back(width, height);
        ++at;
    }
    ASSERT_EQ(sizes.size(), 2u) << run.output;
    for (const auto& [width, height] : sizes) {
        // A4 or letter at 300 dpi, whichever paper the source defaults to.
        EXPECT_GE(width, 2400u);
        EXPECT_LE(width, 2600u);
        EXPECT_GE(height, 3200u);
        EXPECT_LE(height, 3600u);
    }
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        ++files;
        // A grey page of that size does not compress to almost nothing unless it is empty.
        EXPECT_GT(fs::file_size(entry.path()), 10000u) << entry.path();
    }
    EXPECT_EQ(files, 2u);
}

TEST_F(TwainScan, JamMidBatchFailsTheRunAndKeepsThePagesBeforeIt) {
    const fs::path out = mDir / "pages";
    // The lamp calibration at the session's start takes nine scan commands; then each sheet takes one.
    const SRun run = Run("--output '" + out.string() + "' --pixel-type grey --resolution 150",
                         "gen:ramp-a4 4", "jam@scan:12");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("twainscan: paper jam after page 2: 2 pages written"), std::string::npos)
        << run.output;
    EXPECT_TRUE(fs::exists(out / "page-0001.tif"));
    EXPECT_TRUE(fs::exists(out / "page-0002.tif"));
    EXPECT_FALSE(fs::exists(out / "page-0003.tif"));
}

// Every fault the emulated scanner can raise, before the first sheet and on the second: the run fails with
// the scanner's own alert and twainscan's summary, which says what the scanner reported where TWAIN has
// no code of its own for it, and the page before the fault stays. The lamp calibration at the session's
// start takes nine scan commands, so scan 10 is the first sheet's; a stall is also tried at each of the
// calibration's, where it must not pass for the next command's complaint that no scan runs.
TEST_F(TwainScan, EveryScannerFaultFailsTheRunAndKeepsThePagesBeforeIt) {
    constexpr int kFirstSheetsScan = 10;
    struct SFault {
        const char* kind;
        const char* alert;   // in the data source's alert line
        const char* summary; // in twainscan's last line
        int firstScan = kFirstSheetsScan;
    };
    const SFault faults[] = {
        {"jam", "jammed", "paper jam"},
        {"double-feed", "Several sheets", "double feed"},
        {"cover-open", "cover is open", "the scanner's cover is open"},
        {"no-paper", "no paper", "no paper in the feeder"},
        {"lamp-error", "lamp failed", "the scanner's lamp failed"},
        {"hardware-error", "hardware error", "the scanner reported a hardware error"},
        {"not-ready", "not ready", "the scanner is not ready"},
        {"unit-attention", "not ready", "the scanner is not ready"},
        {"stall", "stopped answering", "the scanner is not connected or did not answer", 1},
        {"timeout", "did not answer", "the scanner is not connected or did not answer"},
        {"gone", "not found", "the scanner is not connected or did not answer"},
    };
    for (const SFault& fault : faults) {
        for (int scan = fault.firstScan; scan <= kFirstSheetsScan + 1; ++scan) {
            const std::string at = fault.kind + std::string("@scan:") + std::to_string(scan);
            SCOPED_TRACE(at);
            const fs::path out = mDir / at;
            const SRun run =
                Run("--output '" + out.string() + "' --pixel-type bw --resolution 150", "gen:ramp-a4 3", at);
            const bool secondSheet = scan > kFirstSheetsScan;
            const std::string where = secondSheet ? "after page 1: 1 page" : "before the first page: 0 pages";
            EXPECT_EQ(run.status, 1) << run.output;
            EXPECT_NE(run.output.find(std::string("twainscan: ") + fault.summary + " " + where + " written"),
                      std::string::npos)
                << run.output;
            const std::size_t alert = run.output.find("K3100: ");
            EXPECT_NE(run.output.find(fault.alert, alert), std::string::npos) << run.output;
            EXPECT_EQ(fs::exists(out / "page-0001.tif"), secondSheet) << run.output;
            EXPECT_FALSE(fs::exists(out / "page-0002.tif")) << run.output;
        }
    }
}

// A stall between the fifth and the sixth sheet, where the data source asks whether paper is left, is
// cleared and asked again instead of ending the batch. A pipe that stalls at every try fails the run on
// the third sheet and keeps the two pages before it.
TEST_F(TwainScan, AStalledPipeLosesNoSheetAndOneThatStaysStalledFailsTheRun) {
    std::vector<std::string> feeder;
    for (const std::string& sheet : test::writeNumberedSheets(mDir, 8))
        feeder.insert(feeder.end(), {"--load", sheet});
    const std::string options = " --pixel-type grey --resolution 150 --paper a4";
    std::vector<std::string> once = feeder;
    once.insert(once.end(), {"--fault", "stall@read:40"});
    const SRun cleared = RunWith("--output '" + (mDir / "once").string() + "'" + options, once);
    EXPECT_EQ(cleared.status, 0) << cleared.output;
    EXPECT_NE(cleared.output.find("scanned 8 pages"), std::string::npos) << cleared.output;

    std::vector<std::string> always = feeder;
    for (int read = 24; read <= 28; ++read)
        always.insert(always.end(), {"--fault", "stall@read:" + std::to_string(read)});
    const fs::path out = mDir / "always";
    const SRun stalled = RunWith("--output '" + out.string() + "'" + options, always);
    EXPECT_EQ(stalled.status, 1) << stalled.output;
    EXPECT_NE(stalled.output.find(" after page 2: 2 pages written"), std::string::npos) << stalled.output;
    EXPECT_TRUE(fs::exists(out / "page-0002.tif"));
    EXPECT_FALSE(fs::exists(out / "page-0003.tif"));
}

// The dark bars down the middle of a grey page file; -1 when it cannot be read.
int BarsDownTheMiddle(const fs::path& file) {
    TIFF* tiff = TIFFOpen(file.c_str(), "r");
    if (!tiff)
        return -1;
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    std::vector<std::uint8_t> row(TIFFScanlineSize(tiff));
    int bars = 0;
    bool dark = false;
    for (std::uint32_t y = 0; y < height && TIFFReadScanline(tiff, row.data(), y) == 1; ++y) {
        const std::uint8_t value = row[width / 2];
        bars += !dark && value < 64 ? 1 : 0;
        dark = value < 64 || (dark && value < 192);
    }
    TIFFClose(tiff);
    return bars;
}

// Pages are encoded side by side but written in the scanner's order: sheet n, with n bars at its top and
// n at its bottom, is page n.
TEST_F(TwainScan, PagesAreWrittenInTheScannersOrder) {
    std::vector<std::string> feeder;
    for (const std::string& sheet : test::writeNumberedSheets(mDir, 6))
        feeder.insert(feeder.end(), {"--load", sheet});
    const fs::path out = mDir / "pages";
    const SRun run = RunWith("--output '" + out.string() + "' --pixel-type grey --resolution 150", feeder);
    ASSERT_EQ(run.status, 0) << run.output;
    for (int page = 1; page <= 6; ++page) {
        char name[32];
        std::snprintf(name, sizeof name, "page-%04d.tif", page);
        EXPECT_EQ(BarsDownTheMiddle(out / name), 2 * page) << name;
    }
}

// Short reads only slow the transfer down: the batch still ends normally.
TEST_F(TwainScan, ShortReadsStillDeliverEveryPage) {
    const fs::path out = mDir / "pages";
    const SRun run = Run("--output '" + out.string() + "' --pixel-type bw --resolution 150", "gen:ramp-a4 2",
                         "short-reads@scan:10");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(out / "page-0002.tif")) << run.output;
}

// A second batch into the same folder numbers on after the highest page there and replaces nothing.
TEST_F(TwainScan, ASecondBatchNumbersOnAndNeverReplacesAPage) {
    const fs::path out = mDir / "pages";
    fs::create_directories(out);
    for (const char* name : {"page-0001.tif", "page-0007.tif", "other-0020.tif"})
        std::ofstream(out / name).flush();
    const SRun run = Run("--output '" + out.string() + "' --pixel-type bw --resolution 150", "gen:ramp-a4 2");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(fs::file_size(out / "page-0001.tif"), 0u);
    EXPECT_EQ(fs::file_size(out / "page-0007.tif"), 0u);
    EXPECT_GT(fs::file_size(out / "page-0008.tif"), 0u) << run.output;
    EXPECT_GT(fs::file_size(out / "page-0009.tif"), 0u) << run.output;
    EXPECT_FALSE(fs::exists(out / "page-0002.tif"));
}

// A folder that cannot take files, or that has no page number left, is found before the scanner feeds
// anything.
TEST_F(TwainScan, AFolderThatCannotTakeThePagesFailsBeforeTheFirstSheet) {
    const fs::path full = mDir / "full";
    fs::create_directories(full);
    std::ofstream(full / "page-9999.tif").flush();
    const std::pair<fs::path, std::string> cases[] = {
        {"/proc", "twainscan: cannot write into the folder /proc"},
        {full, "twainscan: no free page number left in " + full.string()}};
    for (const auto& [folder, message] : cases) {
        const SRun run = Run("--output '" + folder.string() + "' --pixel-type bw --resolution 150 --events",
                             "gen:ramp-a4 1");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("device event"), std::string::npos) << run.output;
    }
}

// Past the file-size limit the page fails cleanly: a message, no hidden temporary file, no page.
TEST_F(TwainScan, AFileSizeLimitLeavesNoTemporaryFile) {
    const fs::path out = mDir / "pages";
    const SRun run = Run("--output '" + out.string() + "' --pixel-type grey --resolution 300",
                         "gen:ramp-a4 1", "", "ulimit -f 8; ");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("twainscan: cannot write"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::is_empty(out)) << run.output;
}

} // namespace
