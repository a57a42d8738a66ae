// The working list behind the favourite and paper editors: names as the data source stores them, the
// limit, untitled names, and saving that merges with the file instead of overwriting it.
#include "NamedRecordList.h"
#include "PreferencesFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

fnd::Dictionary Record(const std::string& name, std::int64_t version) {
    return fnd::Dictionary{{"Name", name}, {"DataVersion", version}};
}

class NamedRecordListTest : public ::testing::Test {
protected:
    void Store(fnd::Array records) {
        fnd::PreferencesFile file(mPath);
        file.set("FavoriteSettings", std::move(records));
        ASSERT_TRUE(file.save());
    }
    CNamedRecordList Open() const {
        return CNamedRecordList(mPath, "FavoriteSettings",
                                [](const fnd::Dictionary& r) { return r.get("DataVersion").asInt64() == 1; });
    }
    std::vector<std::string> StoredNames() const {
        std::vector<std::string> names;
        const fnd::PreferencesFile file(mPath);
        for (const fnd::Value& v : *file.get("FavoriteSettings").asArray())
            names.push_back(*v.asDictionary()->get("Name").asString());
        return names;
    }

    QTemporaryDir mDir;
    std::filesystem::path mPath = std::filesystem::path(mDir.path().toStdString()) / "prefs.plist";
};

TEST_F(NamedRecordListTest, NamesAreTrimmedAndCutAtThirtyTwoUnitsWithoutSplittingACharacter) {
    EXPECT_EQ(CNamedRecordList::CutName(QString(40, u'x') + "  "), QString(32, u'x'));
    // A character of two units that would straddle the limit is left out whole.
    const QString name = QString(31, u'a') + QString::fromUtf8("\xF0\x9F\x93\x84") + "b";
    EXPECT_EQ(CNamedRecordList::CutName(name), QString(31, u'a'));
}

TEST_F(NamedRecordListTest, ReplacingKeepsTheOrderAndTheFiftyFirstCannotBeAdded) {
    CNamedRecordList list = Open();
    list.put(Record("One", 1));
    list.put(Record("Two", 1));
    fnd::Dictionary replaced = Record("One", 1);
    replaced.set("Data", std::string("new"));
    list.put(replaced);
    ASSERT_EQ(list.records().size(), 2u);
    EXPECT_EQ(list.nameAt(0), "One");
    EXPECT_NE(list.records()[0].get("Data").asString(), nullptr);
    for (int i = 2; i < 50; ++i)
        list.put(Record("R" + std::to_string(i), 1));
    EXPECT_FALSE(list.canAdd("Another"));
    list.put(Record("Another", 1));
    EXPECT_EQ(list.find("Another"), -1);
    list.remove(0);
    EXPECT_TRUE(list.canAdd("Another"));
    EXPECT_FALSE(list.canAdd(""));
}

TEST_F(NamedRecordListTest, UntitledNamesSkipTakenAndReservedNames) {
    CNamedRecordList list = Open();
    auto reserved = [](const QString& name) { return name == "Untitled-2"; };
    EXPECT_EQ(list.untitledName("Untitled", reserved), "Untitled");
    list.put(Record("Untitled", 1));
    EXPECT_EQ(list.untitledName("Untitled", reserved), "Untitled-3");
}

TEST_F(NamedRecordListTest, SavingKeepsOtherVersionsAndWhatAnotherEditorAddedMeanwhile) {
    Store({Record("Old", 0), Record("Kept", 1), Record("Dropped", 1)});
    CNamedRecordList first = Open();
    CNamedRecordList second = Open();
    EXPECT_EQ(first.records().size(), 2u) << "the other version is not offered";
    first.put(Record("FromFirst", 1));
    first.remove(static_cast<std::size_t>(first.find("Dropped")));
    ASSERT_TRUE(first.save());
    second.put(Record("FromSecond", 1));
    ASSERT_TRUE(second.save());
    const std::vector<std::string> names = StoredNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Old"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "FromFirst"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "FromSecond"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Dropped"), names.end());
}

} // namespace
