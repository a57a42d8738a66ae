// Aliases are symlinks: chains resolve to their end, and only an alias counts as one.
#include "Alias.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

namespace fs = std::filesystem;

TEST(Alias, ChainsResolveToTheirEndAndOnlyAliasesCount) {
    QTemporaryDir temp;
    const fs::path dir = temp.path().toStdString();
    fs::create_directories(dir / "bin");
    std::ofstream(dir / "bin/tapwell") << "program";
    fs::create_directories(dir / "share/k3100/tollivar");
    ASSERT_TRUE(ws::makeAlias("../../../bin/tapwell", dir / "share/k3100/tollivar/tapwell-link"));
    ASSERT_TRUE(
        ws::makeAlias(dir / "share/k3100/tollivar/tapwell-link", dir / "share/k3100/tollivar/tapwell"));
    EXPECT_EQ(ws::resolveAlias(dir / "share/k3100/tollivar/tapwell"), fs::canonical(dir / "bin/tapwell"));

    EXPECT_EQ(ws::resolveAlias(dir / "bin/tapwell"), std::nullopt); // a plain file is no alias
    ASSERT_TRUE(ws::makeAlias(dir / "bin/gone", dir / "broken"));
    EXPECT_EQ(ws::resolveAlias(dir / "broken"), std::nullopt);
    ASSERT_TRUE(ws::makeAlias(dir / "loop-b", dir / "loop-a"));
    ASSERT_TRUE(ws::makeAlias(dir / "loop-a", dir / "loop-b"));
    EXPECT_EQ(ws::resolveAlias(dir / "loop-a"), std::nullopt);
}

TEST(Alias, AnAliasIsReplacedButARealFileNever) {
    QTemporaryDir temp;
    const fs::path dir = temp.path().toStdString();
    std::ofstream(dir / "one") << "1";
    std::ofstream(dir / "two") << "2";
    ASSERT_TRUE(ws::makeAlias(dir / "one", dir / "alias"));
    ASSERT_TRUE(ws::makeAlias(dir / "two", dir / "alias"));
    EXPECT_EQ(ws::resolveAlias(dir / "alias"), fs::canonical(dir / "two"));
    std::string error;
    EXPECT_FALSE(ws::makeAlias(dir / "two", dir / "one", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::is_symlink(dir / "one"));
}
