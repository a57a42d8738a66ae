// The main job table driven by tag: the titled jobs only, both sort orders of a column, the start
// button moved by the job menu, the stored selection, the table's signals, and deleting only
// after the user said OK.
#include "JobsTestHost.h"

#include "TlvTableView.h"

#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>

namespace {

using test::job;
using Cntlr = tlv::TlvJobTableCntlr;

class JobTable : public test::JobsFixture {
protected:
    std::vector<QString> titles() {
        std::vector<QString> out;
        for (int row = 0; row < table()->rowCount(); ++row)
            out.push_back(cell(table(), row, Cntlr::kJobTitleColumn));
        return out;
    }
    void sortBy(int column) {
        QHeaderView* header = table()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
    }
    QAction* menuItem(int tag) {
        for (QAction* action : jobs().table().jobMenu()->actions())
            if (appkit::tagOf(action) == tag)
                return action;
        return nullptr;
    }
    int titledCountInStorage() { return host->lists.countOfJLMdlForMainJLDisp(); }
};

TEST_F(JobTable, ShowsTheTitledJobsOnlyInBothOrdersOfAColumn) {
    storeJobs({job(3, "Bills", tlv::kFuncApplication), job(6, "Albums", tlv::kFuncSave),
               job(8, "Cards", tlv::kFuncMail)});
    make();
    ASSERT_EQ(table()->rowCount(), 3);
    EXPECT_EQ(titles(), (std::vector<QString>{"Bills", "Albums", "Cards"}));
    sortBy(Cntlr::kJobTitleColumn);
    EXPECT_EQ(titles(), (std::vector<QString>{"Albums", "Bills", "Cards"}));
    sortBy(Cntlr::kJobTitleColumn);
    EXPECT_EQ(titles(), (std::vector<QString>{"Cards", "Bills", "Albums"}));
    sortBy(Cntlr::kOutPutColumn);
    EXPECT_EQ(titles(), (std::vector<QString>{"Albums", "Cards", "Bills"}));
    // The unused slots stay behind the jobs in the stored order, which is what the next start shows.
    for (int row = 3; row < 10; ++row)
        EXPECT_TRUE(host->lists.jobListMdlAtIndex(row)->isBlank()) << row;
    EXPECT_EQ(host->lists.jobListMdlAtIndex(0)->jList_Title(), "Albums");
}

TEST_F(JobTable, TheMenuGivesTheStartButtonToTheClickedJobAndTakesItFromTheOther) {
    storeJobs({job(1, "First", tlv::kFuncSave, 1), job(2, "Second")});
    make();
    QSignalSpy selected(table(), &TlvTableView::rowSelected);
    const QRect second = table()->visualRect(table()->model()->index(1, Cntlr::kJobTitleColumn));
    QTest::mouseClick(table()->viewport(), Qt::RightButton, {}, second.center());
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.front().front().toInt(), 1);
    EXPECT_EQ(jobs().table().selectedRow(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return jobs().table().jobMenu()->isVisible(); }, 2000));
    jobs().table().jobMenu()->close();
    ASSERT_NE(menuItem(Cntlr::kMenuLayoutBtn), nullptr);
    menuItem(Cntlr::kMenuLayoutBtn)->trigger();
    EXPECT_EQ(host->lists.jobListMdlAtIndex(0)->jList_ScanBtnStatus(), TlvJobListSettingMdl::kNoButton);
    EXPECT_EQ(host->lists.jobListMdlAtIndex(1)->jList_ScanBtnStatus(), 1);
    EXPECT_TRUE(table()->item(0, Cntlr::kBtnColumn)->icon().isNull());
    EXPECT_FALSE(table()->item(1, Cntlr::kBtnColumn)->icon().isNull());
    // On disk at once, for the helper and the next start.
    const auto onDisk = home.open();
    TlvJobListStorage stored(*onDisk);
    stored.loadJobListMdlFromFile(false);
    EXPECT_EQ(stored.jobListMdlAtIndex(1)->jList_ScanBtnStatus(), 1);
}

TEST_F(JobTable, AStoredSelectionBeyondTheJobsSelectsTheLastAndNoJobSelectsNothing) {
    storeJobs({job(1, "One"), job(2, "Two"), job(3, "Three")});
    host->settings.setSelJobIndex(7);
    make();
    EXPECT_EQ(jobs().table().selectedRow(), 2);
    EXPECT_EQ(host->selJobListMdl()->jList_Title(), "Three");
}

TEST_F(JobTable, NoSelectionWithANegativeStoredRowOrWithoutTitledJobs) {
    storeJobs({job(1, "One")});
    host->settings.setSelJobIndex(-1);
    make();
    EXPECT_EQ(jobs().table().selectedRow(), -1);
    EXPECT_EQ(host->selJobListMdl(), nullptr);
}

TEST_F(JobTable, NoJobsNoRowsAndNothingToSelect) {
    storeJobs({});
    host->settings.setSelJobIndex(0);
    host->settings.setForDisplayJobIndex(4);
    make();
    EXPECT_EQ(table()->rowCount(), 0);
    EXPECT_EQ(jobs().table().selectedRow(), -1);
    EXPECT_EQ(host->selJobListMdl(), nullptr);
}

TEST_F(JobTable, DeleteKeyDeletesOnlyAfterOkAndSelectsTheRowAbove) {
    storeJobs({job(1, "One"), job(2, "Two"), job(3, "Three")});
    make();
    jobs().table().selectRow(1);
    table()->setFocus();
    const std::string before = storedFile();

    answerAlerts(1); // Cancel
    QTest::keyClick(table(), Qt::Key_Delete);
    EXPECT_EQ(alertsAnswered, 1);
    EXPECT_EQ(table()->rowCount(), 3);
    EXPECT_EQ(storedFile(), before);

    VX_Message::setDontMessageFlag(true); // a question that could not be asked
    QTest::keyClick(table(), Qt::Key_Delete);
    VX_Message::setDontMessageFlag(false);
    EXPECT_EQ(table()->rowCount(), 3);

    answerAlerts(0); // OK
    QTest::keyClick(table(), Qt::Key_Delete);
    ASSERT_EQ(table()->rowCount(), 2);
    EXPECT_EQ(cell(table(), 0, Cntlr::kJobTitleColumn), "One");
    EXPECT_EQ(cell(table(), 1, Cntlr::kJobTitleColumn), "Three");
    EXPECT_EQ(jobs().table().selectedRow(), 0);
    EXPECT_EQ(host->selJobListMdl()->jList_Title(), "One");
    EXPECT_TRUE(host->lists.jobListMdlAtIndex(9)->isBlank());
}

TEST_F(JobTable, SignalsGoOutOnlyForFlagsThatAreExactlyOne) {
    TlvTableView view;
    view.setColumnCount(1);
    view.setRowCount(2);
    view.resize(200, 200);
    view.show();
    int posted = 0;
    const auto count = [&posted] { ++posted; };
    QObject::connect(&view, &TlvTableView::rowSelected, &view, count);
    QObject::connect(&view, &TlvTableView::rowRightClicked, &view, count);
    QObject::connect(&view, &TlvTableView::deleteKeyPressed, &view, count);
    const QPoint onRow = view.visualRect(view.model()->index(0, 0)).center();
    TlvTableView::SUseCustomInfo* flags = view.referUseCustomInfo();
    *flags = {2, 2, 2, 2};
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, onRow);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(posted, 0);
    *flags = {1, 1, 1, 1};
    view.setFocus();
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, onRow);
    EXPECT_EQ(posted, 2);                                                    // selected, then right-clicked
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, QPoint(5, 190)); // below the rows
    EXPECT_EQ(posted, 2);
    EXPECT_TRUE(view.selectionModel()->selectedRows().isEmpty());
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(posted, 3);
}

TEST_F(JobTable, NothingEditsTheJobsWhileABatchRuns) {
    storeJobs({job(1, "One"), job(2, "Two", tlv::kFuncSave, 1)});
    make();
    jobs().table().selectRow(0);
    host->batchRunning = true;
    const std::string before = storedFile();
    answerAlerts(0);
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {},
                       table()->visualRect(table()->model()->index(0, 1)).center());
    click(appkit::viewWithTag(&host->window, Cntlr::kEditButton));
    click(appkit::viewWithTag(&host->window, Cntlr::kNewButton));
    EXPECT_FALSE(jobs().editor().isJobListPanelVisible());
    table()->setFocus();
    QTest::keyClick(table(), Qt::Key_Delete);
    menuItem(Cntlr::kMenuLayoutBtn)->trigger();
    EXPECT_EQ(alertsAnswered, 0);
    EXPECT_EQ(storedFile(), before);
    jobs().table().jobMenu()->popup(QPoint(0, 0));
    for (QAction* action : jobs().table().jobMenu()->actions())
        EXPECT_FALSE(action->isEnabled() && appkit::tagOf(action).has_value());
    jobs().table().jobMenu()->close();
}

TEST_F(JobTable, Screenshots) {
    storeJobs({job(1, "Scan to folder", tlv::kFuncSave, 1), job(2, "Scan to mail", tlv::kFuncMail),
               job(3, "Print the pages", tlv::kFuncPrint),
               job(4, "Open in an image viewer", tlv::kFuncApplication)});
    make();
    jobs().table().selectRow(1);
    QTest::qWait(20);
    saveScreenshots(&host->window, "tollivar-job-table");
}

} // namespace
