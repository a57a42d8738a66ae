// Bundles: the resource folder is found beside the binary, in the installed share folder or through
// the environment; information keys, resources and localised strings come from it.
#include "Bundle.h"
#include "PropertyList.h"

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace fnd;

namespace {

void makeResources(const std::filesystem::path& folder, const std::string& deviceName) {
    std::filesystem::create_directories(folder / "en.lproj");
    std::filesystem::create_directories(folder / "de.lproj");
    ASSERT_TRUE(plist::writeFile(
        folder / "Info.plist",
        Value(Dictionary{{"CFBundleIdentifier", "com.example.k3100"}, {"VXDeviceName", deviceName}})));
    writeText(folder / "QSPaperSize.plist", "<plist/>");
    writeText(folder / "en.lproj/text.strings",
              "\"Err_NoPaper\" = \"No paper\";\n\"Only_En\" = \"English\";");
    writeText(folder / "de.lproj/text.strings", "/* German */\n\"Err_NoPaper\" = \"Kein Papier\";");
}

} // namespace

TEST(Bundle, FindsResourcesBesideTheBinaryOrInTheSharedFolder) {
    TempFolder dir;
    ScopedEnv noOverride("K3100_BUNDLE_PATH", nullptr);
    ScopedEnv noDataDir("K3100_DATA_DIR", nullptr);
    makeResources(dir / "lib/twain/K3100.resources", "K3100");
    const Bundle ds(dir / "lib/twain/K3100.ds");
    EXPECT_EQ(ds.resourceFolder(), dir / "lib/twain/K3100.resources");
    EXPECT_EQ(ds.identifier(), "com.example.k3100");
    EXPECT_EQ(*ds.infoValue("VXDeviceName").asString(), "K3100");
    EXPECT_EQ(ds.pathForResource("QSPaperSize", "plist"),
              dir / "lib/twain/K3100.resources/QSPaperSize.plist");
    EXPECT_EQ(ds.pathForResource("Missing", "plist"), std::nullopt);
    EXPECT_EQ(ds.pathForResource("../K3100", "ds"), std::nullopt);

    makeResources(dir / "share/tollivar", "not the data folder");
    EXPECT_TRUE(Bundle(dir / "bin/tollivar").info().empty());
    makeResources(dir / "share/k3100/tollivar", "installed");
    EXPECT_EQ(*Bundle(dir / "bin/tollivar").infoValue("VXDeviceName").asString(), "installed");

    const Bundle none(dir / "bin/other");
    EXPECT_TRUE(none.info().empty());
    EXPECT_EQ(none.identifier(), "");
    EXPECT_EQ(none.localizedString("Err_NoPaper", "text"), "Err_NoPaper");
}

TEST(Bundle, EnvironmentOverridesTheResourceFolder) {
    TempFolder dir;
    makeResources(dir / "beside/K3100.resources", "beside");
    makeResources(dir / "override/K3100.resources", "override");
    const std::string list = (dir / "nothing-here").string() + ":" + (dir / "override").string();
    ScopedEnv path("K3100_BUNDLE_PATH", list.c_str());
    EXPECT_EQ(*Bundle(dir / "beside/K3100.ds").infoValue("VXDeviceName").asString(), "override");
}

TEST(Bundle, DataDirMovesEachProgramsDataFolder) {
    TempFolder dir;
    ScopedEnv noOverride("K3100_BUNDLE_PATH", nullptr);
    makeResources(dir / "prefix/share/k3100/tollivar", "installed");
    makeResources(dir / "prefix/bin/K3100.resources", "beside");
    makeResources(dir / "moved/tollivar", "moved");
    ScopedEnv dataDir("K3100_DATA_DIR", (dir / "moved").c_str());
    const Bundle program(dir / "prefix/bin/tollivar");
    EXPECT_EQ(program.resourceFolder(), dir / "moved/tollivar");
    EXPECT_EQ(*program.infoValue("VXDeviceName").asString(), "moved");
    // A bundle without a folder there keeps its own.
    EXPECT_EQ(*Bundle(dir / "prefix/bin/K3100.ds").infoValue("VXDeviceName").asString(), "beside");
}

TEST(Bundle, LocalisedStringsFollowTheUsersLanguageThenTheDevelopmentRegion) {
    TempFolder dir;
    ScopedEnv noOverride("K3100_BUNDLE_PATH", nullptr);
    makeResources(dir / "K3100.resources", "K3100");
    ScopedEnv language("LANGUAGE", "fr_FR:de_AT");
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv messages("LC_MESSAGES", nullptr);
    ScopedEnv lang("LANG", "C.UTF-8");
    const Bundle ds(dir / "K3100.ds");
    EXPECT_EQ(ds.preferredLocalizations(), (std::vector<std::string>{"de", "en"}));
    EXPECT_EQ(ds.localizedString("Err_NoPaper", "text"), "Kein Papier");
    EXPECT_EQ(ds.localizedString("Only_En", "text"), "English");
    EXPECT_EQ(ds.localizedString("Nowhere", "text"), "Nowhere");
    EXPECT_EQ(ds.localizedString("Err_NoPaper", "othertable"), "Err_NoPaper");
}

TEST(Bundle, ContainingFindsTheProgramOrTheSharedObject) {
    static int inThisProgram = 0;
    const std::optional<Bundle> program = Bundle::containing(&inThisProgram);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->binaryPath(), std::filesystem::canonical("/proc/self/exe"));
    EXPECT_EQ(Bundle::main().binaryPath(), program->binaryPath());

    const std::optional<Bundle> library = Bundle::containing(reinterpret_cast<const void*>(&::dlopen));
    ASSERT_TRUE(library);
    EXPECT_NE(library->binaryPath(), program->binaryPath());
    EXPECT_TRUE(library->binaryPath().is_absolute());
    EXPECT_EQ(Bundle::containing(nullptr), std::nullopt);
}
