// The job-list editor driven by tag: opening on the selected job or a new one, applying (trimmed
// title, the start button moved in both row sets), Cancel that leaves the stored jobs as they were,
// the question after Cancel with edits whose buttons say what they do (Return applies, Escape discards), a
// row switch that keeps the row when its edits cannot be applied, and its tabs on screen.
#include "JobsTestHost.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

namespace {

using test::job;
using Editor = tlv::TlvJobListCntlr;

class JobListEditor : public test::JobsFixture {
protected:
    void SetUp() override {
        storeJobs({job(3, "Receipts", tlv::kFuncSave), job(1, "Letters", tlv::kFuncMail, 1)});
        make();
    }
    QTableWidget* editTable() { return panelItem<QTableWidget>(Editor::kTable); }
    QLineEdit* title() { return panelItem<QLineEdit>(Editor::kTitle); }
    void typeTitle(const QString& text) {
        title()->selectAll();
        QTest::keyClicks(title(), text);
    }
};

TEST_F(JobListEditor, OpensOnTheSelectedJobWithAllTenByNumber) {
    jobs().table().selectRow(0); // "Letters", job 1
    click(appkit::viewWithTag(&host->window, tlv::TlvJobTableCntlr::kEditButton));
    ASSERT_TRUE(jobs().editor().isJobListPanelVisible());
    ASSERT_EQ(editTable()->rowCount(), 10);
    EXPECT_EQ(cell(editTable(), 0, 0), "01");
    EXPECT_EQ(cell(editTable(), 9, 0), "10");
    EXPECT_EQ(cell(editTable(), 1, 1), appkit::localized("JobList_UnTitled"));
    EXPECT_EQ(jobs().editor().dispEditJobIndex(), 0);
    EXPECT_EQ(title()->text(), "Letters");
    EXPECT_EQ(panel()->windowTitle(), appkit::localized("Title_JobStingEditWin"));
    EXPECT_EQ(panelItem<QComboBox>(Editor::kOutput)->currentIndex(), tlv::kFuncMail);
    EXPECT_TRUE(appkit::viewWithTag<QRadioButton>(panelItem(Editor::kBtnMatrix), 0)->isChecked());
    EXPECT_FALSE(panelItem(Editor::kApply)->isEnabled());
    // The output view sits in the editor's output container.
    EXPECT_EQ(funcView->functionView(false), jobs().editor().jLETableOutPutDmyView());
    click(panelItem(Editor::kCancel));
    EXPECT_FALSE(jobs().editor().isJobListPanelVisible());
}

TEST_F(JobListEditor, NewOpensOnTheFirstUnusedSlot) {
    click(appkit::viewWithTag(&host->window, tlv::TlvJobTableCntlr::kNewButton));
    ASSERT_TRUE(jobs().editor().isJobListPanelVisible());
    EXPECT_EQ(jobs().editor().dispEditJobIndex(), 1); // job 2
    EXPECT_EQ(panel()->windowTitle(), appkit::localized("Title_JobStingNewWin"));
    typeTitle(QString(50, 'x'));
    EXPECT_EQ(title()->text(), QString(Editor::kTitleLength, 'x'));
    answerAlerts(1);
    click(panelItem(Editor::kCancel)); // "Apply your changes?" Cancel drops them
    EXPECT_EQ(alertsAnswered, 1);
    EXPECT_TRUE(host->lists.jobListMdlAtIndex(2)->isBlank());
}

TEST_F(JobListEditor, ApplyStoresTheTrimmedTitleAndMovesTheStartButtonInBothRowSets) {
    jobs().table().selectRow(1); // "Receipts", job 3
    jobs().editor().showJobList(false);
    ASSERT_EQ(jobs().editor().dispEditJobIndex(), 2);
    typeTitle("  Tax receipts  ");
    EXPECT_TRUE(panelItem(Editor::kApply)->isEnabled());
    click(panelItem(Editor::kStartBtnImage)); // the image chooses the start button
    click(panelItem(Editor::kApply));
    EXPECT_TRUE(jobs().editor().isJobListPanelVisible());
    EXPECT_FALSE(panelItem(Editor::kApply)->isEnabled());
    const auto& edited = jobs().editor().tmpJobListMdlArray();
    EXPECT_EQ(edited[2]->jList_Title(), "Tax receipts");
    EXPECT_EQ(edited[2]->jList_ScanBtnStatus(), 1);
    EXPECT_EQ(edited[0]->jList_ScanBtnStatus(), TlvJobListSettingMdl::kNoButton);
    // The application's rows, on disk already.
    const auto onDisk = home.open();
    auto stored = std::make_unique<TlvJobListStorage>(*onDisk);
    stored->loadJobListMdlFromFile(false);
    EXPECT_EQ(stored->jobListMdlAtIndex(1)->jList_Title(), "Tax receipts");
    EXPECT_EQ(stored->jobListMdlAtIndex(1)->jList_ScanBtnStatus(), 1);
    EXPECT_EQ(stored->jobListMdlAtIndex(0)->jList_ScanBtnStatus(), TlvJobListSettingMdl::kNoButton);
    click(panelItem(Editor::kOK));
    EXPECT_FALSE(jobs().editor().isJobListPanelVisible());
    EXPECT_EQ(cell(table(), 1, tlv::TlvJobTableCntlr::kJobTitleColumn), "Tax receipts");
}

TEST_F(JobListEditor, CancelLeavesTheStoredJobsByteIdentical) {
    const std::string before = storedFile();
    ASSERT_FALSE(before.empty());
    jobs().table().selectRow(1);
    jobs().editor().showJobList(false);
    typeTitle("Changed");
    panelItem<QComboBox>(Editor::kOutput)->setCurrentIndex(tlv::kFuncPrint);
    jobs().editor().changeFunction(tlv::kFuncPrint);
    answerAlerts(1); // "Apply your changes?" Cancel
    click(panelItem(Editor::kCancel));
    EXPECT_EQ(alertsAnswered, 1);
    EXPECT_FALSE(jobs().editor().isJobListPanelVisible());
    EXPECT_EQ(storedFile(), before);
    EXPECT_EQ(host->lists.jobListMdlAtIndex(1)->jList_Title(), "Receipts");
    EXPECT_EQ(host->lists.jobListMdlAtIndex(1)->jList_FunctionType(), tlv::kFuncSave);
}

// A renamed job, then Cancel: the question's first button applies the new name and its second drops it,
// each labelled by what it does, and either closes the editor.
TEST_F(JobListEditor, CancelWithEditsAsksApplyOrDiscardByThoseNames) {
    for (const bool apply : {true, false}) {
        SCOPED_TRACE(apply ? "apply" : "discard");
        jobs().table().selectRow(1); // "Receipts", job 3
        jobs().editor().showJobList(false);
        typeTitle(apply ? "Receipts applied" : "Receipts dropped");
        QStringList labels;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            appkit::Alert* alert = VX_Message::currentPanel();
            if (!alert || !alert->isVisible() || !labels.isEmpty())
                return;
            for (int index = 0; index < 2; ++index)
                labels << appkit::viewWithTag<QPushButton>(alert, appkit::Alert::kFirstButtonTag + index)
                              ->text();
            if (apply)
                saveScreenshots(alert, "alert-job-editor-apply-changes");
            // Return applies, Escape discards.
            QTest::keyClick(alert, apply ? Qt::Key_Return : Qt::Key_Escape);
        });
        answer.start(5);
        click(panelItem(Editor::kCancel));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !jobs().editor().isJobListPanelVisible(); }, 5000));
        EXPECT_EQ(labels, QStringList({"Apply Changes", "Discard Changes"}));
        // The applied name stays, also after the dropped one.
        EXPECT_EQ(host->lists.jobListMdlAtIndex(1)->jList_Title(), "Receipts applied");
    }
}

TEST_F(JobListEditor, ARowSwitchIsRefusedWhenTheEditsCannotBeApplied) {
    jobs().table().selectRow(1);
    jobs().editor().showJobList(false);
    typeTitle("   ");
    answerAlerts(0); // OK to "apply?", then OK to the error
    clickRow(editTable(), 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return alertsAnswered == 2; }, 5000));
    QTest::qWait(20);
    EXPECT_EQ(alertsAnswered, 2);
    EXPECT_EQ(alertTexts.back(), appkit::localized("Err_NonJobTitle").toStdString());
    EXPECT_EQ(jobs().editor().dispEditJobIndex(), 2);
    EXPECT_EQ(editTable()->selectionModel()->selectedRows().front().row(), 2);
    EXPECT_EQ(title()->text(), "   "); // the edit is still there to be mended
    EXPECT_EQ(host->lists.jobListMdlAtIndex(1)->jList_Title(), "Receipts");

    typeTitle("Mended");
    clickRow(editTable(), 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return jobs().editor().dispEditJobIndex() == 4; }, 5000));
    EXPECT_EQ(host->lists.jobListMdlAtIndex(1)->jList_Title(), "Mended");
    EXPECT_EQ(title()->text(), "");
    answerer.stop();
    click(panelItem(Editor::kCancel));
}

TEST_F(JobListEditor, AChangedOutputKeepsOnlyTheSettingsOfTheChosenOne) {
    jobs().table().selectRow(0); // "Letters", mail
    jobs().editor().showJobList(false);
    auto* output = panelItem<QComboBox>(Editor::kOutput);
    output->setCurrentIndex(tlv::kFuncSave);
    jobs().editor().changeFunction(tlv::kFuncSave);
    EXPECT_EQ(funcView->curFuncTypeFuncView(), tlv::kFuncSave);
    EXPECT_TRUE(panelItem(Editor::kApply)->isEnabled());
    click(panelItem(Editor::kOK));
    const auto stored = host->lists.jobListMdlAtIndex(0);
    EXPECT_EQ(stored->jList_FunctionType(), tlv::kFuncSave);
    TlvFuncSettingMdl cleared = *stored->jList_FuncSettingMdl();
    cleared.clearExceptTargetFunc(tlv::kFuncSave);
    EXPECT_EQ(cleared.funcMdlToDict(), stored->jList_FuncSettingMdl()->funcMdlToDict());
}

TEST_F(JobListEditor, Screenshots) {
    jobs().table().selectRow(1);
    jobs().editor().showJobList(false);
    auto* tabs = panelItem<QTabWidget>(Editor::kTabs);
    const char* names[] = {"output", "scan", "button"};
    for (int tab = 0; tab < 3; ++tab) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(20);
        saveScreenshots(panel(), std::string("tollivar-job-editor-") + names[tab]);
    }
    click(panelItem(Editor::kCancel));
}

} // namespace
