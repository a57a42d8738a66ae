// Binding the button function: a missing data source reads as "no scanner" and is looked for again
// at every read, so one installed later is bound without a restart.
#include "ScopedEnv.h"
#include "Tapwell_Utility.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tapwell {
namespace {

namespace fs = std::filesystem;

TEST(DataSourceBinding, MissingDataSourceIsRetriedAtEveryRead) {
    const TempFolder folder;
    fs::create_directories(folder / "k3100");
    const ScopedEnv dataSources("K3100_TWAIN_DS_DIR", folder.path().c_str());

    std::uint32_t status = 7;
    std::uint32_t location = 7;
    EXPECT_EQ(Tapwell_Utility::dsButtonStatusCheck(&status, &location), -1);
    EXPECT_EQ(Tapwell_Utility::dsButtonStatusCheck(&status, nullptr), -1);

    fs::copy_file(FAKE_DATA_SOURCE, folder / "k3100" / "K3100.ds");
    EXPECT_EQ(Tapwell_Utility::dsButtonStatusCheck(&status, &location), 0);
    EXPECT_EQ(status, 1u);
    EXPECT_EQ(location, 0x1234u);
    EXPECT_EQ(Tapwell_Utility::dsButtonStatusCheck(&status, &location), 0);
    EXPECT_EQ(status, 2u);
}

TEST(DataSourceBinding, MainApplicationIsFoundOnlyThroughItsAlias) {
    // The test's resources carry the alias "tollivar" to a program that may not be built: then
    // nothing is found and the identity falls back to the one the application is known by.
    const auto path = Tapwell_Utility::getMainAppPath();
    if (!path) {
        EXPECT_EQ(Tapwell_Utility::mainAppIdentifier(), Tapwell_Utility::kMainAppFallbackId);
    }
    EXPECT_EQ(Tapwell_Utility::getPlistPath().filename(), Tapwell_Utility::mainAppIdentifier() + ".plist");
    EXPECT_EQ(Tapwell_Utility::infoString("VXTwainDriverName", true), "K3100");
}

} // namespace
} // namespace tapwell
