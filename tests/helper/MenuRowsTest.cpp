// The menu's rows and their enabling by the main application's state and the scanner's.
#include "MenuRows.h"

#include <gtest/gtest.h>

namespace tapwell {
namespace {

std::vector<MenuRow> twoJobs() {
    return jobRows({{-1, 1, -1, "", "ignored"}, {3, -1, 0, "", "Receipts"}});
}

std::vector<int> enabledTags(const std::vector<MenuRow>& rows) {
    std::vector<int> tags;
    for (const MenuRow& row : rows)
        if (row.enabled && !row.separator)
            tags.push_back(row.tag);
    return tags;
}

TEST(MenuRows, SeparatorFollowsTheFirstJobOnlyWhenThereAreMore) {
    const std::vector<MenuRow> one = menuRows({}, jobRows({{-1, 1, -1, "", ""}}));
    ASSERT_EQ(one.size(), 7u);
    const std::vector<MenuRow> two = menuRows({}, twoJobs());
    ASSERT_EQ(two.size(), 9u);
    EXPECT_EQ(two[6].tag, 999);
    EXPECT_EQ(two[6].titleKey, "JobList_Def00") << "the FOA row is always titled by its key";
    EXPECT_TRUE(two[7].separator);
    EXPECT_EQ(two[8].tag, 1003);
    EXPECT_EQ(two[8].title, "Receipts");
}

TEST(MenuRows, EnablingFollowsTheApplicationAndTheScanner) {
    MenuState modal;
    modal.modal = true;
    EXPECT_EQ(enabledTags(menuRows(modal, twoJobs())), (std::vector<int>{kTagAbout, kTagShowApp}));

    MenuState busy;
    busy.mainAppRunning = true;
    busy.appState = 102;
    EXPECT_EQ(enabledTags(menuRows(busy, twoJobs())), (std::vector<int>{kTagAbout, kTagShowApp}));
    busy.appState = 306;
    EXPECT_EQ(enabledTags(menuRows(busy, twoJobs())).size(), 6u);
    busy.mainAppRunning = false;
    busy.appState = 102;
    EXPECT_EQ(enabledTags(menuRows(busy, twoJobs())).size(), 6u) << "a stale state of a closed application";

    for (int error : {-1, -2, -3, -10}) {
        MenuState scanner;
        scanner.connectErr = error;
        EXPECT_EQ(enabledTags(menuRows(scanner, twoJobs())),
                  (std::vector<int>{kTagQuit, kTagAbout, kTagShowApp}))
            << error;
    }
}

TEST(MenuRows, CheckMarkFollowsConfirmOutput) {
    MenuState state;
    state.outputCheck = true;
    EXPECT_TRUE(menuRows(state, {})[4].checkMark);
    EXPECT_FALSE(menuRows({}, {})[4].checkMark);
}

TEST(MenuRows, BuiltInJobsMirrorTheFactoryList) {
    for (const bool viewer : {false, true}) {
        const std::vector<MenuRow> rows = builtInJobRows(viewer, true);
        ASSERT_EQ(rows.size(), 4u); // no rows for the factory list's empty jobs 4 and 5
        EXPECT_EQ(rows[0].badge, 1);
        EXPECT_TRUE(rows[0].foa);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].tag, kTagJobBase + int(i));
            EXPECT_EQ(rows[i].badge, -1);
        }
        // The third job opens the pages in the image viewer, or without one saves them to a folder.
        EXPECT_EQ(rows[3].titleKey, viewer ? "JobList_Def03_01" : "JobList_Def03_02");
        EXPECT_EQ(rows[3].funcType, viewer ? 3 : 0);
    }
    // With button 1 given to job 1, its badge moves there from the scan-first row.
    const std::vector<MenuRow> rows = builtInJobRows(false, false);
    EXPECT_EQ(rows[0].badge, -1);
    EXPECT_EQ(rows[1].badge, 1);
    EXPECT_EQ(rows[2].badge, -1);
}

} // namespace
} // namespace tapwell
