// Paper that runs out in the middle of a sheet, at several points of a batch of colour pages fed without
// a stop, with size detection and deskew: the run never succeeds without the pages of a sheet the
// scanner took. The four runs go side by side, each with a scanner of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "TwainScanFixture.h"

namespace {

namespace fs = std::filesystem;
using test::SRun;
using test::TwainScan;

TEST_F(TwainScan, NoPaperMidSheetNeverEndsAsSuccessInAContinuousBatch) {
    const std::string samples = Build() + "/share/k3100/samples/";
    const std::string sheets = samples + "01-text.tif," + samples + "04-colour.tif 9";
    const std::pair<int, int> readsAndPages[] = {{35, 2}, {45, 2}, {60, 4}, {85, 6}};
    std::vector<std::future<SRun>> runs;
    for (const auto& [read, pages] : readsAndPages) {
        const fs::path home = mDir / std::to_string(read);
        fs::create_directories(home);
        runs.push_back(std::async(std::launch::async, [this, home, sheets, read] {
            return RunWith(
                "--output '" + (home / "out").string() +
                    "' --pixel-type colour --resolution 200 --duplex --detect-size --deskew --continuous",
                {"--load", sheets, "--fault", "no-paper@read:" + std::to_string(read)}, "", home);
        }));
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto& [read, pages] = readsAndPages[i];
        SCOPED_TRACE("no paper at read " + std::to_string(read));
        test::ExpectEndedEarlyAfter(runs[i].get(), mDir / std::to_string(read) / "out",
                                    "no paper in the feeder", pages);
    }
}

} // namespace
